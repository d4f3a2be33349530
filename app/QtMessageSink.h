#pragma once
// The message sink of the application: a real modal QMessageBox with the request's caption,
// buttons and icon. Callable from any thread; a worker's request is carried to the
// user-interface thread and the worker waits for the answer.

#include "core/MessageSink.h"

#include <QPointer>
#include <QWidget>
#include <atomic>

class QtMessageSink final : public IMessageSink {
public:
    // owner: the window that owns boxes of requests marked owned; may be null.
    explicit QtMessageSink(QWidget* ownerWindow = nullptr) : owner(ownerWindow) {}

    void SetOwner(QWidget* window) { owner = window; }

    // From now on no box shows: each request gets the answer of Escape (Cancel, No, Abort; OK
    // where OK is the only button). For the end of the program, when nobody is there to answer.
    void Silence() { silenced = true; }

    BoxAnswer ShowMessage(const MessageBoxRequest& request) override;

private:
    BoxAnswer Show(const MessageBoxRequest& request);

    QPointer<QWidget> owner;
    std::atomic<bool> silenced{false};
};
