#include "app/GuiPost.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <utility>

void GuiCallQueue::Push(std::function<void()> call) {
    std::lock_guard lock(mutex);
    waiting.push_back(std::move(call));
}

void GuiCallQueue::RunOne() {
    std::function<void()> call;
    {
        std::lock_guard lock(mutex);
        if (waiting.empty())
            return;
        call = std::move(waiting.front());
        waiting.pop_front();
    }
    call();
}

void CGuiPost::Post(std::function<void()> call) {
    queue.Push(std::move(call));
    QMetaObject::invokeMethod(this, "RunOne", Qt::QueuedConnection);
}

void CGuiPost::RunOne() {
    queue.RunOne();
}

namespace {

// Made before main, so before any thread: no member of it is first written by a worker.
GuiCallQueue applicationQueue;

// Holds no state of its own, so it may be made on a worker's thread and handed over.
class CApplicationPost : public QObject {
    Q_OBJECT

public:
    CApplicationPost() { moveToThread(QCoreApplication::instance()->thread()); }

private slots:
    void RunOne() { applicationQueue.RunOne(); }
};

} // namespace

void PostToGuiThread(std::function<void()> call) {
    // Kept for the whole run, as the queue is.
    static auto* const receiver = new CApplicationPost;
    applicationQueue.Push(std::move(call));
    QMetaObject::invokeMethod(receiver, "RunOne", Qt::QueuedConnection);
}

#include "GuiPost.moc"
