#include "phonebook/ShowReplyError.h"

#include "serial/CModemSession.h"

namespace {

constexpr const char* kWarningCaption = "ATTENZIONE";

} // namespace

int ShowReplyError(IMessageSink& messages, int result) {
    MessageBoxRequest request;
    request.caption = kWarningCaption;
    request.icon = BoxIcon::Error;
    if (result == kAnswerError) {
        request.text = "ERROR ricevuto!";
        request.buttons = BoxButtons::AbortRetryIgnore;
    } else if (result == kAnswerTimeout) {
        request.text = "TIMEOUT, nessun dato ricevuto";
        request.buttons = BoxButtons::RetryCancel;
    } else {
        return 0;
    }
    return messages.ShowMessage(request) == BoxAnswer::Retry ? 1 : 0;
}
