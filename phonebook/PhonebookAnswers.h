#pragma once
// The phone's phonebook answers (3GPP TS 27.007 +CPBR) turned into list rows and a position
// range, as the read worker needs them.

#include "phonebook/IPhonebookForm.h"

#include <optional>
#include <string_view>
#include <vector>

struct serialdata;

struct PhonebookRange {
    int lower = 0;
    int upper = 100;
};

// The range of a "+CPBR: (1-250),40,14" answer: the first field, read behind the line's first
// ':', is a list holding the range "lower-upper". A lone number is the lower bound and the upper
// default stays; anything else (no brackets, no closing bracket, no numbers) keeps both defaults.
PhonebookRange ParsePhonebookRange(std::string_view line);
// The same, from the first stored line; the defaults for an empty store.
PhonebookRange ParsePhonebookRange(serialdata& store);

// The row of one "+CPBR: <pos>,"<number>",<type>,"<name>"" line: position as sent (a blank after
// the colon stays), number and name without their quotes (an unquoted one as sent), type as
// sent; commas inside the quotes are part of a field, and fields some phones add behind the
// name (a date, a group) are left out. A line cut short gives the fields a comma ends and
// nothing behind them. Nothing when the line is no +CPBR line or no comma ends its position.
std::optional<PhonebookRow> ParsePhonebookLine(std::string_view line);

// The rows of every +CPBR line of the store, in arrival order. Holds the store's lock only while
// it copies them out.
std::vector<PhonebookRow> CollectPhonebookRows(serialdata& store);

// Inserts each row of the store's +CPBR lines into the list at `counter` (below 0 counts as 0;
// past the end appends) and gives the rows inserted. The form is called after the store's lock
// has been let go. With a charset, names and numbers are first turned from it into UTF-8
// (PhonebookCharset.h).
std::vector<PhonebookRow> AddPhonebookRows(serialdata& store, IPhonebookForm& form, int counter,
                                           std::string_view charset = {});

// One entry a read from the phone found, and the read's entry counter when it came: the list
// position the window gave it.
struct PhonebookReadEntry {
    int counter = 0;
    PhonebookRow row;
};

// The entries in the order the list shows them after the read, on a list empty before it: each
// inserted at its counter (below 0 at the top), or appended where the list is shorter - so the
// later lines of one answer land above the earlier ones once the list reaches that far.
std::vector<PhonebookRow> PhonebookListRows(const std::vector<PhonebookReadEntry>& entries);
