#include "tools/phonesim/PduText.h"

#include <algorithm>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The octet at `octet` (counted from 0), or -1 when the text does not reach it or is not hex.
int OctetAt(const std::string& pdu, std::size_t octet) {
    if (pdu.size() < 2 * octet + 2)
        return -1;
    const int high = HexValue(pdu[2 * octet]);
    const int low = HexValue(pdu[2 * octet + 1]);
    if (high < 0 || low < 0)
        return -1;
    return high * 16 + low;
}

bool IsWholeHex(const std::string& pdu) {
    return pdu.size() % 2 == 0 &&
           std::all_of(pdu.begin(), pdu.end(), [](char c) { return HexValue(c) >= 0; });
}

} // namespace

int TpduLength(const std::string& pdu) {
    if (!IsWholeHex(pdu))
        return -1;
    const int scaLength = OctetAt(pdu, 0);
    const auto octets = static_cast<int>(pdu.size() / 2);
    if (scaLength < 0 || octets < 1 + scaLength)
        return -1;
    return octets - 1 - scaLength;
}

int TpduType(const std::string& pdu) {
    if (TpduLength(pdu) < 1)
        return -1;
    const int firstOctet = OctetAt(pdu, static_cast<std::size_t>(OctetAt(pdu, 0)) + 1);
    return firstOctet & 0x03;
}
