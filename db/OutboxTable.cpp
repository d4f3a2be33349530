#include "db/OutboxTable.h"

#include "db/CDaoDatabase.h"
#include "db/OwnTableWrite.h"
#include "db/PgOutboxTable.h"

#include <sqlite3.h>

namespace {

constexpr const char* kCreate =
    "CREATE TABLE IF NOT EXISTS SMS_Outbox (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Recipient TEXT NOT NULL CHECK (length(Recipient) BETWEEN 1 AND 255), "
    "Text TEXT NOT NULL DEFAULT '', Options TEXT NOT NULL DEFAULT '', "
    "State TEXT NOT NULL DEFAULT 'new' "
    "CHECK (State IN ('new', 'sending', 'sent', 'failed', 'uncertain')), "
    "Tries INTEGER NOT NULL DEFAULT 0, CreatedTime TEXT DEFAULT (datetime('now', 'localtime')), "
    "LastTryTime TEXT, NextTryTime TEXT, SentTime TEXT, "
    "Reference INTEGER CHECK (Reference BETWEEN 0 AND 255), Error TEXT NOT NULL DEFAULT '', "
    "Delivery TEXT NOT NULL DEFAULT '', PartReferences TEXT NOT NULL DEFAULT ''); "
    // The service looks for due rows by state several times a second: without it each look
    // reads the whole table, sent rows and all.
    "CREATE INDEX IF NOT EXISTS SMS_Outbox_State ON SMS_Outbox (State, ID)";

constexpr const char* kColumns =
    "SELECT ID, Recipient, Text, Options, State, Tries, CreatedTime, LastTryTime, NextTryTime, "
    "SentTime, Reference, Error, Delivery, PartReferences FROM SMS_Outbox ";

// How long a write waits for another program's transaction on the same file.
constexpr int kBusyMilliseconds = 5000;

OutboxRecord ReadRecord(sqlite3_stmt* row) {
    OutboxRecord record;
    record.id = sqlite3_column_int64(row, 0);
    record.recipient = ColumnString(row, 1);
    record.text = ColumnString(row, 2);
    record.options = ColumnString(row, 3);
    record.state = ColumnString(row, 4);
    record.tries = sqlite3_column_int(row, 5);
    record.created = DbDateTime::FromIso(ColumnString(row, 6));
    record.lastTry = DbDateTime::FromIso(ColumnString(row, 7));
    record.nextTry = DbDateTime::FromIso(ColumnString(row, 8));
    record.sent = DbDateTime::FromIso(ColumnString(row, 9));
    if (sqlite3_column_type(row, 10) != SQLITE_NULL)
        record.reference = sqlite3_column_int(row, 10);
    record.error = ColumnString(row, 11);
    record.delivery = ColumnString(row, 12);
    record.partReferences = ColumnString(row, 13);
    return record;
}

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

// A table made before the parts' references were kept gets their column.
bool HasPartReferences(sqlite3* handle) {
    StatementPtr columns = Prepare(handle, "SELECT count(*) FROM pragma_table_info('SMS_Outbox') "
                                           "WHERE name = 'PartReferences'");
    if (!columns || sqlite3_step(columns.get()) != SQLITE_ROW)
        return false;
    return sqlite3_column_int(columns.get(), 0) > 0 ||
           Execute(handle,
                   "ALTER TABLE SMS_Outbox ADD COLUMN PartReferences TEXT NOT NULL DEFAULT ''");
}

// "12,13,14": each part's reference in order, "?" for one the phone did not tell.
std::string JoinedReferences(const std::vector<int>& references) {
    std::string joined;
    for (const int reference : references)
        joined += (joined.empty() ? "" : ",") +
                  (reference < 0 ? std::string("?") : std::to_string(reference));
    return joined;
}

bool StepDone(sqlite3_stmt* statement) {
    const bool done = statement != nullptr && sqlite3_step(statement) == SQLITE_DONE;
    if (statement != nullptr)
        sqlite3_reset(statement);
    return done;
}

} // namespace

