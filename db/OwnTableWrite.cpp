#include "db/OwnTableWrite.h"

#include "db/DaoConnection.h"
#include "db/SqliteHandles.h"

#include <sqlite3.h>

bool WriteOwnTable(const std::shared_ptr<DaoConnection>& connection, const char* create,
                   const std::function<bool(sqlite3*)>& write, std::string& error) {
    if (!connection) {
        error = "no database is open";
        return false;
    }
    bool stored = false;
    const bool ran = connection->RunWhileIdle([&](sqlite3* handle) {
        if (!Execute(handle, "BEGIN IMMEDIATE")) {
            error = EngineMessage(handle);
            return;
        }
        stored = Execute(handle, create) && write(handle);
        if (!stored)
            error = EngineMessage(handle);
        stored = stored && Execute(handle, "COMMIT");
        if (!stored && sqlite3_get_autocommit(handle) == 0)
            Execute(handle, "ROLLBACK");
    });
    if (!ran)
        error = "the database is storing other rows";
    return ran && stored;
}

std::string ColumnString(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text == nullptr
               ? std::string()
               : std::string(reinterpret_cast<const char*>(text),
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}
