#pragma once
// The messages a phone memory holds, by their storage position (3GPP TS 27.005 3.4-3.5): select
// a memory (+CPMS), list every position in one exchange (+CMGL=4), read one (+CMGR), delete one
// or all (+CMGD). Each call is one exchange on the calling thread; the caller holds the port.

#include "serial/CModemSession.h"
#include "sms/ISmsReadForm.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One stored message as the phone answered it: its position, its <stat> and its PDU line.
struct StoredSms {
    int index = 0;
    int status = 0;
    std::string pdu;
};

// "SM" or "ME".
std::string_view SmsMemoryName(SmsMemory memory);

// AT+CPMS="SM" or "ME": the memory the other calls then read and delete in.
Reply SelectSmsMemory(CModemSession& session, SmsMemory memory);

// The "+CMGL:" groups of an answer (header, then its PDU line), sorted by position. A header
// that is not "+CMGL: <index>,<stat>,..." or has no line after it is left out and counted.
struct StoredSmsList {
    std::vector<StoredSms> messages;
    int malformed = 0;
};
StoredSmsList ParseStoredSmsList(const std::vector<std::string>& lines);

// AT+CMGL=4: every message of the selected memory, in one exchange.
Reply ListStoredSms(CModemSession& session, StoredSmsList& list);

// AT+CMGR=<index>. `found` holds the message when the phone answered one; an empty position
// answered OK (as most phones do) leaves it empty.
Reply ReadStoredSms(CModemSession& session, int index, std::optional<StoredSms>& found);
// The message in the answer lines of AT+CMGR=<index>: "+CMGR: <stat>,..." and its PDU line.
std::optional<StoredSms> ParseStoredSms(const std::vector<std::string>& lines, int index);

// AT+CMGD=<index>, and AT+CMGD=1,4 for every message of the memory.
Reply DeleteStoredSms(CModemSession& session, int index);
Reply DeleteAllStoredSms(CModemSession& session);
