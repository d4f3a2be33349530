#include "db/DaoConnection.h"

#include <sqlite3.h>

DaoConnection::~DaoConnection() {
    std::lock_guard lock(mutex);
    if (handle && appendError.empty() && sqlite3_get_autocommit(handle.get()) == 0) {
        std::string unused;
        CommitLocked(unused);
    }
}

bool DaoConnection::BeginAppend(bool& joined, std::string& error) {
    std::lock_guard lock(mutex);
    if (!joined) {
        joined = true;
        ++appendGroupMembers;
    }
    if (!appendError.empty()) {
        error = appendError;
        return false;
    }
    if (sqlite3_get_autocommit(handle.get()) == 0 || Execute(handle.get(), "BEGIN IMMEDIATE"))
        return true;
    appendError = error = EngineMessage(handle.get());
    return false;
}

bool DaoConnection::EndAppendGroup(std::string& error) {
    std::lock_guard lock(mutex);
    if (appendGroupMembers > 0)
        --appendGroupMembers;
    bool stored = appendError.empty();
    if (!stored)
        error = appendError;
    if (appendGroupMembers > 0)
        return stored;
    if (stored && sqlite3_get_autocommit(handle.get()) == 0)
        stored = CommitLocked(error);
    appendError.clear();
    return stored;
}

void DaoConnection::FailAppends(const std::string& error) {
    std::lock_guard lock(mutex);
    appendError = error.empty() ? std::string("the engine refused a row") : error;
    // The engine may have rolled back already (a full disk does).
    if (sqlite3_get_autocommit(handle.get()) == 0)
        Execute(handle.get(), "ROLLBACK");
}

bool DaoConnection::RunWhileIdle(const std::function<void(sqlite3*)>& use) {
    std::lock_guard lock(mutex);
    if (appendGroupMembers > 0)
        return false;
    use(handle.get());
    return true;
}

bool DaoConnection::CommitLocked(std::string& error) {
    if (Execute(handle.get(), "COMMIT"))
        return true;
    // A commit the engine refuses may leave the transaction open: end it, storing nothing, so
    // the next append starts clean.
    error = EngineMessage(handle.get());
    if (sqlite3_get_autocommit(handle.get()) == 0)
        Execute(handle.get(), "ROLLBACK");
    return false;
}
