#include "pdu/SubmitUserData.h"

#include "core/Utf8.h"
#include "pdu/Gsm7Alphabet.h"
#include "pdu/HexText.h"
#include "pdu/UserData.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

using Units = std::vector<std::uint16_t>;

std::u32string code_points(std::string_view text) {
    std::u32string points;
    for (std::size_t pos = 0; pos < text.size();) {
        points.push_back(next_code_point(text, pos));
    }
    return points;
}

bool gsm7_carries(char32_t cp) {
    std::string character;
    append_utf8(character, cp);
    return cp == U'?' || utf8_to_gsm7(character) != std::vector<std::uint8_t>{kGsm7Unknown};
}

Units utf16_units(std::string_view text) {
    Units units;
    for (const char32_t cp : code_points(text)) {
        if (cp >= 0x10000) {
            units.push_back(static_cast<std::uint16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(cp));
        }
    }
    return units;
}

bool is_high_surrogate(std::uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// Cuts items into runs of at most `size`; a cut right after an item that opens a pair (an
// escape, a high surrogate) moves one item back.
template <typename Item, typename OpensPair>
std::vector<std::vector<Item>> split_runs(const std::vector<Item>& items, std::size_t size,
                                          OpensPair opens_pair) {
    std::vector<std::vector<Item>> runs;
    for (std::size_t start = 0; start < items.size();) {
        std::size_t end = std::min(items.size(), start + size);
        if (end < items.size() && opens_pair(items[end - 1])) {
            --end;
        }
        runs.emplace_back(items.begin() + static_cast<long>(start),
                          items.begin() + static_cast<long>(end));
        start = end;
    }
    return runs;
}

// The user-data header with the concatenation element of 8-bit reference (TS 23.040
// 9.2.3.24.1): UDHL 05, IEI 00, length 03, reference, parts, sequence.
std::vector<std::uint8_t> concat_header(int reference, std::size_t total, std::size_t sequence) {
    return {0x05,
            0x00,
            0x03,
            static_cast<std::uint8_t>(reference & 0xFF),
            static_cast<std::uint8_t>(total),
            static_cast<std::uint8_t>(sequence)};
}

std::string hex_of(const std::vector<std::uint8_t>& octets) {
    std::string hex;
    for (const std::uint8_t octet : octets) {
        append_hex_octet(hex, octet);
    }
    return hex;
}

ud_part octet_part(std::vector<std::uint8_t> header, const std::vector<std::uint8_t>& data) {
    const bool udhi = !header.empty();
    header.insert(header.end(), data.begin(), data.end());
    return {hex_octet(static_cast<std::uint8_t>(header.size())), hex_of(header), udhi};
}

// Octet runs (UCS2 or 8-bit) as parts, with headers when there is more than one.
ud_parts octet_parts(const std::vector<std::vector<std::uint8_t>>& runs, int reference) {
    ud_parts out;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        out.parts.push_back(octet_part(runs.size() > 1
                                           ? concat_header(reference, runs.size(), i + 1)
                                           : std::vector<std::uint8_t>{},
                                       runs[i]));
    }
    if (out.parts.empty()) {
        out.parts.push_back({"00", "", false});
    }
    return out;
}

ud_parts ucs2_parts(std::string_view text, int reference) {
    const Units units = utf16_units(text);
    const std::size_t size =
        units.size() <= kUcs2UnitsPerMessage ? units.size() : kUcs2UnitsPerPart;
    std::vector<std::vector<std::uint8_t>> runs;
    for (const Units& run : split_runs(units, std::max<std::size_t>(size, 1), is_high_surrogate)) {
        std::vector<std::uint8_t> octets;
        for (const std::uint16_t unit : run) {
            octets.push_back(static_cast<std::uint8_t>(unit >> 8));
            octets.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        }
        runs.push_back(std::move(octets));
    }
    return octet_parts(runs, reference);
}

