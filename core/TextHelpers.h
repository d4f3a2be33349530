#pragma once
// Small text helpers of the line store and of everything that takes stored lines, settings or
// form texts apart. Counts are in bytes, as the modem sends them, except CutToCharacters.

#include <string>
#include <string_view>

// Index of the first `ch` in `text`, or -1.
int FindChar(std::string_view text, char ch);

// The first n characters of source (all of it when shorter); n < 1 gives an empty text.
std::string CopyHead(std::string_view source, int n);
void CopyHead(std::string& destination, std::string_view source, int n);

// The last n characters of source (all of it when shorter); n < 1 gives an empty text.
std::string CopyTail(std::string_view source, int n);
void CopyTail(std::string& destination, std::string_view source, int n);

// Removes every carriage return and line feed, keeping the other characters in order.
void StripLineEnd(std::string& line);

// The first `limit` characters of a UTF-8 text (all of it when shorter), never cut inside a
// character.
std::string CutToCharacters(std::string_view text, std::size_t limit);
