#pragma once
// The user data of a message (GSM 03.40, 9.2.3.24): its text in any of the three codings, the
// concatenation element of its header, and the packed 7-bit text of an SMS-SUBMIT.

#include <optional>
#include <string>
#include <string_view>

// Septets of one message; longer texts are refused by the callers and cut by encode_ud.
inline constexpr int kMaxSeptets = 160;
// Octets of user data any SMS can carry.
inline constexpr int kMaxUserDataOctets = 140;

// First-octet bit that says the user data starts with a header.
inline constexpr int kUdhiBit = 0x40;

// The text of user data ud (hex), udl as the PDU gives it (septets for 7-bit, else octets), the
// DCS octet and the first octet of the PDU. 7-bit: GSM 03.38 default alphabet and extension
// table; 8-bit: the octets as Latin-1, control octets as spaces; UCS2: UTF-16 big-endian with
// surrogate pairs joined (a lone surrogate becomes U+FFFD). With the UDHI bit set the header is
// skipped, and for 7-bit the fill bits up to the next septet boundary too. Data shorter than udl
// announces gives the characters that are there, nothing invented. Result: UTF-8.
std::string decode_ud(std::string_view ud, int udl, int dcs_octet = 0, int first_octet = 0);

// One part of a long message, from the header's concatenation element (IEI 0: 8-bit reference,
// IEI 8: 16-bit reference).
struct concat_info {
    int reference = 0;
    int total = 0;
    int sequence = 0;
    bool reference16 = false;
};

// The first concatenation element of the user-data header, if the UDHI bit of first_octet is set
// and the header holds a well-formed one inside its own length.
std::optional<concat_info> decode_concat(std::string_view ud, int first_octet);

struct encoded_ud {
    std::string ud;  // packed septets, lower-case hex
    std::string udl; // "%02x" of the septet count
};

// Packs UTF-8 text as 7-bit user data through the default alphabet: extension characters take
// two septets (both counted in udl), a character without a septet becomes "?". Text past
// kMaxSeptets is cut, never in the middle of an escape pair. "abc" gives "61f118", "03".
encoded_ud encode_ud(std::string_view text);
