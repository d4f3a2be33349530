#pragma once
// Builds the SMS-SUBMIT PDU of a send from the form's values. Any thread: it reads only the
// values it is given and asks its boxes through the sink.

#include "serial/MessageSink.h"
#include "sms/send/WriteSmsValues.h"

#include <string>
#include <string_view>

// A PDU ready for "AT+CMGS=": the hex text and the octet count the command announces.
struct SubmitPdu {
    std::string pdu;
    int length = 0;
};

// The first two characters of text, when both are hex digits (either case).
bool IsHexPair(std::string_view text);

// Fills the PDU field by field. The first check that fails shows its box and gives 1; 0 when
// out holds the PDU. Numbers longer than the PDU fields hold are refused, never cut; characters
// the 7-bit alphabet lacks are shown, and the send goes on only if the user says Yes.
int BuildSubmitPdu(const WriteSmsValues& values, IMessageSink& sink, SubmitPdu& out);
