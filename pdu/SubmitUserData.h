#pragma once
// The user data of an SMS-SUBMIT in the coding its DCS octet names (3GPP TS 23.038 clause 4,
// TS 23.040 9.2.3.16 and 9.2.3.24), split into linked parts when one message cannot hold it.

#include "pdu/DataCoding.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What one part of a long message holds once its 6-octet concatenation header is in: UTF-16
// units, octets, septets.
inline constexpr int kUcs2UnitsPerPart = 67;
inline constexpr int kOctetsPerPart = 134;
inline constexpr int kSeptetsPerPart = 153;
// UTF-16 units of a single UCS2 message.
inline constexpr int kUcs2UnitsPerMessage = 70;

// The coding a submit's user data takes under dcs_octet, or nothing for an octet that names
// compressed text or a reserved coding; why, when given, then says so in a sentence.
std::optional<UdCoding> submit_coding(int dcs_octet, std::string* why = nullptr);

// The DCS a sender without a typed one uses: 00, 04 or 08 without a class (msg_class < 0);
// with class 0-3, F0-F3 for 7-bit, F4-F7 for 8-bit, 18-1B for UCS2.
int submit_dcs(UdCoding coding, int msg_class);

// True when text holds a character that neither the default alphabet nor its extension table
// carries ("?" itself is carried).
bool needs_ucs2(std::string_view text);

// The characters of text outside Latin-1, once each, in order of first appearance.
std::string non_latin1_characters(std::string_view text);

// One part: udl and ud as the PDU takes them, and whether ud opens with a header (the UDHI bit
// of the first octet).
struct ud_part {
    std::string udl;
    std::string ud;
    bool udhi = false;
};

struct ud_parts {
    std::vector<ud_part> parts; // empty when error says why nothing can be sent
    std::string error;
};

// Encodes text under coding. Text that one message holds (160 septets, 140 octets, 70 UTF-16
// units) gives one part without header - for 7-bit exactly what encode_ud gives. Longer text
// gives parts with the concatenation element of 8-bit reference `reference` (IEI 00), never
// splitting an escape pair or a surrogate pair. 8-bit text outside Latin-1 is an error.
ud_parts encode_ud_parts(std::string_view text, UdCoding coding, int reference);
