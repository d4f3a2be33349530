#pragma once
// Hands callables from worker threads to the user-interface thread, without waiting for them.
// They wait in a queue under our own mutex, so that ThreadSanitizer sees the hand-over (Qt's event
// queue is hidden from it); each post queues one call, by name, of a slot that runs the oldest
// callable waiting. Nothing of ours travels in Qt's event.

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

class GuiCallQueue {
public:
    void Push(std::function<void()> call);
    // Runs the oldest callable waiting, if any.
    void RunOne();

private:
    std::mutex mutex;
    std::deque<std::function<void()>> waiting;
};

// Posts to one window: callables still waiting when it goes are dropped, as Qt drops the posted
// calls of a deleted receiver. Create and destroy on the user-interface thread, before and after
// every thread that posts.
class CGuiPost : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // Any thread.
    void Post(std::function<void()> call);

private slots:
    void RunOne();

private:
    GuiCallQueue queue;
};

// Posts to the application, whichever window there is (the queue lives as long as the program).
// Any thread; the main thread must be the one that turns the event loop.
void PostToGuiThread(std::function<void()> call);
