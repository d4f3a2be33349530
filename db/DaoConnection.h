#pragma once
// One connection (SQLite, or a PostgreSQL server's) and the append group of the record sets opened
// on it. The database object and each of its open record sets share it, so a record set in use on
// another thread keeps its connection (and its statements) alive across a Close of the database:
// the connection closes, committing what the group still holds, when the last of them lets go.

#include "db/PgHandles.h"
#include "db/SqliteHandles.h"

#include <functional>
#include <mutex>
#include <string>

class DaoConnection {
public:
    explicit DaoConnection(SqlitePtr connection) : handle(std::move(connection)) {}
    explicit DaoConnection(PgConnPtr connection) : server(std::move(connection)) {}
    ~DaoConnection();
    DaoConnection(const DaoConnection&) = delete;
    DaoConnection& operator=(const DaoConnection&) = delete;

    // The SQLite handle; null on a server connection.
    sqlite3* Handle() const { return handle.get(); }
    bool IsServer() const { return server != nullptr; }
    // Runs one statement on a server connection; calls from several threads take turns.
    PgOutcome Query(std::string_view sql, const std::vector<PgParam>& params = {});
    // The notices of the channels the connection listens to (LISTEN) that came since the last
    // call, without waiting; 0 on a file.
    int TakeNotices();

    // Appends of every record set are grouped into one transaction, begun by the first append
    // and committed when the last record set that appended leaves the group: all of the group's
    // rows are stored, or none. False (error says why) when the group's rows are not or will
    // not be stored.
    bool BeginAppend(bool& joined, std::string& error);
    bool EndAppendGroup(std::string& error);
    // An append the engine refused: the group's rows are rolled back and its later appends and
    // its commit fail with this error.
    void FailAppends(const std::string& error);

    // On a server connection: body(connection) inside one transaction that no other thread's
    // statement joins, committed when body gives true, else rolled back. False (error says why)
    // when nothing of it was stored, when an append group is open, and on a file.
    bool RunServerTransaction(const std::function<bool(PGconn*)>& body, std::string& error);

    // Runs use(handle) unless an append group is open (whose rows are not committed yet); false
    // when it did not run, and always on a server connection.
    bool RunWhileIdle(const std::function<void(sqlite3*)>& use);

private:
    bool CommitLocked(std::string& error);
    // The transaction statements, on either engine; Run keeps the engine's message.
    bool InTransaction();
    bool Run(const char* sql);
    bool CommitWasRollback();

    SqlitePtr handle;
    PgConnPtr server;
    // libpq connections are not to be shared between threads at once. Recursive: the body of a
    // server transaction reads through the record sets of its own thread, on this connection.
    std::recursive_mutex serverMutex;
    std::string lastError;
    std::string lastTag; // the server's tag for the last Run ("COMMIT", "ROLLBACK")
    std::mutex mutex;
    int appendGroupMembers = 0;
    std::string appendError; // set once the group has failed
};
