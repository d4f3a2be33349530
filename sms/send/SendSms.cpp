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

std::string CmgsCommand(const SubmitPdu& submit) {
    return "AT+CMGS=" + std::to_string(submit.length);
}

// The first part: the question is also the pause in which the phone sends its "> " prompt.
SendOutcome SendFirstPart(CModemSession& session, const SubmitPdu& submit, IMessageSink& sink) {
    const std::string command = CmgsCommand(submit);
    session.ClearLines();
    session.SendCommand(command);
    const BoxAnswer answer =
        sink.ShowMessage({command, "!", BoxButtons::YesNo, BoxIcon::None, true});
    if (answer != BoxAnswer::Yes) {
        session.SendAndWait(kCancelPdu, kSendCommandLine);
        return SendOutcome::Cancelled;
    }
    return OutcomeOf(session.SendAndWait(submit.pdu, kSendPduData));
}

// A later part of the same message: no question, the phone's prompt is waited for instead. A
// phone that never prompts may still wait for a PDU: ESC ends that before the outcome is told.
SendOutcome SendLaterPart(CModemSession& session, const SubmitPdu& submit) {
    session.ClearLines();
    session.SendCommand(CmgsCommand(submit));
    const int prompt = session.WaitForPrompt();
    if (prompt == kAnswerTimeout) {
        session.SendAndWait(kCancelPdu, kSendCommandLine);
    }
    if (prompt != kAnswerOk) {
        return OutcomeOf(prompt);
    }
    return OutcomeOf(session.SendAndWait(submit.pdu, kSendPduData));
}

} // namespace

SendOutcome SendSubmitPdu(CModemSession& session, const SubmitPdu& submit, IMessageSink& sink) {
    return SendSubmitParts(session, SubmitParts{submit}, sink);
}

SendOutcome SendSubmitParts(CModemSession& session, const SubmitParts& parts, IMessageSink& sink,
                            SendReport* report) {
    SendReport done{0, static_cast<int>(parts.size())};
    SendOutcome outcome = SendOutcome::SentOk;
    for (std::size_t i = 0; i < parts.size() && outcome == SendOutcome::SentOk; ++i) {
        done.failedPart = static_cast<int>(i) + 1;
        outcome =
            i == 0 ? SendFirstPart(session, parts[i], sink) : SendLaterPart(session, parts[i]);
    }
    if (outcome == SendOutcome::SentOk) {
        done.failedPart = 0;
    }
    if (report != nullptr) {
        *report = done;
    }
    if (outcome != SendOutcome::Cancelled) {
        ShowOk(sink, OutcomeText(outcome), kAppTitle);
    }
    return outcome;
}

std::string FailedPartNote(const SendReport& report, SendOutcome outcome) {
    if (report.failedPart == 0 || report.parts < 2 || outcome == SendOutcome::Cancelled) {
        return {};
    }
    return "Part " + std::to_string(report.failedPart) + " of " + std::to_string(report.parts) +
           " not sent: " + std::string(OutcomeText(outcome));
}
