#pragma once
// Builds the SMS-SUBMIT PDU of a send from the form's values. Any thread: it reads only the
// values it is given and asks its boxes through the sink.

#include "core/MessageSink.h"
#include "sms/send/TextRoom.h"
#include "sms/send/WriteSmsValues.h"

#include <string>
#include <string_view>
#include <vector>

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

// A message ready to go: one PDU per part, in sequence order.
using SubmitParts = std::vector<SubmitPdu>;

// The PDU texts of the parts, in order.
std::vector<std::string> PdusOf(const SubmitParts& parts);

// As BuildSubmitPdu, in the coding ChooseCoding picks: a text too long for one message becomes
// linked parts under the 8-bit `reference`; the 7-bit "?" question is asked only for a 7-bit
// coding. A DCS that cannot be sent and 8-bit text outside Latin-1 are refused with a box.
// BuildSubmitPdu gives the first part of the same (reference 0). The text is cut to what
// `maxParts` parts hold (the window's edit has already cut it to its ten).
int BuildSubmitParts(const WriteSmsValues& values, IMessageSink& sink, SubmitParts& out,
                     int reference, int maxParts = kMaxSmsParts);
