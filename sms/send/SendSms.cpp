#include "sms/send/SendSms.h"

#include <optional>
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

SendOutcome Told(SendOutcome outcome, IMessageSink& sink) {
    ShowOk(sink, OutcomeText(outcome), kAppTitle);
    return outcome;
}

// Between the command and the PDU: nothing when the PDU may go, else how the send ended.
std::optional<SendOutcome> PauseBeforePdu(CModemSession& session, const std::string& command,
                                          IMessageSink& sink, SendPause pause) {
    if (pause == SendPause::WaitForPrompt) {
        const int prompt = session.WaitForPrompt();
        if (prompt == kAnswerOk)
            return std::nullopt;
        // An error result has ended the command already; a silent phone may still be waiting
        // for the PDU.
        if (prompt == kAnswerTimeout)
            session.SendAndWait(kCancelPdu, kSendCommandLine);
        return Told(OutcomeOf(prompt), sink);
    }
    // The question is also the pause in which the phone sends its "> " prompt.
    const BoxAnswer answer =
        sink.ShowMessage({command, "!", BoxButtons::YesNo, BoxIcon::None, true});
    if (answer == BoxAnswer::Yes)
        return std::nullopt;
    session.SendAndWait(kCancelPdu, kSendCommandLine);
    return SendOutcome::Cancelled;
}

} // namespace

SendOutcome SendSubmitPdu(CModemSession& session, const SubmitPdu& submit, IMessageSink& sink,
                          SendPause pause) {
    const std::string command = "AT+CMGS=" + std::to_string(submit.length);
    session.ClearLines();
    session.SendCommand(command);
    if (const auto stopped = PauseBeforePdu(session, command, sink, pause))
        return *stopped;
    return Told(OutcomeOf(session.SendAndWait(submit.pdu, kSendPduData)), sink);
}
