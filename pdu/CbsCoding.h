#pragma once
// The data coding scheme of cell broadcast and USSD strings (3GPP TS 23.038 section 5), which
// is not the SMS one: group 0000 is 7-bit in a language (0x0F: language unspecified), 0001
// carries a language indication before the text, 01xx and 1001 name the alphabet in bits 3-2,
// 1111 in bit 2; the reserved groups are read as the default alphabet. Pure functions.

#include "pdu/DataCoding.h"

#include <string>
#include <string_view>

struct cbs_coding {
    UdCoding coding = UdCoding::Gsm7;
    // The text begins with its language: two 7-bit characters and a CR (7-bit), or two packed
    // 7-bit characters in two octets (UCS2).
    bool language_first = false;
};

// The coding of a CBS/USSD DCS octet.
cbs_coding cbs_coding_of(int dcs_octet);

// True when `text` can be the hex form of encoded data: an even, non-zero count of hex digits.
bool is_hex_data(std::string_view text);

// The UTF-8 text of hex data under a CBS/USSD DCS: packed septets (a last CR that only fills
// the octet is dropped, 23.038 6.1.2.3.1), 8-bit Latin-1 octets or UCS2; the language
// indication, when the DCS announces one, is left out.
std::string decode_cbs_hex(std::string_view hex, int dcs_octet);
