#pragma once
// The exchange of one send with the phone: "AT+CMGS=<length>", the user's confirmation, then
// the PDU ended by Ctrl-Z and the phone's final answer shown as "Sent OK", "Error" or "Timeout".
//
// Runs on the thread that calls it, blocking it for up to about five seconds plus the time the
// user takes to answer; meant for a worker (CSendSmsWorker). The caller holds the session's
// `busy` flag for the whole exchange.

#include "core/MessageSink.h"
#include "serial/CModemSession.h"
#include "sms/send/SubmitPdu.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class SendOutcome {
    SentOk,   // "OK"
    Error,    // "ERROR" or "+CMS ERROR:"
    Timeout,  // no final answer within the wait
    Cancelled // the user answered No: no PDU went out
};

// What comes between "AT+CMGS=" and the PDU. The window asks its question, which is also the
// pause in which the phone sends its "> " prompt; without a question (the command line) the
// prompt itself is waited for, with the usual time-out.
enum class SendPause { AskUser, WaitForPrompt };

// After No, ESC tells the phone to stop waiting for the PDU it was promised (GSM 07.05 3.5.1);
// its answer is collected so that it cannot be taken for the answer of the next exchange. A
// prompt that does not come ends the send the same way, as "Error" or "Timeout".
SendOutcome SendSubmitPdu(CModemSession& session, const SubmitPdu& submit, IMessageSink& sink,
                          SendPause pause = SendPause::AskUser);

// One "command, the phone's "> " prompt, PDU" exchange without a question (AT+CMGW, the later
// parts of a send): SentOk when the phone took the PDU, its answer in reply; a prompt that does
// not come ends it as above, no PDU sent.
SendOutcome PduAfterPrompt(CModemSession& session, const std::string& command,
                           const SubmitPdu& submit, IMessageSink& sink, Reply& reply);

// Which part ended a send of `parts` parts: 0 when every part was accepted (or none was tried).
// A part the phone accepted without telling its reference.
inline constexpr int kNoReference = -1;

struct SendReport {
    int failedPart = 0;
    int parts = 0;
    // The phone's message reference ("+CMGS: <mr>") of each part it accepted, in order;
    // kNoReference for a part accepted without one.
    std::vector<int> references;
    // The phone ended the command while the question was asked: no PDU went out, and the
    // phone is ready for the next send.
    bool phoneStoppedWaiting = false;
    // How many PDUs were written to the phone: one more than the parts accepted when the last
    // went out and no answer came (the phone may have sent it).
    int pdusWritten = 0;
};

// The first field of the answer line "<prefix> <n>,..." of an OK reply; nothing without one.
std::optional<int> FirstNumberAnswered(const Reply& reply, std::string_view prefix);
// The message reference of a "+CMGS: <mr>[,<scts>]" answer; nothing without one.
std::optional<int> MessageReference(const Reply& reply);

// Sends the parts of one message in order. The first part pauses as `pause` says; each later
// part waits for the phone's "> " prompt before its PDU. The outcome box says "Sent OK" only
// when every part was accepted; the first part that fails ends the send, and report, when
// given, names it.
SendOutcome SendSubmitParts(CModemSession& session, const SubmitParts& parts, IMessageSink& sink,
                            SendReport* report = nullptr, SendPause pause = SendPause::AskUser);

// How a send ended, in words: the outcome box's text ("Sent OK", "Error", "Timeout"), or
// "Cancelled" (which no box tells).
std::string_view SendOutcomeText(SendOutcome outcome);

// The status-bar line for a send of several parts that failed ("Part 2 of 3 not sent:
// Timeout"), or for a phone that stopped waiting for the PDU; empty for a single message that
// failed otherwise, a cancelled send or one that went through.
std::string FailedPartNote(const SendReport& report, SendOutcome outcome);