OutboxTable::OutboxTable(CDaoDatabase* database) {
    if (database != nullptr)
        connection = database->Connection();
    if (connection && connection->IsServer())
        server = std::make_unique<PgOutboxTable>(connection);
    else if (connection)
        sqlite3_busy_timeout(connection->Handle(), kBusyMilliseconds);
}

OutboxTable::~OutboxTable() = default;

bool OutboxTable::Write(const std::function<bool(sqlite3*)>& write) {
    // The table, its index and its newest column are made once, at the first write.
    const bool stored = WriteOwnTable(
        connection, made ? "" : kCreate,
        [this, &write](sqlite3* handle) {
            return (made || HasPartReferences(handle)) && write(handle);
        },
        error);
    made = made || stored;
    return stored;
}

bool OutboxTable::Ensure() {
    if (server)
        return true; // made with the schema
    return Write([](sqlite3*) { return true; });
}

bool OutboxTable::Add(OutboxRecord& record) {
    if (server)
        return server->Add(record, error);
    return Write([&record](sqlite3* handle) {
        StatementPtr insert = Prepare(
            handle, "INSERT INTO SMS_Outbox (Recipient, Text, Options) VALUES (?1, ?2, ?3)");
        if (!insert)
            return false;
        BindText(insert.get(), 1, record.recipient);
        BindText(insert.get(), 2, record.text);
        BindText(insert.get(), 3, record.options);
        if (!StepDone(insert.get()))
            return false;
        record.id = sqlite3_last_insert_rowid(handle);
        record.state = outbox_state::kNew;
        return true;
    });
}

bool OutboxTable::Update(const std::string& set, std::int64_t id,
                         const std::function<void(sqlite3_stmt*)>& bind) {
    return Write([&](sqlite3* handle) {
        StatementPtr update = Prepare(handle, "UPDATE SMS_Outbox SET " + set + " WHERE ID = ?1");
        if (!update)
            return false;
        sqlite3_bind_int64(update.get(), 1, id);
        bind(update.get());
        return StepDone(update.get()) && sqlite3_changes(handle) == 1;
    });
}

bool OutboxTable::MarkSending(std::int64_t id, const DbDateTime& now) {
    if (server)
        return server->MarkSending(id, now, error);
    return Update("State = 'sending', Tries = Tries + 1, LastTryTime = ?2", id,
                  [&now](sqlite3_stmt* statement) { BindText(statement, 2, now.ToIso()); });
}

bool OutboxTable::MarkSent(std::int64_t id, const std::vector<int>& references,
                           const DbDateTime& when) {
    const std::string parts = JoinedReferences(references);
    const std::optional<int> first = !references.empty() && references.front() >= 0
                                         ? std::optional<int>(references.front())
                                         : std::nullopt;
    if (server)
        return server->MarkSent(id, first, parts, when, error);
    return Update("State = 'sent', SentTime = ?2, Reference = ?3, PartReferences = ?4, Error = ''",
                  id, [&](sqlite3_stmt* statement) {
                      BindText(statement, 2, when.ToIso());
                      if (first)
                          sqlite3_bind_int(statement, 3, *first);
                      else
                          sqlite3_bind_null(statement, 3);
                      BindText(statement, 4, parts);
                  });
}

bool OutboxTable::MarkRetry(std::int64_t id, const std::string& why, const DbDateTime& nextTry) {
    if (server)
        return server->MarkRetry(id, why, nextTry, error);
    return Update("State = 'new', Error = ?2, NextTryTime = ?3", id, [&](sqlite3_stmt* statement) {
        BindText(statement, 2, why);
        BindText(statement, 3, nextTry.ToIso());
    });
}

bool OutboxTable::MarkEnded(std::int64_t id, const char* state, const std::string& why) {
    if (server)
        return server->MarkEnded(id, state, why, error);
    return Update("State = ?3, Error = ?2", id, [&](sqlite3_stmt* statement) {
        BindText(statement, 2, why);
        BindText(statement, 3, state);
    });
}

