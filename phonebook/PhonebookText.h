#pragma once
// Text helpers of the phonebook. Lengths are counted in characters (UTF-8 code points), and a
// cut never splits a character.

#include <string>
#include <string_view>

// Removes the first and the last character of a text of 3 to 999 characters; any other text
// stays as it is. It does not look at what the two characters are.
void StripQuotes(std::string& text);
