#include "app/GuiPost.h"

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

// Made before main too, on the thread that will turn the event loop, so that Qt's reading of it
// there never follows a worker's writing; kept for the whole run, as the queue is.
class CApplicationPost : public QObject {
    Q_OBJECT

private slots:
    void RunOne() { applicationQueue.RunOne(); }
};
CApplicationPost* const applicationReceiver = new CApplicationPost;

} // namespace

void PostToGuiThread(std::function<void()> call) {
    applicationQueue.Push(std::move(call));
    QMetaObject::invokeMethod(applicationReceiver, "RunOne", Qt::QueuedConnection);
}

#include "GuiPost.moc"
