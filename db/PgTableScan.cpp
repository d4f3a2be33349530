#include "db/PgTableScan.h"

#include "db/PgRecordCursor.h"

#include <algorithm>
#include <limits>

namespace {

// A walk starts with a batch the size of a page of the viewer, which most walks read, and
// doubles it at each batch after, so that a walk of the whole table takes few round trips.
constexpr int kFirstBatchRows = 128;
constexpr int kLargestBatchRows = 4096;

// "SCA, Mittente" as the server's names: the same words, unquoted names folding to lower case.
std::string ServerColumns(std::string_view columns) {
    std::string listed;
    while (!columns.empty()) {
        const std::size_t comma = columns.find(',');
        std::string_view name = columns.substr(0, comma);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        listed += ", " + ServerName(name);
        columns = comma == std::string_view::npos ? std::string_view() : columns.substr(comma + 1);
    }
    return listed;
}

} // namespace

PgTableScan::PgTableScan(std::shared_ptr<DaoConnection> connectionIn, std::string_view tableName,
                         std::string_view columns)
    : connection(std::move(connectionIn)), table(ServerName(tableName)),
      select("SELECT " + table + ".\"id\"" + ServerColumns(columns) + " FROM " + table) {
    StartAt(std::numeric_limits<std::int64_t>::min());
}

bool PgTableScan::Check(std::string& error) {
    error = connection->Query(select + " WHERE false").error;
    return error.empty();
}

void PgTableScan::StartAt(std::int64_t key) {
    from = key;
    batchRows = kFirstBatchRows;
    started = false;
    exhausted = false;
    current = {};
    row = -1;
}

bool PgTableScan::Next(std::string& error) {
    if (started && row + 1 < current.Rows()) {
        ++row;
        return true;
    }
    if (exhausted)
        return false;
    if (started && current.Rows() > 0) {
        from = Key() + 1;
        batchRows = std::min(2 * batchRows, kLargestBatchRows);
    }
    started = true;
    current = connection->Query(select + " WHERE " + table + ".\"id\" >= $1::bigint ORDER BY " +
                                    table + ".\"id\" LIMIT " + std::to_string(batchRows),
                                {std::to_string(from)});
    error = current.error;
    row = 0;
    exhausted = !current.Ok() || current.Rows() < batchRows;
    return current.Ok() && current.Rows() > 0;
}

std::int64_t PgTableScan::Count(std::string& error) {
    const PgOutcome count = connection->Query("SELECT count(*) FROM " + table);
    error = count.error;
    return count.Ok() ? count.Number(0, 0) : -1;
}

std::vector<std::int64_t> PgTableScan::Keys(std::string& error) {
    const PgOutcome all = connection->Query("SELECT \"id\" FROM " + table + " ORDER BY \"id\"");
    error = all.error;
    std::vector<std::int64_t> keys;
    keys.reserve(static_cast<std::size_t>(all.Rows()));
    for (int i = 0; i < all.Rows(); ++i)
        keys.push_back(all.Number(i, 0));
    return keys;
}