bool OutboxTable::MarkFailed(std::int64_t id, const std::string& why) {
    return MarkEnded(id, outbox_state::kFailed, why);
}

bool OutboxTable::MarkUncertain(std::int64_t id, const std::string& why) {
    return MarkEnded(id, outbox_state::kUncertain, why);
}

bool OutboxTable::MarkNotHanded(std::int64_t id, const std::string& why) {
    if (server)
        return server->MarkNotHanded(id, why, error);
    return Update("State = 'new', Tries = max(Tries - 1, 0), NextTryTime = NULL, Error = ?2", id,
                  [&why](sqlite3_stmt* statement) { BindText(statement, 2, why); });
}

bool OutboxTable::RecordDelivery(int reference, const std::string& recipient,
                                 const std::string& delivery) {
    if (server)
        return server->RecordDelivery(reference, recipient, delivery, error);
    return Write([&](sqlite3* handle) {
        StatementPtr update = Prepare(
            handle, "UPDATE SMS_Outbox SET Delivery = ?3 WHERE ID = (SELECT max(ID) FROM "
                    "SMS_Outbox WHERE State = 'sent' AND Reference = ?1 AND Recipient = ?2)");
        if (!update)
            return false;
        sqlite3_bind_int(update.get(), 1, reference);
        BindText(update.get(), 2, recipient);
        BindText(update.get(), 3, delivery);
        return StepDone(update.get());
    });
}

int OutboxTable::MarkInterrupted() {
    if (server)
        return server->MarkInterrupted(error);
    int changed = -1;
    const bool written = Write([&changed](sqlite3* handle) {
        if (!Execute(handle, "UPDATE SMS_Outbox SET State = 'uncertain' WHERE State = 'sending'"))
            return false;
        changed = sqlite3_changes(handle);
        return true;
    });
    return written ? changed : -1;
}

std::vector<OutboxRecord> OutboxTable::Query(const std::string& where,
                                             const std::function<void(sqlite3_stmt*)>& bind) {
    std::vector<OutboxRecord> records;
    if (!connection)
        return records;
    StatementPtr query = Prepare(connection->Handle(), kColumns + where);
    if (!query)
        return records; // no table yet: nothing was ever queued
    bind(query.get());
    while (sqlite3_step(query.get()) == SQLITE_ROW)
        records.push_back(ReadRecord(query.get()));
    return records;
}

std::optional<OutboxRecord> OutboxTable::NextDue(const DbDateTime& now) {
    if (server)
        return server->NextDue(now, error);
    const std::string due = now.ToIso();
    std::vector<OutboxRecord> rows =
        Query("WHERE State = 'new' AND (NextTryTime IS NULL OR NextTryTime <= ?1) "
              "ORDER BY ID LIMIT 1",
              [&due](sqlite3_stmt* statement) { BindText(statement, 1, due); });
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}

bool OutboxTable::Listen() {
    return server && server->Listen(error);
}

void OutboxTable::SetClaimTime(std::chrono::seconds claim) {
    if (server)
        server->SetClaimTime(claim);
}

bool OutboxTable::NewQueued() {
    return server && connection->TakeNotices() > 0;
}

std::vector<OutboxRecord> OutboxTable::All() {
    if (server)
        return server->Select("ORDER BY id", {}, error);
    return Query("ORDER BY ID", [](sqlite3_stmt*) {});
}

std::optional<OutboxRecord> OutboxTable::Find(std::int64_t id) {
    if (server) {
        std::vector<OutboxRecord> rows =
            server->Select("WHERE id = $1::integer", {std::to_string(id)}, error);
        return rows.empty() ? std::nullopt : std::optional<OutboxRecord>(rows.front());
    }
    std::vector<OutboxRecord> rows = Query(
        "WHERE ID = ?1", [id](sqlite3_stmt* statement) { sqlite3_bind_int64(statement, 1, id); });
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}
