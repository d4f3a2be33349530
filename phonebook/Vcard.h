#pragma once
// The phonebook list as vCard files. Writing gives vCard 3.0 (RFC 2426, escaping as RFC 6350
// says): one card per row with FN and N (the name), TEL with TYPE=X-<FMT column>, and
// X-TELVANE-POS (the POS column); UTF-8, CRLF line ends, lines folded at 75 octets without
// splitting a character. Reading takes vCard 2.1, 3.0 and 4.0 in UTF-8 (with or without a byte
// order mark) or UTF-16 (with its byte order mark, or without: told by the zero bytes of the
// ASCII it begins with), lines ended by CRLF, LF or CR: folded
// lines, 2.1's QUOTED-PRINTABLE (soft line breaks included) with CHARSET UTF-8, ISO-8859-1,
// WINDOWS-1252 or US-ASCII, groups ("item1.TEL"), "tel:" URIs; one row per TEL of a card. Pure
// functions.

#include "phonebook/IPhonebookForm.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The largest file the reader takes: far beyond any phone's phonebook.
inline constexpr std::size_t kMaxVcardFileSize = 16U * 1024U * 1024U;

std::string WriteVcards(std::span<const PhonebookRow> rows);

struct VcardError {
    int line = 0; // 1-based line of the file where reading failed
    std::string message;
};

struct VcardReadResult {
    // With no error: a row per TEL in file order, "NEW" in POS, the name (FN, else N's parts),
    // the number as written (a "tel:" URI percent-decoded, without scheme, parameters and '-',
    // '.', '(', ')'),
    // and in FMT the TYPE's X- value when the card
    // has one (as written by WriteVcards), else "International" for a number starting with '+'
    // and "National" for any other - as a row added by hand gets. With an error: no rows.
    std::vector<PhonebookRow> rows;
    std::optional<VcardError> error;
    int skippedCards = 0; // cards without a telephone number: no row for them
};

// Fails, with the line, on text that is not a vCard, a property line without ':', a version
// other than 2.1, 3.0 or 4.0, an unknown CHARSET, a card never ended, or a file larger than
// kMaxVcardFileSize. A card without a telephone number is skipped and counted.
VcardReadResult ReadVcards(std::string_view text);
