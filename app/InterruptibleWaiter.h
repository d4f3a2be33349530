#pragma once
// The pauses of the session as the application runs them: real sleeps that end at once, now and
// for good, when the window closes, so that an opening session with a silent phone finishes
// quickly instead of holding the end of the program for its 11 seconds of waits.

#include "serial/Waiter.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

class InterruptibleWaiter final : public IWaiter {
public:
    void Sleep(std::chrono::milliseconds duration) override {
        std::unique_lock lock(mutex);
        woken.wait_for(lock, duration, [this] { return interrupted; });
    }

    // Ends every running and future Sleep at once.
    void Interrupt() {
        {
            const std::lock_guard lock(mutex);
            interrupted = true;
        }
        woken.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable woken;
    bool interrupted = false;
};
