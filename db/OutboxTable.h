#pragma once
// SMS_Outbox, the table of the program's own that any program may insert into: one row per
// message to send, picked by the service in ID order. States: "new" (waiting, or waiting again
// after a failed try until NextTryTime), "sending" (handed to the phone), "sent", "failed"
// (given up, Error says why) and "uncertain" (a send under way when the service stopped: it may
// or may not have gone, and is never sent again by itself). Made with the schema, or on an
// older file at its first use. Every write is a transaction of its own. On a server database
// several services share it: see PgOutboxTable.h.

#include "db/DaoConnection.h"
#include "db/DbDateTime.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDaoDatabase;
class PgOutboxTable;

inline constexpr const char* kOutboxTable = "SMS_Outbox";

namespace outbox_state {
inline constexpr const char* kNew = "new";
inline constexpr const char* kSending = "sending";
inline constexpr const char* kSent = "sent";
inline constexpr const char* kFailed = "failed";
inline constexpr const char* kUncertain = "uncertain";
} // namespace outbox_state

struct OutboxRecord {
    std::int64_t id = 0; // assigned when stored
    std::string recipient;
    std::string text;
    std::string options; // words as the send command takes them, e.g. "--report --class 1"
    std::string state = outbox_state::kNew;
    int tries = 0;
    std::optional<DbDateTime> created;
    std::optional<DbDateTime> lastTry;
    std::optional<DbDateTime> nextTry;
    std::optional<DbDateTime> sent;
    std::optional<int> reference; // TP-MR of the first part (the only one of a short message)
    std::string error;
    std::string delivery;       // what the status reports said of the message, in words
    std::string partReferences; // every part's TP-MR in order: "12,13,14" ("?": not told)
};

class OutboxTable {
public:
    explicit OutboxTable(CDaoDatabase* database);
    ~OutboxTable();
    OutboxTable(const OutboxTable&) = delete;
    OutboxTable& operator=(const OutboxTable&) = delete;

    // Makes the table when the file has none yet; false when that failed.
    bool Ensure();
    // Stores a new row (state "new", created now); its id is set.
    bool Add(OutboxRecord& record);
    // The oldest "new" row whose next try is due at `now`.
    std::optional<OutboxRecord> NextDue(const DbDateTime& now);
    // The row is being handed to the phone: state "sending", one more try, last try now.
    bool MarkSending(std::int64_t id, const DbDateTime& now);
    // Sent, with the references the phone gave the parts (kept in order; -1: not told).
    bool MarkSent(std::int64_t id, const std::vector<int>& references, const DbDateTime& when);
    // Back to "new", to be tried again at nextTry, with what went wrong.
    bool MarkRetry(std::int64_t id, const std::string& error, const DbDateTime& nextTry);
    bool MarkFailed(std::int64_t id, const std::string& error);
    // Not one PDU reached the phone: back to "new", due at once, the try not counted.
    bool MarkNotHanded(std::int64_t id, const std::string& error);
    // It may have gone: "uncertain", never sent again by itself.
    bool MarkUncertain(std::int64_t id, const std::string& error);
    // The newest sent row whose first part had this reference and recipient takes the words.
    bool RecordDelivery(int reference, const std::string& recipient, const std::string& delivery);
    // Every row still "sending" becomes "uncertain"; how many did (-1 on failure).
    int MarkInterrupted();
    std::vector<OutboxRecord> All();
    // On a server database: from Listen on, NewQueued tells (without waiting) whether rows were
    // queued since it last asked, so a service need not wait for its next look. False on a file.
    bool Listen();
    bool NewQueued();
    // On a server database: how long a row this service takes stays its own (120 s unless set).
    void SetClaimTime(std::chrono::seconds claim);
    std::optional<OutboxRecord> Find(std::int64_t id);

    const std::string& ErrorText() const { return error; }

private:
    std::vector<OutboxRecord> Query(const std::string& where,
                                    const std::function<void(sqlite3_stmt*)>& bind);
    bool Write(const std::function<bool(sqlite3*)>& write);
    // Failed or uncertain, with why.
    bool MarkEnded(std::int64_t id, const char* state, const std::string& why);
    bool Update(const std::string& set, std::int64_t id,
                const std::function<void(sqlite3_stmt*)>& bind);

    std::shared_ptr<DaoConnection> connection;
    std::unique_ptr<PgOutboxTable> server; // on a server database, shared by several services
    std::string error;
    bool made = false; // the table and its index are on the file
};
