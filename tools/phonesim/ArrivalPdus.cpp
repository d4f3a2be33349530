#include "tools/phonesim/ArrivalPdus.h"

#include "tools/phonesim/PduText.h"

#include <cstdio>

namespace {

std::string Octet(int value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// Digits as swapped semi-octets, an odd count padded with F.
std::string SemiOctets(const std::string& digits) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        out += i + 1 < digits.size() ? digits[i + 1] : 'F';
        out += digits[i];
    }
    return out;
}

std::string Digits(const std::string& number) {
    return number.starts_with('+') ? number.substr(1) : number;
}

int TypeOf(const std::string& number) {
    return number.starts_with('+') ? 0x91 : 0x81;
}

// TP-OA / TP-DA: digit count, type, semi-octets.
std::string Address(const std::string& number) {
    const std::string digits = Digits(number);
    return Octet(static_cast<int>(digits.size())) + Octet(TypeOf(number)) + SemiOctets(digits);
}

// The service-centre field: octet count (type included), type, semi-octets.
std::string CentreField(const std::string& number) {
    const std::string digits = Digits(number);
    return Octet(static_cast<int>((digits.size() + 1) / 2 + 1)) + Octet(TypeOf(number)) +
           SemiOctets(digits);
}

// TP-SCTS and TP-DT (9.2.3.11): year, month, day, hour, minute, second, zone 0, as swapped
// semi-octets.
std::string TimeStamp(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    std::string out;
    for (int value : {parts.tm_year % 100, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                      parts.tm_min, parts.tm_sec, 0}) {
        char text[3];
        std::snprintf(text, sizeof text, "%02d", value);
        out += SemiOctets(text);
    }
    return out;
}

// Packs 7-bit characters eight into seven octets (9.2.3.24). The characters used here have the
// same code in the default alphabet as in ASCII ('@' aside, which is not used).
std::string PackSeptets(const std::string& text) {
    std::string out;
    unsigned carry = 0;
    int bits = 0;
    for (char c : text) {
        carry |= (static_cast<unsigned>(c) & 0x7F) << bits;
        bits += 7;
        while (bits >= 8) {
            out += Octet(static_cast<int>(carry & 0xFF));
            carry >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out += Octet(static_cast<int>(carry));
    return out;
}

int HexOctet(const std::string& pdu, std::size_t octet) {
    if (pdu.size() < 2 * octet + 2)
        return -1;
    unsigned value = 0;
    if (std::sscanf(pdu.substr(2 * octet, 2).c_str(), "%2x", &value) != 1)
        return -1;
    return static_cast<int>(value);
}

} // namespace

std::optional<SubmitFacts> ReadSubmit(const std::string& pdu) {
    if (TpduType(pdu) != 1)
        return std::nullopt;
    const auto first = static_cast<std::size_t>(HexOctet(pdu, 0)) + 1;
    const int firstOctet = HexOctet(pdu, first);
    const int digits = HexOctet(pdu, first + 2);
    if (firstOctet < 0 || digits < 0)
        return std::nullopt;
    const std::size_t addressOctets = 2 + static_cast<std::size_t>(digits + 1) / 2;
    const std::size_t start = 2 * (first + 2);
    if (pdu.size() < start + 2 * addressOctets)
        return std::nullopt;
    return SubmitFacts{(firstOctet & 0x20) != 0, pdu.substr(start, 2 * addressOctets)};
}

std::string BuildDeliver(const std::string& centre, const std::string& sender,
                         const std::string& text, std::time_t when) {
    // First octet 04: SMS-DELIVER, no more messages waiting; PID 00, DCS 00 (7-bit).
    return CentreField(centre) + "04" + Address(sender) + "0000" + TimeStamp(when) +
           Octet(static_cast<int>(text.size())) + PackSeptets(text);
}

std::string BuildStatusReport(const std::string& centre, int reference,
                              const std::string& recipient, int status, std::time_t sent,
                              std::time_t done) {
    // First octet 06: SMS-STATUS-REPORT, no more messages waiting, the report of a SUBMIT.
    return CentreField(centre) + "06" + Octet(reference) + recipient + TimeStamp(sent) +
           TimeStamp(done) + Octet(status);
}
