#pragma once
// The text rules a record set keeps on either engine.

#include <string>
#include <string_view>

// Cuts a UTF-8 text after its 255th character, never inside one.
std::string Truncated(std::string_view text);

// The LIKE pattern (escape '\') that matches exactly value: its wildcards and the escape made
// literal.
std::string LiteralPattern(std::string_view value);

// Equal but for the case of ASCII letters.
bool EqualNoCase(std::string_view a, std::string_view b);
