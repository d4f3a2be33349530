#pragma once
// The message text as the send form counts it: in septets of the GSM 7-bit default alphabet (an
// extension character such as "€" takes two), and other texts in characters, never in UTF-8
// bytes. Pure functions, any thread.

#include <cstddef>
#include <string>
#include <string_view>

// Septets one message carries; "characters left" counts down from here.
inline constexpr int kSmsTextSeptets = 160;

// Number of characters (code points) of a UTF-8 text; a malformed byte counts as one.
std::size_t CharCount(std::string_view text);

// The longest head of text that fits maxSeptets septets; never cuts an extension character in
// half.
std::string CutToSeptets(std::string_view text, int maxSeptets);

// The length the form counts against 160: septets for a text the 7-bit alphabet carries,
// characters for one that must go as Unicode.
int SmsTextLength(std::string_view text);

// The longest head of text within maxLength as SmsTextLength counts.
std::string CutToSmsLength(std::string_view text, int maxLength);

// Each character of text that the 7-bit alphabet cannot carry (it would arrive as "?"), once,
// in order of first appearance; empty when all can be sent.
std::string UnsendableCharacters(std::string_view text);
