#pragma once
// Text folded for searching as people expect: ASCII and the Latin, Greek and Cyrillic letters in
// lower case and without accents ("Città" and "CITTA" both fold to "citta", "Straße" to
// "strasse"). Other characters stay as they are; a malformed UTF-8 byte becomes U+FFFD.

#include <string>
#include <string_view>

std::string FoldForSearch(std::string_view text);
// Appends the folded text to out (no allocation when out has room).
void AppendFolded(std::string& out, std::string_view text);
