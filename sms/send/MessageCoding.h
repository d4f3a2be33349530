#pragma once
// How a message goes out: the DCS octet and the coding of its text, the text as it is sent, and
// the line that tells the user about it ("Unicode, 2 messages"). Pure functions, any thread; the
// send and the command line share them.

#include "pdu/DataCoding.h"
#include "sms/send/TextRoom.h"
#include "sms/send/WriteSmsValues.h"

#include <optional>
#include <string>
#include <string_view>

struct MessageCoding {
    int dcs = 0;
    UdCoding coding = UdCoding::Gsm7;
};

// Standard Submit: 7-bit (DCS 00, or F0-F3 with a class) unless the text has a character the
// default alphabet and its extension table lack, then UCS2 (08, or 18-1B with a class). Advanced
// submit: the DCS typed, as it says. Nothing when the form cannot say: no class chosen, a DCS
// that is not two hex digits, or one that cannot be sent (why, when given, then tells).
std::optional<MessageCoding> ChooseCoding(const WriteSmsValues& values, std::string* why = nullptr);

// The text as it goes out: at most what `maxParts` linked parts of its coding hold.
std::string TextToSend(std::string_view text, UdCoding coding, int maxParts = kMaxSmsParts);
// True when the form's text goes out whole in at most `maxParts` linked parts (false also when
// no coding can be chosen: the build then says why).
bool TextFitsParts(const WriteSmsValues& values, int maxParts);

// "GSM 7-bit, 1 message", "8-bit, 1 message", "Unicode, 2 messages"; for a coding that cannot
// be chosen, why; empty when the DCS or class is simply not filled in.
std::string SendPlanText(const WriteSmsValues& values);
