#pragma once
// The data coding scheme octet (GSM 03.38, clause 4): its fields as the record shows them, the
// alphabet the user data is really written in, and the octet the send form builds.

#include <cstdint>
#include <string_view>

struct dcs {
    std::int8_t group = 0;     // bits 7 to 4
    std::int8_t alphabet = 7;  // 8 when bit 2 is set, otherwise 7
    std::int8_t msg_class = 0; // bits 1 and 0
};

// How the user data is coded, from the whole octet rather than bit 2 alone.
enum class UdCoding { Gsm7, Data8, Ucs2 };

// Fills out from the two hex digits of a DCS. Returns bit 3 of the octet (8 or 0).
int decode_dcs(std::string_view text, dcs& out);

// The coding of the user data for a DCS octet. Compressed data is shown as its octets; the
// reserved groups are read as the default alphabet.
UdCoding ud_coding(int dcs_octet);

// The coding's name as the PDU tool prints it: "gsm7", "8bit", "ucs2".
std::string_view ud_coding_name(UdCoding coding);

// Builds a DCS: the group in bits 7 to 4, bit 2 when alphabet is '8', the class in bits 1-0.
std::uint8_t encode_dcs(int group, char alphabet, int msg_class);
