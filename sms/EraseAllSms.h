#pragma once
// "Erase all SMS on phone": empties the message memory chosen under "Read SMS From". With the
// delete-all flag where the phone offers it ("AT+CMGD=1,4", 3GPP TS 27.005 3.5.4), else one
// position at a time: the used positions "AT+CMGD=?" lists, or every position of the memory when
// it lists none. The memory must already be the phone's <mem1> (its "AT+CPMS" sent).
//
// Runs on the calling thread (a task holding the port); the progress bar and "Stop current task"
// work as in a read.

#include "serial/CModemSession.h"
#include "sms/ISmsReadForm.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What "+CMGD: (<used indexes>),(<delflags>)" offers; nothing known from an answer without it.
struct DeleteOffer {
    std::optional<std::vector<int>> used;
    bool deleteAll = false; // <delflag> 4 listed
};
DeleteOffer ParseDeleteOffer(const Reply& reply);

struct EraseOutcome {
    bool allAtOnce = false;   // the delete-all flag did it
    bool stopped = false;     // "Stop current task" ended the walk
    std::vector<int> refused; // used positions the phone did not erase
};

// Erases the memory's messages; `capacity` bounds the walk over every position, `stopAsked` is
// tested before each one.
EraseOutcome EraseStoredSms(CModemSession& session, ISmsReadForm& form, int capacity,
                            const std::function<bool()>& stopAsked);

// The memory's name as the radio button shows it, with its code: "SIM (SM)", "ME (ME)".
std::string MemoryName(SmsMemory memory);
// The question asked before anything is erased.
std::string EraseQuestion(SmsMemory memory, int count);
// The status-bar line once it has run: how many went, how many are left, and why.
std::string EraseNote(SmsMemory memory, int before, std::optional<int> after,
                      const EraseOutcome& outcome);
// The message slots of a "+CPMS: <used>,<total>,..." line; nothing without them.
std::optional<int> MemoryCapacity(std::string_view cpmsLine);
