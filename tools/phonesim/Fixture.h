#pragma once
// What the simulated phone holds: its message memories, its phonebooks, and the canned replies
// of the fixture file. The fixture is plain text, one item per line, '#' starts a comment:
//
//   sms <SM|ME> <index> <stat 0-3> <pdu hex including the SCA field>
//   phonebook <SM|ME> <index> <type> "<number>" "<name>"
//   range <SM|ME> <first> <last>      phonebook positions; default 1 250
//   capacity <SM|ME> <total>          message slots; default 30
//   reply <command-prefix> <line>|<line>|...
//   silent
//   cmee <0|1|2>                      +CMEE mode at start and after ATZ; default 0
//   vanish <command-prefix>           the phone goes away (closes its line) on such a command;
//                                     "vanish PDU": once it has taken a PDU, before its answer
//   arrive <ms> [<pdu hex>]           a message arrives <ms> after the start (without a PDU:
//                                     "New message <n>" from kArrivalSender)
//   report <delay-ms> <status hex>    a SUBMIT with TP-SRR is answered by a status report this
//                                     long after it, with this TP-ST; default 1000 00 (delivered)

#include <map>
#include <string>
#include <string_view>
#include <vector>

// The prefix of "vanish" that stands for the PDU after a prompt.
inline constexpr std::string_view kVanishAfterPdu = "PDU";

// Message storage status as +CMGR/+CMGL report it in PDU mode (3GPP TS 27.005 3.1 <stat>).
enum class SmsStat { RecUnread = 0, RecRead = 1, StoUnsent = 2, StoSent = 3 };

struct StoredSms {
    SmsStat stat = SmsStat::RecUnread;
    std::string pdu; // upper- or lower-case hex, SCA field included
};

struct SmsMemory {
    int capacity = 30;
    std::map<int, StoredSms> messages; // by index, 1 .. capacity
};

struct PhonebookEntry {
    std::string number;
    int type = 129;
    std::string name;
};

struct PhonebookMemory {
    int first = 1;
    int last = 250;
    std::map<int, PhonebookEntry> entries; // by position, first .. last
};

// The two memories every part of the simulator knows.
enum class Storage { SM, ME };

struct ReplyRule {
    std::string prefix;             // matched against the command line as received
    std::vector<std::string> lines; // each sent framed by CR LF
};

struct TimedArrival {
    long afterMs = 0;
    std::string pdu; // empty: a generated message
};

// Who the generated messages come from.
inline constexpr const char* kArrivalSender = "+31612345678";

struct Fixture {
    SmsMemory smsSm;
    SmsMemory smsMe;
    PhonebookMemory phonebookSm;
    PhonebookMemory phonebookMe;
    std::vector<ReplyRule> replies; // first match wins
    bool silent = false;
    int cmee = 0;
    std::vector<std::string> vanishOn; // command prefixes
    std::vector<TimedArrival> arrivals;
    int reportDelayMs = 1000;
    int reportStatus = 0; // TP-ST of the reports, 3GPP TS 23.040 9.2.3.15

    SmsMemory& Sms(Storage storage) { return storage == Storage::SM ? smsSm : smsMe; }
    PhonebookMemory& Phonebook(Storage storage) {
        return storage == Storage::SM ? phonebookSm : phonebookMe;
    }
};

// Longest number and name a phonebook entry may hold (what +CPBR=? reports).
inline constexpr int kNumberLength = 40;
inline constexpr int kNameLength = 30;
// Largest message capacity and phonebook position the fixture accepts.
inline constexpr int kMaxCapacity = 1000;
inline constexpr int kMaxPosition = 9999;

// Parses fixture text into `fixture` (which keeps its defaults for what the text does not set).
// On a fault returns false and sets `error` to "line N: what is wrong".
bool ParseFixture(const std::string& text, Fixture& fixture, std::string& error);

// "SM" / "ME" (any case, with or without quotes) to a storage; false for anything else.
bool ParseStorage(const std::string& text, Storage& storage);
const char* StorageName(Storage storage);
