#include "sms/send/TextRoom.h"

#include "core/Utf8.h"
#include "pdu/Gsm7Alphabet.h"
#include "sms/send/SmsText.h"

#include <algorithm>

namespace {

struct Room {
    int single;  // one message without a header
    int perPart; // one part of a linked message (the concatenation header takes the rest)
};

Room RoomOf(UdCoding coding) {
    switch (coding) {
    case UdCoding::Gsm7:
        return {160, 153};
    case UdCoding::Data8:
        return {140, 134};
    case UdCoding::Ucs2:
        return {70, 67};
    }
    return {160, 153};
}

// Units the character at `pos` takes; moves pos past it.
int NextUnits(std::string_view text, std::size_t& pos, UdCoding coding) {
    const std::size_t start = pos;
    const char32_t cp = next_code_point(text, pos);
    switch (coding) {
    case UdCoding::Gsm7:
        return gsm7_septet_count(text.substr(start, pos - start));
    case UdCoding::Data8:
        return 1;
    case UdCoding::Ucs2:
        return cp > 0xFFFF ? 2 : 1;
    }
    return 1;
}

} // namespace

int TextUnits(std::string_view text, UdCoding coding) {
    int units = 0;
    for (std::size_t pos = 0; pos < text.size();)
        units += NextUnits(text, pos, coding);
    return units;
}

int MaxTextUnits(UdCoding coding, int maxParts) {
    return RoomOf(coding).perPart * std::clamp(maxParts, 1, kMaxLinkedParts);
}

TextRoom MeasureText(std::string_view text, UdCoding coding) {
    const Room room = RoomOf(coding);
    const int units = TextUnits(text, coding);
    if (units <= room.single)
        return {1, room.single - units};
    const int parts = (units + room.perPart - 1) / room.perPart;
    return {parts, parts * room.perPart - units};
}

std::string CutToRoom(std::string_view text, UdCoding coding, int maxParts) {
    const int limit = MaxTextUnits(coding, maxParts);
    int units = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        units += NextUnits(text, pos, coding);
        if (units > limit)
            return std::string(text.substr(0, start));
    }
    return std::string(text);
}

UdCoding CodingOfText(std::string_view text) {
    return UnsendableCharacters(text).empty() ? UdCoding::Gsm7 : UdCoding::Ucs2;
}
