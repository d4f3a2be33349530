#pragma once
// What the interpreter asks the line side to do, in order. The line side writes (paced) and
// keeps the transcript; the interpreter itself never touches a file descriptor.

#include <string>

enum class EventKind {
    Echo,            // bytes echoed back as they arrived; not a transcript line
    Received,        // a command line (or a rejected PDU) arrived: transcript "RX <text>"
    Line,            // one response line, framed "\r\n<text>\r\n": transcript "TX <text>"
    Prompt,          // "\r\n> " with no line end: transcript "TX > "
    Sent,            // a PDU accepted by +CMGS: transcript "SENT <pdu>"
    Cancelled,       // a PDU cancelled with ESC: transcript "RX <ESC>"
    Vanish,          // the phone goes away: transcript "GONE", the line closes, the simulator ends
    Unsolicited,     // an unsolicited result code, framed "\r\n<text>\r\n": transcript "URC <text>"
    UnsolicitedData, // the PDU line of +CMT or +CDS, "<text>\r\n": transcript "URC <text>"
};

struct SimEvent {
    EventKind kind;
    std::string text;
};
