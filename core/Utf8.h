#pragma once
// UTF-8 reading and writing, for the codec and every other layer: texts are UTF-8 throughout.

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Reads the code point at pos and moves pos past it. A malformed or overlong sequence, an
// encoded surrogate or a value past U+10FFFF gives kReplacementChar and moves one byte on.
// pos must be below text.size().
char32_t next_code_point(std::string_view text, std::size_t& pos);

// Appends cp as UTF-8; a surrogate or a value past U+10FFFF is written as kReplacementChar.
void append_utf8(std::string& out, char32_t cp);

// The text with each byte that is no part of well-formed UTF-8 replaced by U+FFFD.
std::string valid_utf8(std::string_view text);

// True when text is well-formed UTF-8 (U+FFFD written out counts as a character like any other).
bool is_utf8(std::string_view text);
