#pragma once
// The service's inbox: every message stored in either memory, read in one exchange per memory,
// archived once (the received-key table remembers what was), and erased from the phone only
// after its row is committed (never with --keep, never one that did not decode). The parts of
// a long message are handed on as one message once all are in, or with what came after the
// part time-out. Main thread only; the caller holds the port.

#include "cli/ServeHook.h"
#include "db/ReceivedKeyTable.h"
#include "sms/ISmsReadForm.h"
#include "sms/SmsRecord.h"

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

class CDaoDatabase;
class CModemSession;
class IMessageSink;

// The parts of long messages until all are in.
class PartCollector {
public:
    using Clock = std::chrono::steady_clock;
    explicit PartCollector(Clock::duration timeout) : partTimeout(timeout) {}

    // The message this record completes (at once for a message of one part).
    std::optional<HookMessage> Add(const SmsRecord& record, std::int64_t archiveId,
                                   Clock::time_point now);
    // The incomplete messages whose first part came longer than the time-out ago.
    std::vector<HookMessage> Expired(Clock::time_point now);
    std::size_t Pending() const { return pending.size(); }

private:
    struct Parts {
        Clock::time_point first;
        std::map<int, std::pair<SmsRecord, std::int64_t>> parts; // by part number
        int expected = 1;
    };
    static HookMessage Joined(const Parts& parts);

    Clock::duration partTimeout;
    std::map<std::tuple<std::string, int, int>, Parts> pending; // sender, reference, parts
};

struct ServeInboxSetup {
    CDaoDatabase& database;
    IMessageSink& sink;
    bool keep = false;
    std::function<void(const HookMessage&)> complete; // each complete message, archived
    std::string modem{}; // who takes the messages: the IMEI, else the port
};

class ServeInbox {
public:
    ServeInbox(ServeInboxSetup setup, std::chrono::seconds partTimeout);

    // Both memories; false when the phone refused a listing.
    bool Sweep(CModemSession& session);
    // A message the phone pushed without storing it: archived once (and handed on) like a
    // stored one; false while the database refuses it (the caller keeps it and tries again).
    bool ArchivePushed(const std::string& pdu);
    // Hands on the long messages waiting too long for their parts.
    void ExpireParts();
    int Archived() const { return archived; }
    // The database refused the last message it was given (locked, full, broken): what is on
    // the phone stays there until a sweep stores it.
    bool DatabaseRefusing() const { return refusing; }

private:
    bool SweepMemory(CModemSession& session, SmsMemory memory);
    // Archives the message unless it was; true when it is in the archive.
    bool Archive(const StoredSms& stored, const SmsRecord& record);
    void KnownBefore(const std::string& where, std::int64_t id) const;
    // Logged once until the database takes a message again.
    void DatabaseRefused(const std::string& where, const std::string& why);
    void DatabaseTakesRows();

    ServeInboxSetup setup;
    ReceivedKeyTable keys;
    PartCollector collector;
    int archived = 0;
    bool refusing = false;
};
