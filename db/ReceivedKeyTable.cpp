#include "db/ReceivedKeyTable.h"

#include "db/CDaoDatabase.h"
#include "db/PgReceivedKeys.h"

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
    return connection ? KnownIdOf(KeyOf(pdu)) : 0;
}

std::int64_t ReceivedKeyTable::KnownIdOf(const std::string& key) {
    if (connection->IsServer())
        return ServerArchiveIdOf(*connection, key, modem);
    return KnownId(connection->Handle(), key);
}

std::int64_t ReceivedKeyTable::InsertedId() {
    // The row inserted on this connection, whatever other writers add to the table.
    if (connection->IsServer())
        return ServerLastArchiveId(*connection);
    return sqlite3_last_insert_rowid(connection->Handle());
}

bool ReceivedKeyTable::StoreKeyOf(const std::string& key, std::int64_t archiveId,
                                  std::string& failure) {
    if (connection->IsServer())
        return ServerRemember(*connection, key, modem, archiveId, failure);
    if (StoreKey(connection->Handle(), key, archiveId))
        return true;
    failure = EngineMessage(connection->Handle());
    return false;
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
    const std::string key = KeyOf(pdu);
    if (const std::int64_t known = KnownIdOf(key); known != 0) {
        result.before = connection->EndAppendGroup(result.error);
        result.id = result.before ? known : 0;
        return result;
    }
    // A file tells whether the append changed anything; a server's currval is the session's.
    sqlite3* file = connection->Handle();
    const std::int64_t changesBefore = file != nullptr ? sqlite3_total_changes64(file) : 0;
    std::string failure = append();
    const std::int64_t id = InsertedId();
    const bool unchanged = file != nullptr && sqlite3_total_changes64(file) == changesBefore;
    if (failure.empty() && (id == 0 || unchanged))
        failure = "no row was stored";
    if (failure.empty())
        StoreKeyOf(key, id, failure);
    if (!failure.empty())
        connection->FailAppends(failure);
    if (connection->EndAppendGroup(result.error) && failure.empty())
        result.id = id;
    else if (!failure.empty())
        result.error = failure;
    return result;
}
