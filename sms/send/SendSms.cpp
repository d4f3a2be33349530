#include "sms/send/SendSms.h"

#include "serial/AtFields.h"

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kCancelPdu = "\x1b";

SendOutcome OutcomeOf(int answer) {
    if (answer == kAnswerOk) {
        return SendOutcome::SentOk;
    }
    return answer == kAnswerError ? SendOutcome::Error : SendOutcome::Timeout;
}

std::string CmgsCommand(const SubmitPdu& submit) {
    return "AT+CMGS=" + std::to_string(submit.length);
}

// True when the phone has ended the command while the question was on screen: it stops
// waiting for the PDU after a while of its own ("+CMS ERROR: 304"), and a PDU sent then would
// reach it as a command line and spoil the next send.
bool PhoneStoppedWaiting(CModemSession& session) {
    return session.Store().errorReceived.load(std::memory_order_acquire) != 0;
}

// Between the command and the PDU: nothing when the PDU may go, else how the send ended.
std::optional<SendOutcome> PauseBeforePdu(CModemSession& session, const std::string& command,
                                          IMessageSink& sink, SendPause pause, SendReport& report) {
    if (pause == SendPause::WaitForPrompt) {
        const int prompt = session.WaitForPrompt();
        if (prompt == kAnswerOk)
            return std::nullopt;
        // An error result has ended the command already; a silent phone may still be waiting
        // for the PDU.
        if (prompt == kAnswerTimeout)
            session.SendAndWait(kCancelPdu, kSendCommandLine);
        return OutcomeOf(prompt);
    }
    // The question is also the pause in which the phone sends its "> " prompt.
    const BoxAnswer answer =
        sink.ShowMessage({command, "!", BoxButtons::YesNo, BoxIcon::None, true});
    if (answer == BoxAnswer::Yes && PhoneStoppedWaiting(session)) {
        report.phoneStoppedWaiting = true;
        return SendOutcome::Error;
    }
    if (answer == BoxAnswer::Yes)
        return std::nullopt;
    session.SendAndWait(kCancelPdu, kSendCommandLine);
    return SendOutcome::Cancelled;
}

// The command, the pause, then the PDU; the phone's answer to the PDU goes into reply.
SendOutcome PduExchange(CModemSession& session, const std::string& command, const SubmitPdu& submit,
                        IMessageSink& sink, SendPause pause, SendReport& report, Reply& reply) {
    session.ClearLines();
    session.SendCommand(command);
    if (const auto stopped = PauseBeforePdu(session, command, sink, pause, report))
        return *stopped;
    ++report.pdusWritten;
    reply = session.Exchange(submit.pdu, kSendPduData);
    return OutcomeOf(reply.Answer());
}

SendOutcome SendPart(CModemSession& session, const SubmitPdu& submit, IMessageSink& sink,
                     SendPause pause, SendReport& report) {
    Reply reply;
    const SendOutcome outcome =
        PduExchange(session, CmgsCommand(submit), submit, sink, pause, report, reply);
    if (outcome == SendOutcome::SentOk)
        report.references.push_back(MessageReference(reply).value_or(kNoReference));
    return outcome;
}

} // namespace

SendOutcome PduAfterPrompt(CModemSession& session, const std::string& command,
                           const SubmitPdu& submit, IMessageSink& sink, Reply& reply) {
    SendReport unused;
    return PduExchange(session, command, submit, sink, SendPause::WaitForPrompt, unused, reply);
}

SendOutcome SendSubmitPdu(CModemSession& session, const SubmitPdu& submit, IMessageSink& sink,
                          SendPause pause) {
    return SendSubmitParts(session, SubmitParts{submit}, sink, nullptr, pause);
}

SendOutcome SendSubmitParts(CModemSession& session, const SubmitParts& parts, IMessageSink& sink,
                            SendReport* report, SendPause pause) {
    SendReport done{0, static_cast<int>(parts.size()), {}};
    SendOutcome outcome = SendOutcome::SentOk;
    for (std::size_t i = 0; i < parts.size() && outcome == SendOutcome::SentOk; ++i) {
        done.failedPart = static_cast<int>(i) + 1;
        // Only the first part is asked about: each later one waits for the phone's prompt.
        outcome =
            SendPart(session, parts[i], sink, i == 0 ? pause : SendPause::WaitForPrompt, done);
    }
    if (outcome == SendOutcome::SentOk) {
        done.failedPart = 0;
    }
    if (report != nullptr) {
        *report = done;
    }
    // A port that went away is reported once, by the end of the session.
    if (outcome != SendOutcome::Cancelled && !session.PortLost()) {
        ShowOk(sink, SendOutcomeText(outcome), kAppTitle);
    }
    return outcome;
}

std::optional<int> FirstNumberAnswered(const Reply& reply, std::string_view prefix) {
    const std::string* line = reply.Ok() ? reply.Find(prefix) : nullptr;
    if (line == nullptr)
        return std::nullopt;
    AtFields fields(*line);
    fields.Begin(prefix);
    return fields.NextNumber();
}

std::optional<int> MessageReference(const Reply& reply) {
    return FirstNumberAnswered(reply, "+CMGS:");
}

std::string_view SendOutcomeText(SendOutcome outcome) {
    switch (outcome) {
    case SendOutcome::SentOk:
        return "Sent OK";
    case SendOutcome::Error:
        return "Error";
    case SendOutcome::Timeout:
        return "Timeout";
    case SendOutcome::Cancelled:
        return "Cancelled";
    }
    return {};
}

std::string FailedPartNote(const SendReport& report, SendOutcome outcome) {
    if (report.phoneStoppedWaiting) {
        return "The phone stopped waiting for the message before the answer: nothing was sent, "
               "send again";
    }
    if (report.failedPart == 0 || report.parts < 2 || outcome == SendOutcome::Cancelled) {
        return {};
    }
    return "Part " + std::to_string(report.failedPart) + " of " + std::to_string(report.parts) +
           " not sent: " + std::string(SendOutcomeText(outcome));
}
