#pragma once
// Owning handles for a PostgreSQL connection and its results, and the one call every user of
// them needs: a statement with bound parameters, sent as text. libpq-fe.h stays out of the
// headers: the handles are only forward-declared here.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;
using PGconn = pg_conn;
using PGresult = pg_result;

struct PgConnCloser {
    void operator()(PGconn* connection) const noexcept;
};
struct PgResultClearer {
    void operator()(PGresult* result) const noexcept;
};

using PgConnPtr = std::unique_ptr<PGconn, PgConnCloser>;
using PgResultPtr = std::unique_ptr<PGresult, PgResultClearer>;

// A parameter: its text, or SQL NULL.
using PgParam = std::optional<std::string>;

// The outcome of one statement: its rows when it succeeded, else the server's (or libpq's)
// message.
struct PgOutcome {
    PgResultPtr result;
    std::string error;
    bool Ok() const { return error.empty(); }
    int Rows() const;
    bool IsNull(int row, int column) const;
    // The value's text, empty for NULL.
    std::string_view Text(int row, int column) const;
    long long Number(int row, int column) const;
    // How many rows the statement changed, as the server counts them ("" for a query).
    const char* Affected() const;
};

// What libpq says went wrong on the connection, without its trailing line break.
std::string PgConnectionError(PGconn* connection);

// Runs sql ($1, $2, ... for the parameters) on the connection.
PgOutcome PgRun(PGconn* connection, std::string_view sql, const std::vector<PgParam>& params = {});

// True for a name that libpq takes as a connection URI rather than a file path.
bool IsServerUri(std::string_view name);
// Why a URI is refused before it is tried: one that holds a password (in "user:secret@" or
// "password="), which a process list or the settings file would show. Empty when it is not.
std::string UriRefusal(std::string_view uri);