ud_parts latin1_parts(std::string_view text, int reference) {
    const std::string outside = non_latin1_characters(text);
    if (!outside.empty()) {
        return {{}, "These characters cannot be sent as 8-bit data: " + outside};
    }
    std::vector<std::uint8_t> octets;
    std::ranges::transform(code_points(text), std::back_inserter(octets),
                           [](char32_t cp) { return static_cast<std::uint8_t>(cp); });
    const std::size_t size = octets.size() <= kMaxUserDataOctets ? octets.size() : kOctetsPerPart;
    return octet_parts(
        split_runs(octets, std::max<std::size_t>(size, 1), [](std::uint8_t) { return false; }),
        reference);
}

// A 7-bit part behind the 6-octet header: one fill bit brings the text to a septet boundary,
// so the header is packed as 7 zero septets and then written over the first 6 octets.
ud_part gsm7_part(std::vector<std::uint8_t> septets, const std::vector<std::uint8_t>& header) {
    const std::size_t header_septets = (header.size() * 8 + 6) / 7;
    septets.insert(septets.begin(), header_septets, 0);
    std::vector<std::uint8_t> octets = pack_septets(septets);
    std::copy(header.begin(), header.end(), octets.begin());
    return {hex_octet(static_cast<std::uint8_t>(septets.size())), hex_of(octets), true};
}

ud_parts gsm7_parts(std::string_view text, int reference) {
    const std::vector<std::uint8_t> septets = utf8_to_gsm7(text);
    if (septets.size() <= kMaxSeptets) {
        const encoded_ud ud = encode_ud(text);
        return {{{ud.udl, ud.ud, false}}, {}};
    }
    const auto runs = split_runs(septets, kSeptetsPerPart,
                                 [](std::uint8_t septet) { return septet == kGsm7Escape; });
    ud_parts out;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        out.parts.push_back(gsm7_part(runs[i], concat_header(reference, runs.size(), i + 1)));
    }
    return out;
}

} // namespace

std::optional<UdCoding> submit_coding(int dcs_octet, std::string* why) {
    const auto refuse = [&](std::string_view reason) -> std::optional<UdCoding> {
        if (why != nullptr) {
            *why = "DCS " + hex_octet(static_cast<std::uint8_t>(dcs_octet)) + ": " +
                   std::string(reason) + " cannot be sent";
        }
        return std::nullopt;
    };
    const int group = (dcs_octet >> 4) & 0x0F;
    if (group <= 0x07) {
        if ((dcs_octet & 0x20) != 0) {
            return refuse("compressed text");
        }
        if ((dcs_octet & 0x0C) == 0x0C) {
            return refuse("a reserved alphabet");
        }
    } else if (group <= 0x0B) {
        return refuse("a reserved coding group");
    } else if (group == 0x0F && (dcs_octet & 0x08) != 0) {
        return refuse("a reserved coding");
    }
    return ud_coding(dcs_octet);
}

int submit_dcs(UdCoding coding, int msg_class) {
    const bool with_class = msg_class >= 0 && msg_class <= 3;
    const int klass = with_class ? msg_class : 0;
    switch (coding) {
    case UdCoding::Gsm7:
        return with_class ? 0xF0 | klass : 0x00;
    case UdCoding::Data8:
        return with_class ? 0xF4 | klass : 0x04;
    case UdCoding::Ucs2:
        return with_class ? 0x18 | klass : 0x08;
    }
    return 0x00;
}

bool needs_ucs2(std::string_view text) {
    return !std::ranges::all_of(code_points(text), gsm7_carries);
}

std::string non_latin1_characters(std::string_view text) {
    std::u32string seen;
    std::string shown;
    for (const char32_t cp : code_points(text)) {
        if (cp > 0xFF && seen.find(cp) == std::u32string::npos) {
            seen.push_back(cp);
            append_utf8(shown, cp);
        }
    }
    return shown;
}

ud_parts encode_ud_parts(std::string_view text, UdCoding coding, int reference) {
    switch (coding) {
    case UdCoding::Gsm7:
        return gsm7_parts(text, reference);
    case UdCoding::Data8:
        return latin1_parts(text, reference);
    case UdCoding::Ucs2:
        return ucs2_parts(text, reference);
    }
    return {};
}
