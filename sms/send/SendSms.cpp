#include "sms/send/SendSms.h"

#include <string>

namespace {

constexpr std::string_view kCancelPdu = "\x1b";

SendOutcome OutcomeOf(int answer) {
    if (answer == kAnswerOk) {
        return SendOutcome::SentOk;
    }
    return answer == kAnswerError ? SendOutcome::Error : SendOutcome::Timeout;
}

std::string_view OutcomeText(SendOutcome outcome) {
    switch (outcome) {
    case SendOutcome::SentOk:
        return "Sent OK";
    case SendOutcome::Error:
        return "Error";
    case SendOutcome::Timeout:
        return "Timeout";
    case SendOutcome::Cancelled:
        break;
    }
    return {};
}

} // namespace

SendOutcome SendSubmitPdu(CModemSession& session, const SubmitPdu& submit, IMessageSink& sink) {
    const std::string command = "AT+CMGS=" + std::to_string(submit.length);
    session.ClearLines();
    session.SendCommand(command);
    // The question is also the pause in which the phone sends its "> " prompt.
    const BoxAnswer answer =
        sink.ShowMessage({command, "!", BoxButtons::YesNo, BoxIcon::None, true});
    if (answer != BoxAnswer::Yes) {
        session.SendAndWait(kCancelPdu, kSendCommandLine);
        return SendOutcome::Cancelled;
    }
    const SendOutcome outcome = OutcomeOf(session.SendAndWait(submit.pdu, kSendPduData));
    // A port that went away is reported once, by the end of the session.
    if (!session.PortLost())
        ShowOk(sink, OutcomeText(outcome), kAppTitle);
    return outcome;
}
