#pragma once
// How the non-GUI code asks for a message box. The application shows a real modal box (on the
// user-interface thread, blocking the asking thread until answered); tests record the request
// and hand back a prepared answer.

#include "core/AppTitle.h"

#include <string>
#include <string_view>

enum class BoxButtons { Ok, OkCancel, YesNo, RetryCancel, AbortRetryIgnore };
enum class BoxIcon { None, Error, Warning, Question, Information };
enum class BoxAnswer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct MessageBoxRequest {
    std::string text;
    std::string caption; // may be empty: a box with an empty title bar
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
    bool owned = true; // false: a box with no owner window
};

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    // Shows the box and returns the button pressed. May be called from any thread.
    virtual BoxAnswer ShowMessage(const MessageBoxRequest& request) = 0;
};

// Shorthand for the most common box: text, a caption, an OK button, no icon.
inline void ShowOk(IMessageSink& sink, std::string_view text, std::string_view caption) {
    sink.ShowMessage(
        {std::string(text), std::string(caption), BoxButtons::Ok, BoxIcon::None, true});
}
