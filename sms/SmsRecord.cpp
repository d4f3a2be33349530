#include "sms/SmsRecord.h"

#include "pdu/Pdu.h"
#include "sms/AddSmsRows.h"
#include "sms/SmsRowText.h"

#include <array>
#include <cstdio>

namespace {

// The message type indicator of a first octet (3GPP TS 23.040 9.2.3.1), mobile-terminated view.
constexpr int kMtiMask = 0x03;
constexpr int kMtiSubmit = 1;
constexpr int kMtiStatusReport = 2;
// Zone quarters per hour, and the first year read as the 1900s.
constexpr int kQuartersPerHour = 4;
constexpr int kMinutesPerQuarter = 15;
constexpr int kFirstTwentiethCenturyYear = 70;

using Parser = int (*)(std::string_view, sms_container&, std::string*);

// The first octet of a PDU line that starts with its service-centre field; -1 when the line is
// too short.
int FirstOctet(std::string_view pdu) {
    const auto scaOctets = static_cast<std::size_t>(read_byte(pdu));
    const std::size_t at = 2 + 2 * scaOctets;
    return at + 2 <= pdu.size() ? read_byte(pdu.substr(at)) : -1;
}

// Parses the line as it is, else as a PDU without its service-centre field (some phones leave
// it out); the error is the first attempt's.
bool Parse(Parser parse, std::string_view pdu, sms_container& sms, std::string& error) {
    sms = sms_container{};
    if (pdu.size() <= kMaxPduLineChars && parse(pdu, sms, &error) == 1)
        return true;
    if (pdu.size() > kMaxPduLineChars)
        error = "the PDU is longer than " + std::to_string(kMaxPduLineChars) + " characters";
    sms = sms_container{};
    std::string ignored;
    const std::string prefixed = std::string(kNoScaPrefix) + std::string(pdu);
    return prefixed.size() <= kMaxPduLineChars && parse(prefixed, sms, &ignored) == 1;
}

std::optional<int> MessageClass(int dcsOctet) {
    // General data coding with its class bit, or the data coding / message class group.
    constexpr int kGeneralGroupMask = 0xC0;
    constexpr int kClassBit = 0x10;
    constexpr int kClassGroup = 0xF0;
    constexpr int kClassMask = 0x03;
    if ((dcsOctet & kGeneralGroupMask) == 0 && (dcsOctet & kClassBit) != 0)
        return dcsOctet & kClassMask;
    if ((dcsOctet & kClassGroup) == kClassGroup)
        return dcsOctet & kClassMask;
    return std::nullopt;
}

void FillDecoded(const sms_container& sms, bool received, SmsRecord& record) {
    const int firstOctet = read_byte(sms.pdu_type.view());
    const int dcsOctet = read_byte(sms.dcs.view());
    record.type = received ? "deliver" : "submit";
    record.number = ShownNumber(sms.address.view(), sms.address_length);
    record.smsc = ShownNumber(sms.sca.view());
    if (received)
        record.time = IsoTime(sms.scts.view());
    record.text = decode_ud(sms.ud.view(), read_byte(sms.udl.view()), dcsOctet, firstOctet);
    record.coding = std::string(ud_coding_name(ud_coding(dcsOctet)));
    record.msgClass = MessageClass(dcsOctet);
    if (const auto concat = decode_concat(sms.ud.view(), firstOctet)) {
        record.part = concat->sequence;
        record.parts = concat->total;
        record.reference = concat->reference;
    }
}

} // namespace

std::string SmsStatusName(int status) {
    constexpr std::array<const char*, 4> kNames = {"unread", "read", "unsent", "sent"};
    if (status >= 0 && status < static_cast<int>(kNames.size()))
        return kNames[static_cast<std::size_t>(status)];
    return std::to_string(status);
}

std::string IsoTime(std::string_view scts) {
    constexpr std::size_t kStampChars = 14;
    if (scts.size() != kStampChars)
        return {};
    for (std::size_t i = 0; i < kStampChars; ++i) {
        // The zone's tens digit carries the sign in its bit 3.
        const bool zoneTens = i == kStampChars - 1;
        const char c = scts[i];
        if (!(c >= '0' && c <= '9') && !(zoneTens && is_hex_digit(c)))
            return {};
    }
    const sms_time time = decode_time(scts);
    const int quarters = timezone_quarters(scts);
    const int zoneMinutes = (quarters < 0 ? -quarters : quarters) * kMinutesPerQuarter;
    const int year = time.year + (time.year < kFirstTwentiethCenturyYear ? 2000 : 1900);
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", year,
                  time.month, time.day, time.hour, time.minute, time.second,
                  quarters < 0 ? '-' : '+', zoneMinutes / (kQuartersPerHour * kMinutesPerQuarter),
                  zoneMinutes % (kQuartersPerHour * kMinutesPerQuarter));
    return text.data();
}

SmsRecord DecodeStoredSms(const StoredSms& stored, SmsMemory memory, const NameLookup& lookup) {
    SmsRecord record;
    record.memory = std::string(SmsMemoryName(memory));
    record.index = stored.index;
    record.status = SmsStatusName(stored.status);
    record.pdu = stored.pdu;
    const int firstOctet = FirstOctet(stored.pdu);
    if (firstOctet >= 0 && (firstOctet & kMtiMask) == kMtiStatusReport) {
        record.type = "status_report";
        record.error = "status reports are not decoded";
        return record;
    }
    const bool received = stored.status == 0 || stored.status == 1 ||
                          (firstOctet >= 0 && (firstOctet & kMtiMask) != kMtiSubmit &&
                           stored.status != 2 && stored.status != 3);
    sms_container sms;
    std::string error;
    if (!Parse(received ? parse_sms_in : parse_sms_out, stored.pdu, sms, error)) {
        record.error = error.empty() ? "the PDU does not decode" : error;
        return record;
    }
    FillDecoded(sms, received, record);
    if (lookup && !record.number.empty())
        record.name = lookup(record.number);
    return record;
}
