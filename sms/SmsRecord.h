#pragma once
// A stored message decoded into plain fields for programs to read: where it is stored, what it
// is, who it is from or to, when, its text and how that was coded, and the place of a part in a
// long message. A PDU that does not decode keeps its raw text and says why in `error`.

#include "sms/ISmsReadForm.h"
#include "sms/StoredSms.h"

#include <functional>
#include <optional>
#include <string>

struct SmsRecord {
    std::string memory;          // "SM" or "ME"
    int index = 0;               // the storage position
    std::string status;          // "unread", "read", "unsent", "sent", or the number for others
    std::string type;            // "deliver", "submit", "status_report", "" when undecoded
    std::string number;          // the sender of a received message, the recipient of a sent one
    std::string name;            // the phonebook's name for the number, "" when none
    std::string smsc;            // the service centre the PDU names, "" when it names none
    std::string time;            // ISO 8601 with zone offset; "" for a message without a time
    std::string text;            // UTF-8
    std::string coding;          // "gsm7", "8bit", "ucs2"
    std::optional<int> msgClass; // 0-3 when the coding scheme names a class
    std::optional<int> part;     // 1-based place in a long message
    std::optional<int> parts;
    std::optional<int> reference; // the long message's concatenation reference
    std::string error;            // why the PDU did not decode; "" when it did
    std::string pdu;              // the PDU line as the phone gave it
};

// The phonebook's name for a number ("" for none).
using NameLookup = std::function<std::string(const std::string& number)>;

// The status word of a <stat> (3GPP TS 27.005 3.1).
std::string SmsStatusName(int status);

// "YYYY-MM-DDThh:mm:ss+hh:mm" from the 14 characters of a service-centre time stamp; years
// 00-69 are read as 20xx, 70-99 as 19xx. "" when the text is not 14 decimal digits.
std::string IsoTime(std::string_view scts);

// Decodes the message; `lookup` may be empty.
SmsRecord DecodeStoredSms(const StoredSms& stored, SmsMemory memory, const NameLookup& lookup);
