#include "pdu/Gsm7Alphabet.h"

#include "core/Utf8.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

// Septet -> character of the default alphabet. The escape septet has no character of its own:
// a receiver that does not know its follower shows a space.
constexpr std::array<char32_t, 128> kDefaultAlphabet = {
    U'@', U'£', U'$', U'¥', U'è', U'é', U'ù', U'ì', U'ò', U'Ç',  U'\n', U'Ø', U'ø', U'\r', U'Å',
    U'å', U'Δ', U'_', U'Φ', U'Γ', U'Λ', U'Ω', U'Π', U'Ψ', U'Σ',  U'Θ',  U'Ξ', U' ', U'Æ',  U'æ',
    U'ß', U'É', U' ', U'!', U'"', U'#', U'¤', U'%', U'&', U'\'', U'(',  U')', U'*', U'+',  U',',
    U'-', U'.', U'/', U'0', U'1', U'2', U'3', U'4', U'5', U'6',  U'7',  U'8', U'9', U':',  U';',
    U'<', U'=', U'>', U'?', U'¡', U'A', U'B', U'C', U'D', U'E',  U'F',  U'G', U'H', U'I',  U'J',
    U'K', U'L', U'M', U'N', U'O', U'P', U'Q', U'R', U'S', U'T',  U'U',  U'V', U'W', U'X',  U'Y',
    U'Z', U'Ä', U'Ö', U'Ñ', U'Ü', U'§', U'¿', U'a', U'b', U'c',  U'd',  U'e', U'f', U'g',  U'h',
    U'i', U'j', U'k', U'l', U'm', U'n', U'o', U'p', U'q', U'r',  U's',  U't', U'u', U'v',  U'w',
    U'x', U'y', U'z', U'ä', U'ö', U'ñ', U'ü', U'à',
};

struct ExtensionChar {
    std::uint8_t septet;
    char32_t character;
};

// Characters reached through the escape septet.
constexpr std::array<ExtensionChar, 10> kExtension = {{
    {0x0A, U'\f'},
    {0x14, U'^'},
    {0x28, U'{'},
    {0x29, U'}'},
    {0x2F, U'\\'},
    {0x3C, U'['},
    {0x3D, U'~'},
    {0x3E, U']'},
    {0x40, U'|'},
    {0x65, U'€'},
}};

std::optional<char32_t> extension_char(std::uint8_t septet) {
    const auto* entry =
        std::find_if(kExtension.begin(), kExtension.end(),
                     [septet](const ExtensionChar& e) { return e.septet == septet; });
    return entry == kExtension.end() ? std::nullopt : std::optional<char32_t>(entry->character);
}

// Septets of one character: {count, first, second}; count 0 means the alphabet lacks it.
struct SeptetCode {
    std::uint8_t count = 0;
    std::uint8_t first = 0;
    std::uint8_t second = 0;
};

SeptetCode search_tables(char32_t cp) {
    for (std::size_t septet = 0; septet < kDefaultAlphabet.size(); ++septet) {
        if (septet != kGsm7Escape && kDefaultAlphabet[septet] == cp) {
            return {1, static_cast<std::uint8_t>(septet), 0};
        }
    }
    const auto* entry = std::find_if(kExtension.begin(), kExtension.end(),
                                     [cp](const ExtensionChar& e) { return e.character == cp; });
    return entry == kExtension.end() ? SeptetCode{} : SeptetCode{2, kGsm7Escape, entry->septet};
}

// Latin-1 code points, looked up once: they are nearly every character typed.
std::array<SeptetCode, 256> build_latin1_codes() {
    std::array<SeptetCode, 256> codes{};
    for (char32_t cp = 0; cp < codes.size(); ++cp) {
        codes[cp] = search_tables(cp);
    }
    return codes;
}

SeptetCode septets_of(char32_t cp) {
    static const std::array<SeptetCode, 256> kLatin1 = build_latin1_codes();
    const SeptetCode code = cp < kLatin1.size() ? kLatin1[cp] : search_tables(cp);
    return code.count == 0 ? SeptetCode{1, kGsm7Unknown, 0} : code;
}

void append_default_char(std::string& out, std::uint8_t septet) {
    const char32_t cp = kDefaultAlphabet[septet & 0x7F];
    // Most of any text is ASCII: one byte, no encoding.
    if (cp < 0x80)
        out.push_back(static_cast<char>(cp));
    else
        append_utf8(out, cp);
}

} // namespace

std::string gsm7_to_utf8(const std::vector<std::uint8_t>& septets) {
    std::string text;
    text.reserve(septets.size());
    for (std::size_t i = 0; i < septets.size(); ++i) {
        if (septets[i] != kGsm7Escape) {
            append_default_char(text, septets[i]);
            continue;
        }
        if (i + 1 == septets.size()) {
            text.push_back(' ');
            break;
        }
        const std::uint8_t follower = septets[++i];
        // A code the extension table leaves undefined shows as its main-table character
        // (TS 23.038 6.2.1.1).
        if (const auto extended = extension_char(follower)) {
            append_utf8(text, *extended);
        } else {
            append_default_char(text, follower);
        }
    }
    return text;
}

std::vector<std::uint8_t> utf8_to_gsm7(std::string_view text) {
    std::vector<std::uint8_t> septets;
    septets.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const SeptetCode code = septets_of(next_code_point(text, pos));
        septets.push_back(code.first);
        if (code.count == 2) {
            septets.push_back(code.second);
        }
    }
    return septets;
}

int gsm7_septet_count(std::string_view text) {
    int count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        count += septets_of(next_code_point(text, pos)).count;
    }
    return count;
}

std::vector<std::uint8_t> pack_septets(const std::vector<std::uint8_t>& septets) {
    std::vector<std::uint8_t> octets((septets.size() * 7 + 7) / 8, 0);
    for (std::size_t k = 0; k < septets.size(); ++k) {
        const unsigned value = septets[k] & 0x7Fu;
        const std::size_t bit = k * 7;
        const std::size_t index = bit / 8;
        const std::size_t shift = bit % 8;
        octets[index] = static_cast<std::uint8_t>(octets[index] | (value << shift));
        if (shift > 1) {
            octets[index + 1] =
                static_cast<std::uint8_t>(octets[index + 1] | (value >> (8 - shift)));
        }
    }
    return octets;
}

std::vector<std::uint8_t> unpack_septets(const std::vector<std::uint8_t>& octets, std::size_t first,
                                         std::size_t count) {
    std::vector<std::uint8_t> septets;
    septets.reserve(count);
    for (std::size_t k = first; k < first + count; ++k) {
        const std::size_t bit = k * 7;
        const std::size_t index = bit / 8;
        const std::size_t shift = bit % 8;
        const bool spills = shift > 1;
        if (index >= octets.size() || (spills && index + 1 >= octets.size())) {
            break;
        }
        unsigned value = octets[index] >> shift;
        if (spills) {
            value |= static_cast<unsigned>(octets[index + 1]) << (8 - shift);
        }
        septets.push_back(static_cast<std::uint8_t>(value & 0x7F));
    }
    return septets;
}
