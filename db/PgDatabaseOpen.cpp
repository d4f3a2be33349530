#include "db/PgDatabaseOpen.h"

#include "db/PgLibrary.h"

#include <array>
#include <cstdlib>
#include <vector>

namespace {

// The advisory lock that stands for the database (any number fixed for Telvane will do).
constexpr const char* kLockKey = "1414743126";

void IgnoreNotice(void* /*unused*/, const char* /*message*/) {}

// A server that takes the connection and never answers, or a host that drops it without a word,
// would hold the window or the service for ever (libpq waits without end unless told): this
// bounds it, also each later reconnection, unless the URI or PGCONNECT_TIMEOUT says otherwise.
constexpr const char* kConnectTimeoutSeconds = "10";

PGconn* Connect(const PgLibrary& pq, const std::string& uri) {
    const char* const fromEnvironment = std::getenv("PGCONNECT_TIMEOUT");
    const bool defaulted = fromEnvironment == nullptr || *fromEnvironment == '\0';
    // The URI comes after the default: a connect_timeout of its own is the one kept. Only the
    // first dbname is read as a URI.
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    if (defaulted) {
        keywords.push_back("connect_timeout");
        values.push_back(kConnectTimeoutSeconds);
    }
    keywords.insert(keywords.end(), {"dbname", nullptr});
    values.insert(values.end(), {uri.c_str(), nullptr});
    return pq.PQconnectdbParams(keywords.data(), values.data(), 1);
}

// Timestamps are read and written as "YYYY-MM-DD HH:MM:SS", texts as UTF-8.
constexpr std::array<const char*, 2> kSettings = {"SET DateStyle = 'ISO, YMD'",
                                                  "SET client_encoding = 'UTF8'"};

ServerOpen Refused(DbOpenFailure failure, std::string error) {
    ServerOpen refused;
    refused.failure = failure;
    refused.error = std::move(error);
    return refused;
}

bool HasTelvaneTables(PGconn* connection, std::string& error) {
    const PgOutcome found =
        PgRun(connection, "SELECT count(DISTINCT lower(table_name)) FROM information_schema.tables "
                          "WHERE table_schema = current_schema() AND lower(table_name) IN "
                          "('phonebook', 'sms_in', 'sms_out', 'dbdcs', 'dbpid')");
    error = found.Ok() ? std::string("the database holds no Telvane tables") : found.error;
    return found.Ok() && found.Rows() == 1 && found.Number(0, 0) == 5;
}

// A role without the right to add rows, or a standby server, opens and reads well and fails at
// the first write: find out now.
bool TakesAWrite(PGconn* connection, std::string& error) {
    const PgOutcome rights = PgRun(
        connection, "SELECT NOT pg_is_in_recovery() AND bool_and(has_table_privilege(t, 'INSERT')) "
                    "FROM unnest(ARRAY['phonebook', 'sms_in', 'sms_out']) AS t");
    if (!rights.Ok()) {
        error = rights.error;
        return false;
    }
    error = "attempt to write a readonly database";
    return rights.Text(0, 0) == "t";
}

} // namespace

PgConnPtr ConnectToServer(const std::string& uri, std::string& error) {
    if (error = UriRefusal(uri); !error.empty())
        return nullptr;
    // The first server database loads the client library; a file never needs it.
    const PgLibrary* pq = PgClient(error);
    if (pq == nullptr)
        return nullptr;
    PgConnPtr connection(Connect(*pq, uri));
    if (!connection || pq->PQstatus(connection.get()) != CONNECTION_OK) {
        error = PgConnectionError(connection.get());
        return nullptr;
    }
    pq->PQsetNoticeProcessor(connection.get(), IgnoreNotice, nullptr);
    for (const char* setting : kSettings) {
        PgOutcome set = PgRun(connection.get(), setting);
        if (!set.Ok()) {
            error = set.error;
            return nullptr;
        }
    }
    return connection;
}

ServerOpen OpenServerDatabase(const std::string& uri, bool exclusive, bool readOnly) {
    std::string error;
    PgConnPtr connection = ConnectToServer(uri, error);
    if (!connection)
        return Refused(DbOpenFailure::CannotOpen, error);
    if (!HasTelvaneTables(connection.get(), error))
        return Refused(DbOpenFailure::NotTelvane, error);
    const std::string lock = std::string("SELECT ") +
                             (exclusive ? "pg_try_advisory_lock" : "pg_try_advisory_lock_shared") +
                             "(" + kLockKey + ")";
    const PgOutcome locked = PgRun(connection.get(), lock);
    if (!locked.Ok() || locked.Text(0, 0) != "t")
        return Refused(DbOpenFailure::Locked,
                       locked.Ok() ? std::string("database is locked") : locked.error);
    if (readOnly) {
        const PgOutcome set =
            PgRun(connection.get(), "SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
        if (!set.Ok())
            return Refused(DbOpenFailure::CannotOpen, set.error);
    } else if (!TakesAWrite(connection.get(), error)) {
        return Refused(DbOpenFailure::ReadOnly, error);
    }
    ServerOpen opened;
    opened.connection = std::move(connection);
    opened.session.assign(kSettings.begin(), kSettings.end());
    opened.session.push_back(lock);
    if (readOnly)
        opened.session.emplace_back("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
    return opened;
}
