#pragma once
// What telvane-pdu prints: the key/value report of a decoded PDU and the PDU it builds for a
// text. Kept apart from main() so the formatting has no I/O of its own.

#include <string>
#include <string_view>

enum class PduKind { Detect, Deliver, Submit };

struct ToolOutput {
    bool ok = false;
    std::string text; // the report when ok, else why there is none
};

// The report of one PDU as "key: value" lines, each ended by a line feed; not ok when the PDU is
// malformed or of a type the codec does not read.
ToolOutput decode_report(std::string_view hex, PduKind kind);

struct SubmitRequest {
    std::string sca; // empty: the phone's own service centre ("00")
    std::string to;
    int msg_class = -1; // -1: no class, DCS 00
    bool reply = false; // TP-SRR
    std::string vp;     // empty, or two hex digits of a relative validity period
    // The coding: "" chooses 7-bit, or UCS2 when the text needs it; "ucs2", "8bit", or two hex
    // digits of a DCS octet to use as it is.
    std::string coding;
    int reference = 0; // links the parts of a long text (8-bit)
};

// The SMS-SUBMIT PDU for text, a line feed, and the octet count for "AT+CMGS=", a line feed -
// for a text one message cannot hold, these two lines for each part in order; not ok for a
// request the phone could not take.
ToolOutput encode_report(const SubmitRequest& request, std::string_view text);
