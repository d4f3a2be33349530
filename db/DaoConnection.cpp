#include "db/DaoConnection.h"

#include "db/PgLibrary.h"

#include <sqlite3.h>

DaoConnection::~DaoConnection() {
    std::lock_guard lock(mutex);
    if ((handle || server) && appendError.empty() && InTransaction()) {
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
    if (InTransaction() || Run(server ? "BEGIN" : "BEGIN IMMEDIATE"))
        return true;
    appendError = error = lastError;
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
    if (stored && InTransaction())
        stored = CommitLocked(error);
    appendError.clear();
    return stored;
}

void DaoConnection::FailAppends(const std::string& error) {
    std::lock_guard lock(mutex);
    appendError = error.empty() ? std::string("the engine refused a row") : error;
    // The engine may have rolled back already (a full disk does).
    if (InTransaction())
        Run("ROLLBACK");
}

bool DaoConnection::RunWhileIdle(const std::function<void(sqlite3*)>& use) {
    std::lock_guard lock(mutex);
    if (appendGroupMembers > 0 || server)
        return false;
    use(handle.get());
    return true;
}

bool DaoConnection::CommitLocked(std::string& error) {
    if (Run("COMMIT") && !CommitWasRollback())
        return true;
    // A commit the engine refuses may leave the transaction open: end it, storing nothing, so
    // the next append starts clean.
    error = lastError;
    if (InTransaction())
        Run("ROLLBACK");
    return false;
}

PgOutcome DaoConnection::Query(std::string_view sql, const std::vector<PgParam>& params) {
    std::lock_guard lock(serverMutex);
    return PgRun(server.get(), sql, params);
}

bool DaoConnection::RunServerTransaction(const std::function<bool(PGconn*)>& body,
                                         std::string& error) {
    std::lock_guard lock(mutex);
    if (!server || appendGroupMembers > 0) {
        error = "the database is storing other rows";
        return false;
    }
    std::lock_guard serverLock(serverMutex);
    if (error = PgRun(server.get(), "BEGIN").error; !error.empty())
        return false;
    if (!body(server.get())) {
        PgRun(server.get(), "ROLLBACK");
        return false;
    }
    const PgOutcome committed = PgRun(server.get(), "COMMIT");
    error = committed.error;
    if (error.empty() && committed.result &&
        std::string_view(Pq().PQcmdStatus(committed.result.get())) == "ROLLBACK")
        error = "a statement of the transaction failed: nothing of it was stored";
    return error.empty();
}

int DaoConnection::TakeNotices() {
    if (!server)
        return 0;
    std::lock_guard lock(serverMutex);
    Pq().PQconsumeInput(server.get());
    int notices = 0;
    while (PGnotify* notice = Pq().PQnotifies(server.get())) {
        ++notices;
        Pq().PQfreemem(notice);
    }
    return notices;
}

void DaoConnection::SetSessionSetup(std::vector<std::string> statements) {
    std::lock_guard lock(serverMutex);
    session = std::move(statements);
}

PgOutcome DaoConnection::RunForSession(const std::string& sql) {
    std::lock_guard lock(serverMutex);
    PgOutcome outcome = PgRun(server.get(), sql);
    if (outcome.Ok())
        session.push_back(sql);
    return outcome;
}

ServerLink DaoConnection::CheckServerLink(std::string& error) {
    if (!server)
        return ServerLink::Up;
    std::lock_guard lock(mutex);
    if (appendGroupMembers > 0)
        return ServerLink::Up; // judged once the group has ended
    std::lock_guard serverLock(serverMutex);
    // Reading what the server sent finds a link it closed.
    if (!linkLost && Pq().PQstatus(server.get()) == CONNECTION_OK &&
        Pq().PQconsumeInput(server.get()) == 1 && Pq().PQstatus(server.get()) == CONNECTION_OK)
        return ServerLink::Up;
    linkLost = !ReconnectLocked(error);
    return linkLost ? ServerLink::Lost : ServerLink::Restored;
}

bool DaoConnection::ReconnectLocked(std::string& error) {
    Pq().PQreset(server.get());
    if (Pq().PQstatus(server.get()) != CONNECTION_OK) {
        error = PgConnectionError(server.get());
        return false;
    }
    for (const std::string& statement : session) {
        const PgOutcome outcome = PgRun(server.get(), statement);
        error = outcome.error;
        // The lock is asked for with a query that says whether it was given.
        if (outcome.Ok() && outcome.Rows() == 1 && outcome.Text(0, 0) == "f")
            error = "database is locked";
        if (!error.empty())
            return false;
    }
    return true;
}

bool DaoConnection::InTransaction() {
    if (!server)
        return sqlite3_get_autocommit(handle.get()) == 0;
    std::lock_guard lock(serverMutex);
    return Pq().PQtransactionStatus(server.get()) != PQTRANS_IDLE;
}

bool DaoConnection::Run(const char* sql) {
    if (!server) {
        const bool ran = Execute(handle.get(), sql);
        lastError = ran ? std::string() : EngineMessage(handle.get());
        return ran;
    }
    const PgOutcome outcome = Query(sql);
    lastError = outcome.error;
    lastTag = outcome.result ? Pq().PQcmdStatus(outcome.result.get()) : "";
    return lastError.empty();
}

// A server ends a transaction that a statement broke with a COMMIT that rolls back, and says so
// only in the command's tag.
bool DaoConnection::CommitWasRollback() {
    if (server && lastTag == "ROLLBACK") {
        lastError = "a statement of the transaction failed: nothing of it was stored";
        return true;
    }
    return false;
}
