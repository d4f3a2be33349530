#include "db/PgKeyTable.h"

#include "db/PgRecordCursor.h"

#include <limits>

namespace {

constexpr std::size_t kInsertRows = 500;
constexpr int kWalkRows = 2000;

// A server's text holds no NUL, and a parameter would end at one; the keys' texts use NUL
// between their fields. Stored, NUL becomes \1\1 and \1 becomes \1\2.
constexpr char kEscape = '\1';

std::string ToServerText(std::string_view text) {
    std::string stored;
    stored.reserve(text.size());
    for (const char c : text) {
        if (c == '\0' || c == kEscape) {
            stored += kEscape;
            stored += c == '\0' ? '\1' : '\2';
        } else {
            stored += c;
        }
    }
    return stored;
}

// The stored text, decoded into text where it holds an escape.
std::string_view FromServerText(std::string_view stored, std::string& text) {
    if (stored.find(kEscape) == std::string_view::npos)
        return stored;
    text.clear();
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == kEscape && i + 1 < stored.size())
            text += stored[++i] == '\1' ? '\0' : kEscape;
        else
            text += stored[i];
    }
    return text;
}

// Rows gathered for one multi-row insert.
class KeyBatch {
public:
    KeyBatch(PGconn* server, std::string tableName)
        : connection(server), table(std::move(tableName)) {}

    bool Add(std::int64_t key, std::string_view first, std::string_view second) {
        params.emplace_back(std::to_string(key));
        params.emplace_back(ToServerText(first));
        params.emplace_back(ToServerText(second));
        return params.size() < kInsertRows * 3 || Flush();
    }

    bool Flush() {
        if (params.empty())
            return true;
        std::string sql = "INSERT INTO " + table + " (id, first, second) VALUES ";
        for (std::size_t i = 0; i < params.size(); i += 3)
            sql += (i == 0 ? "($" : ", ($") + std::to_string(i + 1) + "::bigint, $" +
                   std::to_string(i + 2) + ", $" + std::to_string(i + 3) + ")";
        sql += " ON CONFLICT (id) DO UPDATE SET first = EXCLUDED.first, second = EXCLUDED.second";
        error = PgRun(connection, sql, params).error;
        params.clear();
        return error.empty();
    }

    std::string error;

private:
    PGconn* connection;
    std::string table;
    std::vector<PgParam> params;
};

} // namespace

std::int64_t ServerKeyNumber(DaoConnection& connection, const std::string& table,
                             const char* what) {
    const PgOutcome number =
        connection.Query(std::string("SELECT ") + what + " FROM " + ServerName(table));
    return number.Ok() && number.Rows() == 1 ? number.Number(0, 0) : 0;
}

bool ServerKeyFill(DaoConnection& connection, const std::string& tableName,
                   const std::function<bool(const KeyTable::Add&)>& fill, bool replace,
                   std::string& error) {
    const std::string table = ServerName(tableName);
    return connection.RunServerTransaction(
        [&](PGconn* server) {
            for (const std::string& statement :
                 {"CREATE TABLE IF NOT EXISTS " + table +
                      " (id bigint PRIMARY KEY, first text, second text)",
                  replace ? "DELETE FROM " + table : std::string()}) {
                if (!statement.empty() && !(error = PgRun(server, statement).error).empty())
                    return false;
            }
            KeyBatch batch(server, table);
            const KeyTable::Add add = [&batch](std::int64_t key, std::string_view first,
                                               std::string_view second) {
                return batch.Add(key, first, second);
            };
            const bool filled = fill(add) && batch.Flush();
            if (!filled)
                error = batch.error.empty() ? "the rows were not all read" : batch.error;
            return filled;
        },
        error);
}

PgKeyWalk::PgKeyWalk(std::shared_ptr<DaoConnection> connectionIn, const std::string& table)
    : connection(std::move(connectionIn)),
      select("SELECT id, first, second FROM " + ServerName(table) +
             " WHERE id > $1::bigint ORDER BY id LIMIT " + std::to_string(kWalkRows)) {}

bool PgKeyWalk::Next(std::string& error) {
    if (started && row + 1 < rows.Rows()) {
        ++row;
        return true;
    }
    if (exhausted)
        return false;
    const std::int64_t after =
        started && rows.Rows() > 0 ? Key() : std::numeric_limits<std::int64_t>::min();
    started = true;
    rows = connection->Query(select, {std::to_string(after)});
    row = 0;
    exhausted = !rows.Ok() || rows.Rows() < kWalkRows;
    // A missing table is no error: nothing was kept yet.
    if (!rows.Ok() && rows.error.find("does not exist") == std::string::npos)
        error = rows.error;
    return rows.Ok() && rows.Rows() > 0;
}

std::string_view PgKeyWalk::First() {
    return FromServerText(rows.Text(row, 1), first);
}

std::string_view PgKeyWalk::Second() {
    return FromServerText(rows.Text(row, 2), second);
}
