#pragma once
// How much of its room a message text fills, counted in the units of the coding it goes out in:
// septets for GSM 7-bit (an extension character takes two), octets for 8-bit, UTF-16 units for
// UCS2. In the window a text holds at most kMaxSmsParts linked parts; other senders give their
// own limit, up to kMaxLinkedParts. Pure functions, any thread.

#include "pdu/DataCoding.h"

#include <string>
#include <string_view>

inline constexpr int kMaxSmsParts = 10;
// The concatenation header counts parts in one octet (3GPP TS 23.040 9.2.3.24.1).
inline constexpr int kMaxLinkedParts = 255;

struct TextRoom {
    int parts = 1; // messages the text goes out as
    int left = 0;  // units left in the part being written
};

// Units the text takes under `coding`.
int TextUnits(std::string_view text, UdCoding coding);
// What a text may hold under `coding` in `maxParts` linked parts (10: 1530 septets, 670 units).
int MaxTextUnits(UdCoding coding, int maxParts = kMaxSmsParts);
// The parts and what is left in the last one. A text one message holds counts down from that
// message's room (160 septets, 140 octets, 70 units); a longer one from its part's room.
TextRoom MeasureText(std::string_view text, UdCoding coding);
// The longest head of `text` that MaxTextUnits holds; never cuts a character in half.
std::string CutToRoom(std::string_view text, UdCoding coding, int maxParts = kMaxSmsParts);
// The coding the text's characters ask for when the form cannot tell one: 7-bit when the
// default alphabet carries them, else UCS2.
UdCoding CodingOfText(std::string_view text);
