#pragma once
// "Store" under "SIM" or "Phone": the listed entries written to that memory. Which position
// each row goes to, the question asked first and the report after, as texts.

#include "phonebook/PhonebookWrite.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// A row read from the phone keeps its position; a row added by hand ("NEW") takes the lowest
// position no other row uses. A row without a number is left out.
std::vector<PhonebookEntry> EntriesToStore(std::span<const PhonebookRow> rows);

// "Write the 3 entries of the list to the SIM, positions 1 to 4?"
std::string StoreQuestion(const std::vector<PhonebookEntry>& entries, PhonebookMemory memory);
// "3 entries written to the SIM" or "2 of 3 entries written to the SIM; not written: positions
// 5 (+CME ERROR: 21)".
std::string StoreReport(const PhonebookWriteReport& report, std::size_t tried,
                        PhonebookMemory memory);
