#include "db/ReceivedKeyTable.h"

#include "db/CDaoDatabase.h"

#include <algorithm>
#include <cctype>
#include <sqlite3.h>

namespace {

constexpr const char* kCreate = "CREATE TABLE IF NOT EXISTS SMS_ReceivedKey (Key TEXT PRIMARY KEY, "
                                "ArchiveID INTEGER NOT NULL, "
                                "ArchivedTime TEXT DEFAULT (datetime('now', 'localtime')))";

// Phones differ in the case of their hex digits only.
std::string KeyOf(const std::string& pdu) {
    std::string key = pdu;
    std::ranges::transform(key, key.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
}

void BindKey(sqlite3_stmt* statement, const std::string& key) {
    sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

std::int64_t KnownId(sqlite3* handle, const std::string& key) {
    StatementPtr query = Prepare(handle, "SELECT ArchiveID FROM SMS_ReceivedKey WHERE Key = ?1");
    if (!query)
        return 0; // no table yet: nothing was archived by the service
    BindKey(query.get(), key);
    return sqlite3_step(query.get()) == SQLITE_ROW ? sqlite3_column_int64(query.get(), 0) : 0;
}

bool StoreKey(sqlite3* handle, const std::string& key, std::int64_t archiveId) {
    if (!Execute(handle, kCreate))
        return false;
    StatementPtr insert =
        Prepare(handle, "INSERT INTO SMS_ReceivedKey (Key, ArchiveID) VALUES (?1, ?2)");
    if (!insert)
        return false;
    BindKey(insert.get(), key);
    sqlite3_bind_int64(insert.get(), 2, archiveId);
    return sqlite3_step(insert.get()) == SQLITE_DONE;
}

} // namespace

ReceivedKeyTable::ReceivedKeyTable(CDaoDatabase* database) {
    if (database != nullptr)
        connection = database->Connection();
}

ReceivedKeyTable::~ReceivedKeyTable() = default;

std::int64_t ReceivedKeyTable::ArchiveIdOf(const std::string& pdu) {
    return connection ? KnownId(connection->Handle(), KeyOf(pdu)) : 0;
}

ArchivedOnce ReceivedKeyTable::ArchiveOnce(const std::string& pdu,
                                           const std::function<std::string()>& append) {
    ArchivedOnce result;
    if (!connection) {
        result.error = "no database is open";
        return result;
    }
    // Joining the append group first keeps its transaction open past the record sets' own
    // close: the key is written before the group commits.
    bool joined = false;
    std::string ended;
    if (!connection->BeginAppend(joined, result.error)) {
        connection->EndAppendGroup(ended);
        return result;
    }
    sqlite3* handle = connection->Handle();
    const std::string key = KeyOf(pdu);
    if (const std::int64_t known = KnownId(handle, key); known != 0) {
        result.before = connection->EndAppendGroup(result.error);
        result.id = result.before ? known : 0;
        return result;
    }
    const sqlite3_int64 changesBefore = sqlite3_total_changes64(handle);
    std::string failure = append();
    // The row inserted on this connection, whatever other writers add to the table.
    const std::int64_t id = sqlite3_last_insert_rowid(handle);
    if (failure.empty() && sqlite3_total_changes64(handle) == changesBefore)
        failure = "no row was stored";
    if (failure.empty() && !StoreKey(handle, key, id))
        failure = EngineMessage(handle);
    if (!failure.empty())
        connection->FailAppends(failure);
    if (connection->EndAppendGroup(result.error) && failure.empty())
        result.id = id;
    else if (!failure.empty())
        result.error = failure;
    return result;
}
