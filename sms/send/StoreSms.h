#pragma once
// "Store" on Write SMS: the composed message goes into the phone's memory instead of out, each
// part as the send would build it, with "AT+CMGW=<length>,2" ("stored unsent", 3GPP TS 27.005
// 3.5.3) and its PDU after the phone's "> " prompt. The phone keeps it in its <mem2> memory and
// answers the index ("+CMGW: <index>").
//
// Runs on the calling thread, which holds the port (CSendSmsWorker::StartStore).

#include "core/MessageSink.h"
#include "serial/CModemSession.h"
#include "sms/send/SendSms.h"
#include "sms/send/SubmitPdu.h"

#include <optional>
#include <string>
#include <vector>

struct StoreReport {
    int parts = 0;
    int failedPart = 0; // 0 when every part was stored
    SendOutcome outcome = SendOutcome::SentOk;
    std::vector<int> indexes; // the index of each part stored; kNoReference when not told
    std::string memory;       // <mem2> as "AT+CPMS?" names it; empty when it did not say
    bool partsErased = false; // the parts stored before the failure were erased again
};

// Stores the parts in order; the first that fails ends it, and the parts stored before it are
// erased again (in <mem2>, <mem1> put back afterwards), so that no half message stays.
// Asks nothing: the parts are built already.
StoreReport StoreSubmitParts(CModemSession& session, const SubmitParts& parts, IMessageSink& sink);

// The index of a "+CMGW: <index>" answer; nothing without one.
std::optional<int> StoredIndex(const Reply& reply);
// <mem1> and <mem2> of a "+CPMS: <mem1>,<used>,<total>,<mem2>,..." answer; empty without them.
struct StorageMemories {
    std::string read;
    std::string write;
};
StorageMemories ChosenMemories(const Reply& reply);

// Where the message went ("Stored in SM at 5", "Stored in SM at 5, 6, 7"), or which part was not
// stored and why ("Part 2 of 3 not stored: Error; part 1 stored in SM at 5", or "...; part 1
// erased again").
std::string StoreNote(const StoreReport& report);
