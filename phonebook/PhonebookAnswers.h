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

// The range of a "+CPBR: (1-250),40,14" answer: the leading integer inside the first pair of
// brackets, and the one behind its "-". Without brackets both defaults stay; without "-" the
// upper default stays.
PhonebookRange ParsePhonebookRange(std::string_view line);
// The same, from the first stored line; the defaults for an empty store.
PhonebookRange ParsePhonebookRange(serialdata& store);

// The row of one "+CPBR: <pos>,"<number>",<type>,"<name>"" line: position as sent (a blank after
// the colon stays), number and name without their enclosing characters, type as sent; the name
// is everything behind the third comma, commas included. A line with fewer commas gives the
// fields before the missing one. Nothing when the line is no +CPBR line or has no comma at all.
std::optional<PhonebookRow> ParsePhonebookLine(std::string_view line);

// The rows of every +CPBR line of the store, in arrival order. Holds the store's lock only while
// it copies them out.
std::vector<PhonebookRow> CollectPhonebookRows(serialdata& store);

// Inserts each row of the store's +CPBR lines into the list at `counter` (below 0 counts as 0;
// past the end appends). The form is called after the store's lock has been let go. With a
// charset, names and numbers are first turned from it into UTF-8 (PhonebookCharset.h).
void AddPhonebookRows(serialdata& store, IPhonebookForm& form, int counter,
                      std::string_view charset = {});
