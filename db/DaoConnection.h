#pragma once
// One SQLite connection and the append group of the record sets opened on it. The database
// object and each of its open record sets share it, so a record set in use on another thread
// keeps its connection (and its statements) alive across a Close of the database: the
// connection closes, committing what the group still holds, when the last of them lets go.

#include "db/SqliteHandles.h"

#include <mutex>

class DaoConnection {
public:
    explicit DaoConnection(SqlitePtr connection) : handle(std::move(connection)) {}
    ~DaoConnection();
    DaoConnection(const DaoConnection&) = delete;
    DaoConnection& operator=(const DaoConnection&) = delete;

    sqlite3* Handle() const { return handle.get(); }

    // Appends of every record set are grouped into one transaction, begun by the first append
    // and committed when the last record set that appended leaves the group.
    bool BeginAppend(bool& joined);
    void EndAppendGroup();
    // Commits what the group holds so far: called after an engine error so the rows saved
    // before it stay saved whatever happens next.
    void SaveAppends();

private:
    void CommitLocked();

    SqlitePtr handle;
    std::mutex mutex;
    int appendGroupMembers = 0;
};
