#include "db/PgKeyTable.h"

#include "db/PgLibrary.h"
#include "db/PgRecordCursor.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kWalkRows = 2000;
constexpr std::size_t kCopyChunk = 1 << 16;

// A server text holds no NUL, which a key may hold between its parts: stored as the unit
// separator instead, and turned back as it is read.
constexpr char kStoredNul = '\x1f';

// Sends the gathered rows through COPY into the new rows' table; empty, else why not.
std::string CopyIn(PGconn* server, const std::string& table, const std::string& rows) {
    const PgLibrary& pq = Pq();
    const std::string copy = "COPY " + table + " FROM STDIN";
    if (const PgResultPtr started(pq.PQexec(server, copy.c_str()));
        pq.PQresultStatus(started.get()) != PGRES_COPY_IN)
        return pq.PQerrorMessage(server);
    std::string failed;
    for (std::size_t at = 0; at < rows.size() && failed.empty(); at += kCopyChunk) {
        const std::size_t size = std::min(kCopyChunk, rows.size() - at);
        if (pq.PQputCopyData(server, rows.data() + at, static_cast<int>(size)) != 1)
            failed = pq.PQerrorMessage(server);
    }
    pq.PQputCopyEnd(server, failed.empty() ? nullptr : failed.c_str());
    for (PgResultPtr result(pq.PQgetResult(server)); result; result.reset(pq.PQgetResult(server)))
        if (pq.PQresultStatus(result.get()) != PGRES_COMMAND_OK && failed.empty())
            failed = pq.PQresultErrorMessage(result.get());
    return failed;
}

// The statements of one fill, in order; `rows` holds the new rows in COPY's text format.
std::string WriteKeys(PGconn* server, const std::string& table, const std::string& rows,
                      bool replace) {
    for (const std::string& statement : {"CREATE TABLE IF NOT EXISTS " + table +
                                             " (id bigint PRIMARY KEY, first text, second text)",
                                         replace ? "DELETE FROM " + table : std::string()}) {
        if (statement.empty())
            continue;
        if (std::string failed = PgRun(server, statement).error; !failed.empty())
            return failed;
    }
    // An empty table takes the rows straight (the common case: the first build, or a rebuild);
    // else they replace those with the same keys, through a table of their own.
    const PgOutcome held = PgRun(server, "SELECT EXISTS (SELECT 1 FROM " + table + ")");
    if (!held.Ok())
        return held.error;
    if (held.Text(0, 0) == "f")
        return CopyIn(server, table, rows);
    const std::string fresh = "telvane_new_keys";
    if (std::string failed = PgRun(server, "CREATE TEMPORARY TABLE " + fresh +
                                               " (id bigint, first text, second text) "
                                               "ON COMMIT DROP")
                                 .error;
        !failed.empty())
        return failed;
    if (std::string failed = CopyIn(server, fresh, rows); !failed.empty())
        return failed;
    return PgRun(server, "INSERT INTO " + table + " SELECT * FROM " + fresh +
                             " ON CONFLICT (id) DO UPDATE SET first = EXCLUDED.first, "
                             "second = EXCLUDED.second")
        .error;
}

} // namespace

void AppendCopyText(std::string& out, std::string_view text, char nulAs) {
    for (const char c : text) {
        switch (c) {
        case '\0':
            out += nulAs;
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

std::int64_t ServerKeyNumber(DaoConnection& connection, const std::string& table,
                             const char* what) {
    const PgOutcome number =
        connection.Query(std::string("SELECT ") + what + " FROM " + ServerName(table));
    return number.Ok() && number.Rows() == 1 ? number.Number(0, 0) : 0;
}

bool ServerKeyFill(DaoConnection& connection, const std::string& tableName,
                   const std::function<bool(const KeyTable::Add&)>& fill, bool replace,
                   std::string& error) {
    // The rows are gathered before the transaction: what fill reads goes through the same
    // connection, whose statements the transaction holds for its own, and the viewer's pages
    // read meanwhile need not wait for the whole fill. The transaction then only writes, in
    // one COPY.
    std::string rows;
    const KeyTable::Add add = [&rows](std::int64_t key, std::string_view first,
                                      std::string_view second) {
        rows += std::to_string(key);
        rows += '\t';
        AppendCopyText(rows, first, kStoredNul);
        rows += '\t';
        AppendCopyText(rows, second, kStoredNul);
        rows += '\n';
        return true;
    };
    if (!fill(add)) {
        error = "the rows were not all read";
        return false;
    }
    const std::string table = ServerName(tableName);
    return connection.RunServerTransaction(
        [&](PGconn* server) {
            error = WriteKeys(server, table, rows, replace);
            return error.empty();
        },
        error);
}

PgKeyWalk::PgKeyWalk(std::shared_ptr<DaoConnection> connectionIn, const std::string& table)
    : connection(std::move(connectionIn)),
      select("SELECT id, first, second FROM " + ServerName(table) +
             " WHERE id > $1::bigint ORDER BY id LIMIT " + std::to_string(kWalkRows)) {}

bool PgKeyWalk::Next(std::string& error) {
    if (!(started && row + 1 < rows.Rows()) && !FetchAfterLast(error))
        return false;
    ++row;
    first.assign(rows.Text(row, 1));
    std::ranges::replace(first, kStoredNul, '\0');
    return true;
}

bool PgKeyWalk::FetchAfterLast(std::string& error) {
    if (exhausted)
        return false;
    const std::int64_t after =
        started && rows.Rows() > 0 ? Key() : std::numeric_limits<std::int64_t>::min();
    started = true;
    rows = connection->Query(select, {std::to_string(after)});
    row = -1;
    exhausted = !rows.Ok() || rows.Rows() < kWalkRows;
    // A missing table is no error: nothing was kept yet.
    if (!rows.Ok() && rows.error.find("does not exist") == std::string::npos)
        error = rows.error;
    return rows.Ok() && rows.Rows() > 0;
}
