#include "pdu/CbsCoding.h"

#include "pdu/HexText.h"
#include "pdu/UserData.h"

#include <algorithm>

namespace {

constexpr int kGroupLanguage = 0x0;
constexpr int kGroupLanguageFirst = 0x1;
constexpr int kGroupGeneralLow = 0x4;
constexpr int kGroupGeneralHigh = 0x7;
constexpr int kGroupWithHeader = 0x9;
constexpr int kGroupDataClass = 0xF;
// SMS DCS octets of each alphabet, for the user-data decoder.
constexpr int kSmsGsm7 = 0x00;
constexpr int kSmsData8 = 0x04;
constexpr int kSmsUcs2 = 0x08;
// Two packed language characters and their fill bits before a UCS2 text.
constexpr std::size_t kUcs2LanguageHexDigits = 4;
// Two language characters and a CR before a 7-bit text.
constexpr std::size_t kGsm7LanguageCharacters = 3;

// Bits 3-2 name the alphabet as in an SMS DCS of group 0 (11, reserved, is the default one).
UdCoding AlphabetBits(int dcs_octet) {
    return ud_coding(dcs_octet & 0x0C);
}

int SmsDcsOf(UdCoding coding) {
    switch (coding) {
    case UdCoding::Gsm7:
        return kSmsGsm7;
    case UdCoding::Data8:
        return kSmsData8;
    case UdCoding::Ucs2:
        return kSmsUcs2;
    }
    return kSmsGsm7;
}

std::string DecodeSeptets(std::string_view hex) {
    const std::size_t octets = hex.size() / 2;
    const std::size_t septets = octets * 8 / 7;
    std::string text = decode_ud(hex, static_cast<int>(septets), kSmsGsm7, 0);
    // Seven spare bits at the end are a CR, so that they are not read as "@".
    if ((octets * 8) % 7 == 0 && text.ends_with('\r'))
        text.pop_back();
    return text;
}

} // namespace

cbs_coding cbs_coding_of(int dcs_octet) {
    const int group = (dcs_octet >> 4) & 0xF;
    if (group == kGroupLanguage)
        return {UdCoding::Gsm7, false};
    if (group == kGroupLanguageFirst) {
        if ((dcs_octet & 0xF) == 0x0)
            return {UdCoding::Gsm7, true};
        if ((dcs_octet & 0xF) == 0x1)
            return {UdCoding::Ucs2, true};
        return {UdCoding::Gsm7, false};
    }
    if ((group >= kGroupGeneralLow && group <= kGroupGeneralHigh) || group == kGroupWithHeader)
        return {AlphabetBits(dcs_octet), false};
    if (group == kGroupDataClass) // bit 2 as in the SMS group 1111
        return {ud_coding(dcs_octet), false};
    return {UdCoding::Gsm7, false};
}

bool is_hex_data(std::string_view text) {
    return !text.empty() && text.size() % 2 == 0 && std::ranges::all_of(text, is_hex_digit);
}

std::string decode_cbs_hex(std::string_view hex, int dcs_octet) {
    const cbs_coding coding = cbs_coding_of(dcs_octet);
    if (coding.coding == UdCoding::Gsm7) {
        std::string text = DecodeSeptets(hex);
        if (coding.language_first)
            text.erase(0, std::min(text.size(), kGsm7LanguageCharacters));
        return text;
    }
    if (coding.language_first)
        hex.remove_prefix(std::min(hex.size(), kUcs2LanguageHexDigits));
    return decode_ud(hex, static_cast<int>(hex.size() / 2), SmsDcsOf(coding.coding), 0);
}
