#pragma once
// One SQLite connection and the append group of the record sets opened on it. The database
// object and each of its open record sets share it, so a record set in use on another thread
// keeps its connection (and its statements) alive across a Close of the database: the
// connection closes, committing what the group still holds, when the last of them lets go.

#include "db/SqliteHandles.h"

#include <functional>
#include <mutex>
#include <string>

class DaoConnection {
public:
    explicit DaoConnection(SqlitePtr connection) : handle(std::move(connection)) {}
    ~DaoConnection();
    DaoConnection(const DaoConnection&) = delete;
    DaoConnection& operator=(const DaoConnection&) = delete;

    sqlite3* Handle() const { return handle.get(); }

    // Appends of every record set are grouped into one transaction, begun by the first append
    // and committed when the last record set that appended leaves the group: all of the group's
    // rows are stored, or none. False (error says why) when the group's rows are not or will
    // not be stored.
    bool BeginAppend(bool& joined, std::string& error);
    bool EndAppendGroup(std::string& error);
    // An append the engine refused: the group's rows are rolled back and its later appends and
    // its commit fail with this error.
    void FailAppends(const std::string& error);

    // Runs use(handle) unless an append group is open (whose rows are not committed yet); false
    // when it did not run.
    bool RunWhileIdle(const std::function<void(sqlite3*)>& use);

private:
    bool CommitLocked(std::string& error);

    SqlitePtr handle;
    std::mutex mutex;
    int appendGroupMembers = 0;
    std::string appendError; // set once the group has failed
};
