#include "PgTestServer.h"

#include "db/PgSchema.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <libpq-fe.h>
#include <unistd.h>

namespace {

std::string FirstLine(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The URI with its database name (the path after the host) replaced.
std::string WithDatabase(const std::string& uri, const std::string& database) {
    const std::size_t host = uri.find("://");
    const std::size_t slash = uri.find('/', host == std::string::npos ? 0 : host + 3);
    if (slash == std::string::npos)
        return uri + "/" + database;
    const std::size_t query = uri.find('?', slash);
    return uri.substr(0, slash + 1) + database +
           (query == std::string::npos ? std::string() : uri.substr(query));
}

bool RunOn(const std::string& uri, const std::string& sql, long long* first = nullptr) {
    PGconn* connection = PQconnectdb(uri.c_str());
    bool ok = PQstatus(connection) == CONNECTION_OK;
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    if (ok) {
        PGresult* result = PQexec(connection, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        if (ok && first != nullptr)
            *first = PQntuples(result) > 0 && PQgetisnull(result, 0, 0) == 0
                         ? std::atoll(PQgetvalue(result, 0, 0))
                         : -1;
        PQclear(result);
    }
    PQfinish(connection);
    return ok;
}

} // namespace

std::string PgTestServerUri(std::string& whyNone) {
    if (const char* given = std::getenv("TELVANE_PG_URI"); given != nullptr && *given != '\0')
        return given;
    const std::string dir = TELVANE_PG_DIR;
    if (std::string uri = FirstLine(dir + "/uri"); !uri.empty())
        return uri;
    if (const std::string absent = FirstLine(dir + "/absent"); !absent.empty())
        whyNone = "PostgreSQL is not installed: " + absent;
    else
        whyNone = "PostgreSQL is not running: no test cluster in " + dir +
                  " (ctest starts it; or set TELVANE_PG_URI)";
    return {};
}

PgTestDatabase::PgTestDatabase(bool telvane) {
    const std::string server = PgTestServerUri(skipReason);
    if (server.empty())
        return;
    static std::atomic<int> counter{0};
    name = "telvane_test_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    if (!RunOn(server, "CREATE DATABASE " + name)) {
        failure = "cannot make database " + name + " on " + server;
        name.clear();
        return;
    }
    const std::string made = WithDatabase(server, name);
    if (telvane && !InitServerDatabase(made, failure))
        return;
    uri = made;
}

PgTestDatabase::~PgTestDatabase() {
    std::string unused;
    const std::string server = PgTestServerUri(unused);
    if (!name.empty() && !server.empty())
        RunOn(server, "DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
}

bool PgTestDatabase::Run(const std::string& sql) const {
    return Ready() && RunOn(uri, sql);
}

long long PgTestDatabase::Count(const std::string& sql) const {
    long long count = -1;
    return Ready() && RunOn(uri, sql, &count) ? count : -1;
}
