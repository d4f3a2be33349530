#include "db/PgRecordCursor.h"

#include "db/Overloaded.h"
#include "db/RecordText.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

constexpr int kBatchRows = 500;

template <class T> T Clamped(long long value) {
    return static_cast<T>(
        std::clamp<long long>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

void LoadValue(const PgOutcome& rows, int row, int column, const CDaoFieldRef& member) {
    std::visit(
        Overloaded{
            [&](std::string* text) { *text = Truncated(rows.Text(row, column)); },
            [&](std::uint8_t* byte) { *byte = Clamped<std::uint8_t>(rows.Number(row, column)); },
            [&](std::int32_t* number) {
                *number = Clamped<std::int32_t>(rows.Number(row, column));
            },
            [&](std::optional<DbDateTime>* when) {
                *when = DbDateTime::FromIso(std::string(rows.Text(row, column)));
            },
        },
        member);
}

PgParam ParamOf(const CDaoValue& value) {
    return std::visit(Overloaded{
                          [](const std::string& text) { return PgParam(Truncated(text)); },
                          [](std::uint8_t byte) { return PgParam(std::to_string(byte)); },
                          [](std::int32_t number) { return PgParam(std::to_string(number)); },
                          [](const std::optional<DbDateTime>& when) {
                              return when ? PgParam(when->ToIso()) : PgParam();
                          },
                      },
                      value);
}

std::string AsciiLower(const std::string& expression) {
    return "translate(" + expression +
           ", 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')";
}

} // namespace

std::string ServerName(std::string_view name) {
    std::string quoted = "\"";
    for (const char c : name) {
        if (c == '"')
            quoted += '"';
        quoted += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return quoted + '"';
}

PgRecordCursor::PgRecordCursor(std::shared_ptr<DaoConnection> connectionIn,
                               std::string_view tableName, const std::vector<CDaoField>& fieldsIn)
    : connection(std::move(connectionIn)), table(ServerName(tableName)), fields(fieldsIn) {
    const bool hasId = std::ranges::any_of(
        fields, [](const CDaoField& field) { return EqualNoCase(field.column, "ID"); });
    // Qualified: the ID column is also among the bound ones.
    key = table + (hasId ? ".\"id\"" : ".ctid");
    keyType = hasId ? "integer" : "tid";
}

std::string PgRecordCursor::Select() const {
    std::string sql = "SELECT " + key + "::text";
    for (const CDaoField& field : fields)
        sql += ", " + ServerName(field.column);
    return sql + " FROM " + table;
}

bool PgRecordCursor::Check(std::string& error) {
    error = connection->Query(Select() + " WHERE false").error;
    return error.empty();
}

bool PgRecordCursor::FetchAfterLast(std::string& error) {
    const std::string order = " ORDER BY " + key + " LIMIT " + std::to_string(kBatchRows);
    batch = lastKey ? connection->Query(Select() + " WHERE " + key + " > $1::" + keyType + order,
                                        {lastKey})
                    : connection->Query(Select() + order);
    batchRow = 0;
    error = batch.error;
    return batch.Ok();
}

bool PgRecordCursor::Advance(bool& eof, std::string& error) {
    if (batchRow >= batch.Rows() && !FetchAfterLast(error)) {
        eof = true;
        return false;
    }
    eof = batchRow >= batch.Rows();
    if (eof)
        return true;
    lastKey = std::string(batch.Text(batchRow, 0));
    Load(batch, batchRow);
    ++batchRow;
    return true;
}

bool PgRecordCursor::First(bool& eof, std::string& error) {
    lastKey.reset();
    batch = {};
    return Advance(eof, error);
}

bool PgRecordCursor::Next(bool& eof, std::string& error) {
    return Advance(eof, error);
}

bool PgRecordCursor::Find(const CDaoField& field, std::string_view value, bool& found,
                          std::string& error) {
    // Case ignored in ASCII letters only, as the file's LIKE ignores it: ILIKE would also match
    // "ä" with "Ä".
    const PgOutcome match = connection->Query(
        Select() + " WHERE " + AsciiLower(ServerName(field.column) + "::text") + " LIKE " +
            AsciiLower("$1") + " ESCAPE '\\' ORDER BY " + key + " LIMIT 1",
        {LiteralPattern(value)});
    found = match.Ok() && match.Rows() == 1;
    error = match.error;
    if (!found)
        return match.Ok();
    Load(match, 0);
    // The walk goes on from the row found.
    lastKey = std::string(match.Text(0, 0));
    batch = {};
    return true;
}

bool PgRecordCursor::Insert(const std::vector<CDaoValue>& values, const std::vector<bool>& changed,
                            std::string& error) {
    std::string names;
    std::string marks;
    std::vector<PgParam> params;
    for (std::size_t i = 0; i < fields.size() && i < values.size(); ++i) {
        if (!changed[i])
            continue;
        params.push_back(ParamOf(values[i]));
        names += (names.empty() ? "" : ", ") + ServerName(fields[i].column);
        marks += (marks.empty() ? "$" : ", $") + std::to_string(params.size());
    }
    const std::string sql =
        names.empty() ? "INSERT INTO " + table + " DEFAULT VALUES"
                      : "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")";
    error = connection->Query(sql, params).error;
    return error.empty();
}

void PgRecordCursor::Load(const PgOutcome& rows, int row) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        LoadValue(rows, row, static_cast<int>(i) + 1, fields[i].member);
}
