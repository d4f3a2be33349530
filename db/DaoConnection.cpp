#include "db/DaoConnection.h"

#include <sqlite3.h>

DaoConnection::~DaoConnection() {
    std::lock_guard lock(mutex);
    CommitLocked();
}

bool DaoConnection::BeginAppend(bool& joined) {
    std::lock_guard lock(mutex);
    if (!joined) {
        joined = true;
        ++appendGroupMembers;
    }
    if (sqlite3_get_autocommit(handle.get()) == 0)
        return true;
    return Execute(handle.get(), "BEGIN IMMEDIATE");
}

void DaoConnection::EndAppendGroup() {
    std::lock_guard lock(mutex);
    if (appendGroupMembers > 0)
        --appendGroupMembers;
    if (appendGroupMembers == 0)
        CommitLocked();
}

void DaoConnection::SaveAppends() {
    std::lock_guard lock(mutex);
    CommitLocked();
}

void DaoConnection::CommitLocked() {
    if (!handle || sqlite3_get_autocommit(handle.get()) != 0)
        return;
    // A commit the engine refuses leaves the transaction open: end it so the next append
    // starts clean.
    if (!Execute(handle.get(), "COMMIT"))
        Execute(handle.get(), "ROLLBACK");
}
