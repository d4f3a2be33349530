#include "tools/phonesim/Charset.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// Continuation bytes a UTF-8 lead byte announces; 0 for ASCII and for bytes that cannot lead.
std::size_t ContinuationBytes(unsigned char lead) {
    if (lead >= 0xC2 && lead < 0xE0)
        return 1;
    if (lead >= 0xE0 && lead < 0xF0)
        return 2;
    if (lead >= 0xF0 && lead < 0xF5)
        return 3;
    return 0;
}

// Decodes UTF-8; a malformed byte stands for itself (Latin-1), so nothing is lost or overrun.
std::vector<std::uint32_t> CodePoints(const std::string& utf8) {
    std::vector<std::uint32_t> points;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t extra = ContinuationBytes(lead);
        std::uint32_t point = lead & (0xFFU >> (extra == 0 ? 0 : extra + 2));
        bool valid = i + extra < utf8.size();
        for (std::size_t k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0U) == 0x80U;
            point = (point << 6U) | (next & 0x3FU);
        }
        if (!valid) {
            points.push_back(lead);
            ++i;
            continue;
        }
        points.push_back(point);
        i += extra + 1;
    }
    return points;
}

void AppendUnit(std::string& out, std::uint32_t unit) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(unit & 0xFFFFU));
    out += hex;
}

} // namespace

bool IsKnownCharset(const std::string& name) {
    return name == "GSM" || name == "IRA" || name == "UCS2";
}

std::string EncodeText(const std::string& utf8, const std::string& charset) {
    if (charset != "UCS2")
        return utf8;
    std::string out;
    for (std::uint32_t point : CodePoints(utf8)) {
        if (point < 0x10000) {
            AppendUnit(out, point);
            continue;
        }
        point -= 0x10000;
        AppendUnit(out, 0xD800U + (point >> 10U));
        AppendUnit(out, 0xDC00U + (point & 0x3FFU));
    }
    return out;
}

namespace {

void AppendUtf8(std::string& out, std::uint32_t point) {
    if (point < 0x80U) {
        out += static_cast<char>(point);
    } else if (point < 0x800U) {
        out += static_cast<char>(0xC0U | (point >> 6U));
        out += static_cast<char>(0x80U | (point & 0x3FU));
    } else if (point < 0x10000U) {
        out += static_cast<char>(0xE0U | (point >> 12U));
        out += static_cast<char>(0x80U | ((point >> 6U) & 0x3FU));
        out += static_cast<char>(0x80U | (point & 0x3FU));
    } else {
        out += static_cast<char>(0xF0U | (point >> 18U));
        out += static_cast<char>(0x80U | ((point >> 12U) & 0x3FU));
        out += static_cast<char>(0x80U | ((point >> 6U) & 0x3FU));
        out += static_cast<char>(0x80U | (point & 0x3FU));
    }
}

} // namespace

std::optional<std::string> DecodeText(const std::string& text, const std::string& charset) {
    if (charset != "UCS2")
        return text;
    constexpr std::size_t kUnitDigits = 4;
    if (text.size() % kUnitDigits != 0)
        return std::nullopt;
    std::string out;
    std::uint32_t high = 0;
    for (std::size_t i = 0; i < text.size(); i += kUnitDigits) {
        unsigned unit = 0;
        for (std::size_t k = 0; k < kUnitDigits; ++k) {
            const char c = text[i + k];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (digit < 0)
                return std::nullopt;
            unit = unit * 16U + static_cast<unsigned>(digit);
        }
        if (unit >= 0xD800U && unit < 0xDC00U) {
            high = unit;
            continue;
        }
        if (unit >= 0xDC00U && unit < 0xE000U && high != 0)
            AppendUtf8(out, 0x10000U + ((high - 0xD800U) << 10U) + (unit - 0xDC00U));
        else
            AppendUtf8(out, unit);
        high = 0;
    }
    return out;
}
