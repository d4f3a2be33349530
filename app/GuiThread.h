#pragma once
// Runs a callable on the user-interface thread and waits until it has run. Workers change the
// form and ask message boxes through this; on the user-interface thread itself (or before a
// QApplication exists) it simply calls. The user-interface thread must be turning its event loop
// (or be the caller), otherwise a worker waits until it does.

#include "app/GuiPost.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

template <typename Fn> std::invoke_result_t<Fn> RunOnGuiThread(Fn&& fn) {
    using Result = std::invoke_result_t<Fn>;
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
        return std::forward<Fn>(fn)();
    // Posted through our own queue, and waited for on our own condition variable rather than
    // Qt's blocking queued call: the hand-over then stays visible to ThreadSanitizer, which does
    // not see into Qt.
    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false;
    std::optional<std::conditional_t<std::is_void_v<Result>, bool, Result>> result;
    // Held from before the post until the wait: the call starts only once the caller waits,
    // and everything the caller wrote is seen by it.
    std::unique_lock lock(mutex);
    PostToGuiThread([&] {
        std::unique_lock callLock(mutex);
        if constexpr (std::is_void_v<Result>) {
            fn();
            result.emplace(true);
        } else {
            result.emplace(fn());
        }
        done = true;
        doneSignal.notify_one();
    });
    doneSignal.wait(lock, [&done] { return done; });
    if constexpr (!std::is_void_v<Result>)
        return std::move(*result);
}

// Waits on the user-interface thread until done() holds, carrying out meanwhile the calls that
// workers make through RunOnGuiThread (and nothing else), so that joining a worker that waits
// on such a call cannot deadlock.
template <typename Done> void WaitServingGuiCalls(Done done) {
    while (!done()) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
