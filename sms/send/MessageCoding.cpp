#include "sms/send/MessageCoding.h"

#include "core/TextHelpers.h"
#include "pdu/HexText.h"
#include "pdu/SubmitUserData.h"
#include "sms/send/SmsText.h"
#include "sms/send/SubmitPdu.h"
#include "sms/send/TextRoom.h"

namespace {

// Class positions 0-3 are classes 0-3; the last one, "Not specified", is none.
MessageCoding StandardCoding(const WriteSmsValues& values) {
    const int msgClass = values.classIndex <= 3 ? values.classIndex : -1;
    const UdCoding coding = needs_ucs2(values.text) ? UdCoding::Ucs2 : UdCoding::Gsm7;
    return {submit_dcs(coding, msgClass), coding};
}

std::string_view CodingName(UdCoding coding) {
    switch (coding) {
    case UdCoding::Gsm7:
        return "GSM 7-bit";
    case UdCoding::Data8:
        return "8-bit";
    case UdCoding::Ucs2:
        return "Unicode";
    }
    return {};
}

} // namespace

std::optional<MessageCoding> ChooseCoding(const WriteSmsValues& values, std::string* why) {
    if (!values.advancedSubmit) {
        if (values.classIndex < 0) {
            return std::nullopt;
        }
        return StandardCoding(values);
    }
    if (!IsHexPair(values.dcs)) {
        return std::nullopt;
    }
    const int dcs = read_byte(values.dcs);
    const auto coding = submit_coding(dcs, why);
    if (!coding) {
        return std::nullopt;
    }
    return MessageCoding{dcs, *coding};
}

std::string TextToSend(std::string_view text, UdCoding coding, int maxParts) {
    return CutToRoom(text, coding, maxParts);
}

bool TextFitsParts(const WriteSmsValues& values, int maxParts) {
    const auto chosen = ChooseCoding(values);
    const UdCoding coding = chosen ? chosen->coding : CodingOfText(values.text);
    return CutToRoom(values.text, coding, maxParts) == values.text;
}

std::string SendPlanText(const WriteSmsValues& values) {
    std::string why;
    const auto chosen = ChooseCoding(values, &why);
    if (!chosen) {
        return why;
    }
    const ud_parts parts =
        encode_ud_parts(TextToSend(values.text, chosen->coding), chosen->coding, 0);
    if (!parts.error.empty()) {
        return parts.error;
    }
    const std::size_t count = parts.parts.size();
    return std::string(CodingName(chosen->coding)) + ", " + std::to_string(count) +
           (count == 1 ? " message" : " messages");
}
