#pragma once
// Runs a callable on the user-interface thread and waits until it has run. Workers change the
// form and ask message boxes through this; on the user-interface thread itself (or before a
// QApplication exists) it simply calls. The user-interface thread must be turning its event loop
// (or be the caller), otherwise a worker waits until it does.

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

template <typename Fn> std::invoke_result_t<Fn> RunOnGuiThread(Fn&& fn) {
    using Result = std::invoke_result_t<Fn>;
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
        return std::forward<Fn>(fn)();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(
            app, [&fn] { fn(); }, Qt::BlockingQueuedConnection);
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(
            app, [&fn, &result] { result.emplace(fn()); }, Qt::BlockingQueuedConnection);
        return std::move(*result);
    }
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
