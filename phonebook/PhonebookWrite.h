#pragma once
// Writing and erasing phonebook positions of the SIM ("SM") or the phone ("ME") with AT+CPBW
// (3GPP TS 27.007 8.14), in the character set the read uses: UCS2 when the phone offers it
// (the set it had is put back afterwards), else the phone's own. Each call runs its exchanges on
// the calling thread; the caller holds the port.

#include "phonebook/IPhonebookForm.h"
#include "serial/CModemSession.h"

#include <string>
#include <vector>

struct PhonebookEntry {
    int position = 0;
    std::string number; // "+" first for an international number
    std::string name;   // UTF-8
};

struct PhonebookWriteReport {
    int written = 0;
    std::vector<int> failedPositions; // in the order tried
    std::string firstFailure;         // the command and the phone's answer of the first one
    bool memorySelected = false;      // false: AT+CPBS was refused, nothing was written
};

// "SM" or "ME" for the memories a phone holds (Dbase is none of them).
std::string_view PhonebookMemoryName(PhonebookMemory memory);

// The AT+CPBW line for an entry in `charset` (a name under UCS2 as hex, four digits a UTF-16
// unit); an empty name and number erase the position.
std::string PhonebookWriteCommand(const PhonebookEntry& entry, std::string_view charset);

// Writes the entries to the memory, one AT+CPBW each, and says how many went.
PhonebookWriteReport WritePhonebookEntries(CModemSession& session, PhonebookMemory memory,
                                           const std::vector<PhonebookEntry>& entries);
// Erases one position.
PhonebookWriteReport ErasePhonebookEntry(CModemSession& session, PhonebookMemory memory,
                                         int position);
