#pragma once
// Answers the next modal box of the test from the event loop: once a modal widget shows, hands
// it to the given function (which reads it and closes it). Give up after about five seconds.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

inline void WhenModalShows(std::function<void(QWidget*)> handle, int triesLeft = 500) {
    QTimer::singleShot(10, [handle = std::move(handle), triesLeft]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            handle(modal);
            return;
        }
        if (triesLeft > 0)
            WhenModalShows(std::move(handle), triesLeft - 1);
    });
}
