#include "pdu/UserData.h"

#include "core/Utf8.h"
#include "pdu/DataCoding.h"
#include "pdu/Gsm7Alphabet.h"
#include "pdu/HexText.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using Octets = std::vector<std::uint8_t>;

// Octets taken by the header: its length octet and what it announces, bounded by the data.
std::size_t header_size(const Octets& octets, int first_octet) {
    if ((first_octet & kUdhiBit) == 0 || octets.empty()) {
        return 0;
    }
    return std::min<std::size_t>(1 + octets[0], octets.size());
}

// Where the text lies: after header octets, within the udl septets or octets announced.
struct UdLayout {
    std::size_t header = 0;
    std::size_t udl = 0;
};

// Septets of text after the header and its fill bits.
std::string decode_gsm7(const Octets& octets, UdLayout layout) {
    const std::size_t skip = (layout.header * 8 + 6) / 7;
    const std::size_t septets = layout.udl;
    if (septets <= skip) {
        return {};
    }
    return gsm7_to_utf8(unpack_septets(octets, skip, septets - skip));
}

// Octets that hold text, within the data.
std::span<const std::uint8_t> text_octets(const Octets& octets, UdLayout layout) {
    const std::size_t end = std::min(layout.udl, octets.size());
    if (end <= layout.header) {
        return {};
    }
    return std::span<const std::uint8_t>(octets).subspan(layout.header, end - layout.header);
}

bool is_control_octet(std::uint8_t octet) {
    return octet < 0x20 || (octet >= 0x7F && octet < 0xA0);
}

std::string decode_8bit(std::span<const std::uint8_t> octets) {
    std::string text;
    for (const std::uint8_t octet : octets) {
        append_utf8(text, is_control_octet(octet) ? U' ' : char32_t{octet});
    }
    return text;
}

bool is_high_surrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::string decode_ucs2(std::span<const std::uint8_t> octets) {
    std::vector<char32_t> units;
    for (std::size_t i = 0; i + 1 < octets.size(); i += 2) {
        units.push_back(static_cast<char32_t>(octets[i] << 8 | octets[i + 1]));
    }
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (is_high_surrogate(cp) && i + 1 < units.size() && is_low_surrogate(units[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        append_utf8(text, cp); // a lone surrogate is written as U+FFFD
    }
    return text;
}

} // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the order the callers already use
std::string decode_ud(std::string_view ud, int udl, int dcs_octet, int first_octet) {
    const Octets octets = hex_to_octets(ud);
    const UdLayout layout{header_size(octets, first_octet),
                          static_cast<std::size_t>(std::max(udl, 0))};
    switch (ud_coding(dcs_octet)) {
    case UdCoding::Gsm7:
        return decode_gsm7(octets, layout);
    case UdCoding::Data8:
        return decode_8bit(text_octets(octets, layout));
    case UdCoding::Ucs2:
        return decode_ucs2(text_octets(octets, layout));
    }
    return {};
}

std::optional<concat_info> decode_concat(std::string_view ud, int first_octet) {
    // Most messages have no header: nothing to convert then.
    if ((first_octet & kUdhiBit) == 0) {
        return std::nullopt;
    }
    const Octets octets = hex_to_octets(ud);
    const std::size_t end = header_size(octets, first_octet);
    for (std::size_t pos = 1; pos + 2 <= end;) {
        const std::uint8_t iei = octets[pos];
        const std::size_t length = octets[pos + 1];
        const std::size_t data = pos + 2;
        if (data + length > end) {
            break;
        }
        if (iei == 0x00 && length == 3) {
            return concat_info{octets[data], octets[data + 1], octets[data + 2], false};
        }
        if (iei == 0x08 && length == 4) {
            return concat_info{octets[data] << 8 | octets[data + 1], octets[data + 2],
                               octets[data + 3], true};
        }
        pos = data + length;
    }
    return std::nullopt;
}

encoded_ud encode_ud(std::string_view text) {
    std::vector<std::uint8_t> septets = utf8_to_gsm7(text);
    if (septets.size() > kMaxSeptets) {
        // An escape is only ever the first septet of a pair: ending on one would split it.
        const bool splits_escape = septets[kMaxSeptets - 1] == kGsm7Escape;
        septets.resize(splits_escape ? kMaxSeptets - 1 : kMaxSeptets);
    }
    encoded_ud out;
    for (const std::uint8_t octet : pack_septets(septets)) {
        append_hex_octet(out.ud, octet);
    }
    out.udl = hex_octet(static_cast<std::uint8_t>(septets.size()));
    return out;
}
