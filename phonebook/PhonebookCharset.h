#pragma once
// The character set of a phonebook read (3GPP TS 27.007 5.5 +CSCS): what the phone answers
// about it, and the names and numbers it writes in it turned into UTF-8.

#include "phonebook/IPhonebookForm.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kUcs2Charset = "UCS2";

// The set of a "+CSCS: "<chset>"" line; nothing when no line names one.
std::optional<std::string> ParseCharsetAnswer(const std::vector<std::string>& lines);

// True when a "+CSCS: (...)" line lists "UCS2".
bool OffersUcs2(const std::vector<std::string>& lines);

// A name as the phone wrote it in `charset`, as UTF-8. UCS2: hex digits, four per UTF-16 unit
// (surrogate pairs joined); a text that is not such hex stays as it is. Any other set: valid
// UTF-8 stays as it is; otherwise the bytes are read as the set says - "GSM" the default
// alphabet (escape sequences included), "IRA" ASCII ("?" for the rest), Latin-1 for "8859-1"
// and any set not known here.
std::string DecodePhonebookName(std::string_view text, std::string_view charset);

// A number: under UCS2 decoded as a name is, but only when every character then is one a
// number holds (digits, "+", "*", "#", "p", "w"), so that a number the phone sends plainly is
// never read as hex; under any other set as a name.
std::string DecodePhonebookNumber(std::string_view text, std::string_view charset);

// Decodes the name and number of a row.
void DecodePhonebookRow(PhonebookRow& row, std::string_view charset);
