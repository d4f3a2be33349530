#include "db/SqliteHandles.h"

#include <sqlite3.h>

void SqliteCloser::operator()(sqlite3* handle) const noexcept {
    // close_v2 never leaves the handle half-open: a statement still alive keeps it until then.
    sqlite3_close_v2(handle);
}

void StatementFinalizer::operator()(sqlite3_stmt* statement) const noexcept {
    sqlite3_finalize(statement);
}

StatementPtr Prepare(sqlite3* handle, std::string_view sql) {
    // No SQLite handle: a server database, which the SQLite-only tables do not serve.
    if (handle == nullptr)
        return nullptr;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(raw);
        return nullptr;
    }
    return StatementPtr(raw);
}

bool Execute(sqlite3* handle, const char* sql) {
    return handle != nullptr && sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string EngineMessage(sqlite3* handle) {
    if (handle == nullptr)
        return "this operation is not available on a database server yet";
    const char* message = sqlite3_errmsg(handle);
    return message != nullptr ? std::string(message) : std::string("out of memory");
}
