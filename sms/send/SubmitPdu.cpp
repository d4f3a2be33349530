#include "sms/send/SubmitPdu.h"

#include "core/TextHelpers.h"
#include "pdu/Pdu.h"
#include "sms/send/MessageCoding.h"
#include "sms/send/SmsText.h"

#include <optional>

namespace {

// Validity-period formats of the first octet.
constexpr int kNoValidity = 0;
constexpr int kRelativeValidity = 2;
constexpr int kAbsoluteValidity = 3;

// The longest relative validity period of GSM 03.40.
constexpr std::string_view kLongestValidity = "FF";

void ShowError(IMessageSink& sink, std::string_view text, std::string_view caption) {
    sink.ShowMessage({std::string(text), std::string(caption), BoxButtons::Ok, BoxIcon::Error});
}

// The number of a recipient: what follows the first ";" when there is one.
std::string RecipientNumber(std::string_view recipient) {
    const int semicolon = FindChar(recipient, ';');
    if (semicolon < 0) {
        return std::string(recipient);
    }
    return CopyTail(recipient, static_cast<int>(recipient.size()) - semicolon - 1);
}

int ValidityFormat(const WriteSmsValues& values) {
    if (!values.advancedSubmit) {
        return kRelativeValidity;
    }
    if (!values.validity) {
        return kNoValidity;
    }
    if (values.relative) {
        return kRelativeValidity; // wins when both radio buttons show checked
    }
    return values.absolute ? kAbsoluteValidity : kNoValidity;
}

// The two hex digits at the head of an option text ("7F - something"), or nothing.
std::optional<std::string> HexPairOf(std::string_view text) {
    if (!IsHexPair(text)) {
        return std::nullopt;
    }
    return std::string(text.substr(0, 2));
}

// The number `typed` into `field` as its address field codes it, or nothing after a box that
// names the field and what is wrong: a number cut or garbled would reach someone else.
std::optional<std::string> CheckedNumber(std::string_view typed, std::size_t maxDigits,
                                         std::string_view field, IMessageSink& sink) {
    std::string why;
    auto number = clean_number(typed, maxDigits, &why);
    if (!number) {
        const char* problem = why.starts_with("at most") ? " too long: " : " not valid: ";
        ShowError(sink, std::string(field) + problem + why, "Error");
    }
    return number;
}

bool FillAddresses(const WriteSmsValues& values, IMessageSink& sink, sms_container& sms) {
    if (values.sca.empty()) {
        ShowError(sink, "Please, fill Service Centre Address !", "Error");
        return false;
    }
    const auto sca = CheckedNumber(values.sca, kMaxScaDigits, "Service Centre Address", sink);
    if (!sca) {
        return false;
    }
    sms.sca = encode_sca(*sca);
    const int format = ValidityFormat(values);
    sms.pdu_type = hex_octet(encode_pdu_type(values.requestReply ? 1 : 0, format));
    sms.mr = "00";
    // The whole text is looked at: a long name before ";" must not cut the number off.
    const auto number = CheckedNumber(RecipientNumber(values.recipient), kMaxNumberDigits,
                                      "Recipient number", sink);
    if (!number) {
        return false;
    }
    sms.da = encode_da(*number);
    return true;
}

bool FillCoding(const WriteSmsValues& values, IMessageSink& sink, sms_container& sms,
                MessageCoding& coding) {
    if (values.advancedSubmit) {
        const auto pid = HexPairOf(values.pid);
        if (!pid) {
            ShowError(sink, "Invalid characters in PID", "ERROR");
            return false;
        }
        sms.pid = *pid;
        if (!HexPairOf(values.dcs)) {
            ShowError(sink, "Invalid characters in DCS", "ERROR");
            return false;
        }
    } else {
        sms.pid = "00";
        if (values.classIndex < 0) {
            ShowError(sink, "Please, select a class for the message", "Error");
            return false;
        }
    }
    std::string why;
    const auto chosen = ChooseCoding(values, &why);
    if (!chosen) {
        ShowError(sink, why, "ERROR");
        return false;
    }
    coding = *chosen;
    // A typed DCS keeps the case it was typed in; one the form chose is written as always.
    sms.dcs = values.advancedSubmit ? values.dcs.substr(0, 2)
                                    : hex_octet(static_cast<std::uint8_t>(coding.dcs));
    return true;
}

bool FillValidity(const WriteSmsValues& values, IMessageSink& sink, sms_container& sms) {
    const int format = ValidityFormat(values);
    if (format == kAbsoluteValidity) {
        sink.ShowMessage({"VPF Absolute representation not implemented", "Warning", BoxButtons::Ok,
                          BoxIcon::Information});
        return false;
    }
    if (format == kNoValidity) {
        sms.vp.clear();
    } else if (values.standardSubmit) {
        sms.vp = kLongestValidity;
    } else if (const auto period = HexPairOf(values.validityPeriod)) {
        sms.vp = *period;
    } else {
        ShowError(sink, "Invalid Characters in relative VPF", "Error");
        return false;
    }
    return true;
}

// Characters without a septet arrive as "?": the user sees which before anything goes out.
bool AcceptUnsendable(std::string_view text, IMessageSink& sink) {
    const std::string lost = UnsendableCharacters(text);
    if (lost.empty()) {
        return true;
    }
    const BoxAnswer answer = sink.ShowMessage(
        {"These characters cannot be sent and will arrive as \"?\": " + lost + "\nSend anyway?",
         "Warning", BoxButtons::YesNo, BoxIcon::Warning});
    return answer == BoxAnswer::Yes;
}

} // namespace

bool IsHexPair(std::string_view text) {
    return text.size() >= 2 && is_hex_digit(text[0]) && is_hex_digit(text[1]);
}

int BuildSubmitParts(const WriteSmsValues& values, IMessageSink& sink, SubmitParts& out,
                     int reference, int maxParts) {
    sms_container sms;
    MessageCoding coding;
    if (!FillAddresses(values, sink, sms) || !FillCoding(values, sink, sms, coding)) {
        return 1;
    }
    const std::string text = TextToSend(values.text, coding.coding, maxParts);
    const ud_parts parts = encode_ud_parts(text, coding.coding, reference);
    if (!parts.error.empty()) {
        ShowError(sink, parts.error, "ERROR");
        return 1;
    }
    if (!FillValidity(values, sink, sms) ||
        (coding.coding == UdCoding::Gsm7 && !AcceptUnsendable(text, sink))) {
        return 1;
    }
    const int firstOctet = read_byte(sms.pdu_type);
    out.clear();
    for (const ud_part& part : parts.parts) {
        sms.pdu_type =
            hex_octet(static_cast<std::uint8_t>(firstOctet | (part.udhi ? kUdhiBit : 0)));
        sms.udl = part.udl;
        sms.ud = part.ud;
        SubmitPdu pdu;
        pdu.pdu = encode_sms(sms);
        pdu.length = submit_octet_count(pdu.pdu);
        out.push_back(std::move(pdu));
    }
    return 0;
}

int BuildSubmitPdu(const WriteSmsValues& values, IMessageSink& sink, SubmitPdu& out) {
    SubmitParts parts;
    if (BuildSubmitParts(values, sink, parts, 0) != 0) {
        return 1;
    }
    out = parts.front();
    return 0;
}

std::vector<std::string> PdusOf(const SubmitParts& parts) {
    std::vector<std::string> pdus;
    pdus.reserve(parts.size());
    for (const SubmitPdu& part : parts)
        pdus.push_back(part.pdu);
    return pdus;
}
