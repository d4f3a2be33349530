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

std::int64_t SingleNumber(sqlite3* handle, const char* sql, const std::string& key) {
    StatementPtr query = Prepare(handle, sql);
    if (!query)
        return 0;
    if (!key.empty())
        sqlite3_bind_text(query.get(), 1, key.data(), static_cast<int>(key.size()),
                          SQLITE_TRANSIENT);
    return sqlite3_step(query.get()) == SQLITE_ROW ? sqlite3_column_int64(query.get(), 0) : 0;
}

} // namespace

ReceivedKeyTable::ReceivedKeyTable(CDaoDatabase* database) {
    if (database != nullptr)
        connection = database->Connection();
}

ReceivedKeyTable::~ReceivedKeyTable() = default;

std::int64_t ReceivedKeyTable::ArchiveIdOf(const std::string& pdu) {
    if (!connection)
        return 0;
    if (connection->IsServer())
        return ServerArchiveIdOf(*connection, KeyOf(pdu), modem);
    return SingleNumber(connection->Handle(),
                        "SELECT ArchiveID FROM SMS_ReceivedKey WHERE Key = ?1", KeyOf(pdu));
}

std::int64_t ReceivedKeyTable::LastArchiveId() {
    if (!connection)
        return 0;
    if (connection->IsServer())
        return ServerLastArchiveId(*connection);
    return SingleNumber(connection->Handle(), "SELECT max(ID) FROM SMS_In", {});
}

bool ReceivedKeyTable::Remember(const std::string& pdu, std::int64_t archiveId) {
    if (!connection) {
        error = "no database is open";
        return false;
    }
    const std::string key = KeyOf(pdu);
    if (connection->IsServer())
        return ServerRemember(*connection, key, modem, archiveId, error);
    bool stored = false;
    const bool ran = connection->RunWhileIdle([&](sqlite3* handle) {
        StatementPtr insert = Execute(handle, kCreate)
                                  ? Prepare(handle, "INSERT OR REPLACE INTO SMS_ReceivedKey "
                                                    "(Key, ArchiveID) VALUES (?1, ?2)")
                                  : nullptr;
        if (insert) {
            sqlite3_bind_text(insert.get(), 1, key.data(), static_cast<int>(key.size()),
                              SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert.get(), 2, archiveId);
            stored = sqlite3_step(insert.get()) == SQLITE_DONE;
        }
        if (!stored)
            error = EngineMessage(handle);
    });
    if (!ran)
        error = "the database is storing other rows";
    return ran && stored;
}
