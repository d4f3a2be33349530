#pragma once
// What the fuzz targets share: a check that stops the run on a broken promise (libFuzzer then
// keeps the input), and the input as text and as lines.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline void FuzzRequire(bool condition) {
    if (!condition)
        __builtin_trap();
}

inline std::string_view FuzzText(const std::uint8_t* data, std::size_t size) {
    // libFuzzer hands bytes; every parser here takes them as text.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at line feeds, carriage returns removed: the lines as the store would hold them
// (empty ones included; the store drops those itself).
inline std::vector<std::string> FuzzLines(std::string_view text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back().push_back(c);
    }
    return lines;
}
