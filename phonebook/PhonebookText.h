#pragma once
// Text helpers of the phonebook. Lengths are counted in characters (UTF-8 code points), and a
// cut never splits a character.

#include <string>
#include <string_view>

// Removes the first and the last character of a text of 3 to 999 characters; any other text
// stays as it is. It does not look at what the two characters are.
void StripQuotes(std::string& text);

// The text cut to at most `limit` characters.
std::string CutToCharacters(std::string_view text, std::size_t limit);

// The leading decimal integer of `text`, as the C library reads it: blanks, then a sign, then
// digits up to the first other character; 0 without digits. Saturates at the int range.
int LeadingInt(std::string_view text);
