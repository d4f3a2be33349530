#include "db/CDaoRecordset.h"

#include "db/CDaoDatabase.h"
#include "db/Overloaded.h"
#include "db/PgRecordCursor.h"
#include "db/RecordText.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <limits>
#include <sqlite3.h>
#include <sstream>

namespace {

std::string_view StripBrackets(std::string_view name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
        return name.substr(1, name.size() - 2);
    return name;
}

// The table an accepted SQL text names: "[T]", "T" or "SELECT * FROM T" (T bracketed or not,
// words in any case, a trailing ';' allowed). Empty when the text has any other shape.
std::string TableOfSql(const std::string& sql) {
    std::string text = sql;
    while (!text.empty() &&
           (std::isspace(static_cast<unsigned char>(text.back())) != 0 || text.back() == ';'))
        text.pop_back();
    std::istringstream words(text);
    std::vector<std::string> tokens;
    for (std::string word; words >> word;)
        tokens.push_back(word);
    if (tokens.size() == 1)
        return std::string(StripBrackets(tokens[0]));
    if (tokens.size() == 4 && EqualNoCase(tokens[0], "SELECT") && tokens[1] == "*" &&
        EqualNoCase(tokens[2], "FROM"))
        return std::string(StripBrackets(tokens[3]));
    return {};
}

template <class T> T Clamped(sqlite3_int64 value) {
    return static_cast<T>(std::clamp<sqlite3_int64>(value, std::numeric_limits<T>::min(),
                                                    std::numeric_limits<T>::max()));
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    if (text == nullptr)
        return {};
    const auto length = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
    return Truncated(std::string_view(reinterpret_cast<const char*>(text), length));
}

void LoadColumn(sqlite3_stmt* statement, int column, const CDaoFieldRef& member) {
    std::visit(Overloaded{
                   [&](std::string* text) { *text = ColumnText(statement, column); },
                   [&](std::uint8_t* byte) {
                       *byte = Clamped<std::uint8_t>(sqlite3_column_int64(statement, column));
                   },
                   [&](std::int32_t* number) {
                       *number = Clamped<std::int32_t>(sqlite3_column_int64(statement, column));
                   },
                   [&](std::optional<DbDateTime>* when) {
                       *when = DbDateTime::FromIso(ColumnText(statement, column));
                   },
               },
               member);
}

bool BindValue(sqlite3_stmt* statement, int index, const CDaoValue& value) {
    const int bound = std::visit(
        Overloaded{
            [&](const std::string& text) {
                const std::string cut = Truncated(text);
                return sqlite3_bind_text(statement, index, cut.data(), static_cast<int>(cut.size()),
                                         SQLITE_TRANSIENT);
            },
            [&](std::uint8_t byte) { return sqlite3_bind_int(statement, index, byte); },
            [&](std::int32_t number) { return sqlite3_bind_int(statement, index, number); },
            [&](const std::optional<DbDateTime>& when) {
                if (!when)
                    return sqlite3_bind_null(statement, index);
                const std::string iso = when->ToIso();
                return sqlite3_bind_text(statement, index, iso.data(), static_cast<int>(iso.size()),
                                         SQLITE_TRANSIENT);
            },
        },
        value);
    return bound == SQLITE_OK;
}

CDaoValue ValueOf(const CDaoFieldRef& member) {
    return std::visit([](auto* field) { return CDaoValue(*field); }, member);
}

void Assign(const CDaoFieldRef& member, const CDaoValue& value) {
    std::visit(
        [&value](auto* field) {
            using T = std::remove_pointer_t<decltype(field)>;
            *field = std::get<T>(value);
        },
        member);
}

CDaoValue EmptyValue(const CDaoFieldRef& member) {
    return std::visit(
        [](auto* field) { return CDaoValue(std::remove_pointer_t<decltype(field)>{}); }, member);
}

// Brackets, not double quotes: SQLite takes a double-quoted name that names no column for a
// text literal, and a record set over a table lacking a column would then open.
std::string Quoted(std::string_view identifier) {
    std::string quoted(1, '[');
    quoted.append(identifier).push_back(']');
    return quoted;
}

// The insert of the changed columns only, so the others take the table's defaults.
std::string InsertSql(std::string_view table, const std::vector<CDaoField>& fields,
                      const std::vector<bool>& changed) {
    std::string names;
    std::string marks;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!changed[i])
            continue;
        names += (names.empty() ? "" : ", ") + Quoted(fields[i].column);
        marks += marks.empty() ? "?" : ", ?";
    }
    if (names.empty())
        return "INSERT INTO " + Quoted(table) + " DEFAULT VALUES";
    return "INSERT INTO " + Quoted(table) + " (" + names + ") VALUES (" + marks + ")";
}

} // namespace

CDaoRecordset::CDaoRecordset(CDaoDatabase* db) : database(db) {}

CDaoRecordset::~CDaoRecordset() {
    Close();
}

std::string CDaoRecordset::TableName() const {
    return std::string(StripBrackets(GetDefaultSQL()));
}

bool CDaoRecordset::Open(int openType, const std::string& sql, int /*options*/) {
    Close();
    error.clear();
    table = TableName();
    fields = DoFieldExchange();
    const std::string named = sql.empty() ? table : TableOfSql(sql);
    if (openType != dbOpenDynaset || database == nullptr || !EqualNoCase(named, table))
        return false;
    connection = database->Connection();
    if (!connection || !PrepareWalk()) {
        connection.reset();
        return false;
    }
    open = true;
    database->Register(this);
    if (MoveFirst())
        return true;
    Close();
    return false;
}

bool CDaoRecordset::Close() {
    if (!open)
        return true;
    open = false;
    eof = true;
    adding = false;
    walk.reset();
    server.reset();
    find.reset();
    insert.reset();
    findColumn.clear();
    bool stored = true;
    if (inAppendGroup) {
        inAppendGroup = false;
        stored = connection->EndAppendGroup(error);
    }
    database->Unregister(this);
    connection.reset();
    return stored;
}

std::string CDaoRecordset::ColumnList() {
    std::string columns = "rowid";
    for (const CDaoField& field : fields)
        columns += ", " + Quoted(field.column);
    return columns;
}

bool CDaoRecordset::PrepareWalk() {
    if (connection->IsServer()) {
        server = std::make_unique<PgRecordCursor>(connection, table, fields);
        return server->Check(error);
    }
    walk = Prepare(connection->Handle(), "SELECT " + ColumnList() + " FROM " + Quoted(table) +
                                             " WHERE rowid > ?1 ORDER BY rowid");
    if (!walk)
        error = EngineMessage(connection->Handle());
    return walk != nullptr;
}

bool CDaoRecordset::StartWalkAfter(std::int64_t rowid) {
    sqlite3_reset(walk.get());
    return sqlite3_bind_int64(walk.get(), 1, rowid) == SQLITE_OK;
}

bool CDaoRecordset::Step(sqlite3_stmt* statement) {
    const int result = sqlite3_step(statement);
    eof = result != SQLITE_ROW;
    if (result == SQLITE_ROW)
        LoadFields(statement);
    else if (result != SQLITE_DONE)
        error = EngineMessage(connection->Handle());
    return result == SQLITE_ROW || result == SQLITE_DONE;
}

void CDaoRecordset::LoadFields(sqlite3_stmt* statement) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        LoadColumn(statement, static_cast<int>(i) + 1, fields[i].member);
}

bool CDaoRecordset::MoveFirst() {
    if (!open)
        return false;
    adding = false;
    if (server)
        return server->First(eof, error);
    if (!StartWalkAfter(std::numeric_limits<std::int64_t>::min()))
        return false;
    return Step(walk.get());
}

bool CDaoRecordset::MoveNext() {
    if (!open || eof)
        return false;
    adding = false;
    return server ? server->Next(eof, error) : Step(walk.get());
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): column, then value, as callers expect
bool CDaoRecordset::FindFirst(std::string_view column, std::string_view value) {
    if (!open)
        return false;
    const auto field = std::ranges::find_if(
        fields, [column](const CDaoField& f) { return EqualNoCase(f.column, column); });
    if (field == fields.end())
        return false;
    if (server)
        return FindOnServer(*field, value);
    if (!find || findColumn != field->column) {
        find = Prepare(connection->Handle(), "SELECT " + ColumnList() + " FROM " + Quoted(table) +
                                                 " WHERE " + Quoted(field->column) +
                                                 " LIKE ?1 ESCAPE '\\' ORDER BY rowid LIMIT 1");
        findColumn = find ? std::string(field->column) : std::string();
        if (!find)
            return false;
    }
    sqlite3_reset(find.get());
    const std::string pattern = LiteralPattern(value);
    const int stepped =
        sqlite3_bind_text(find.get(), 1, pattern.data(), static_cast<int>(pattern.size()),
                          SQLITE_TRANSIENT) == SQLITE_OK
            ? sqlite3_step(find.get())
            : SQLITE_MISUSE;
    if (stepped != SQLITE_ROW) {
        if (stepped != SQLITE_DONE)
            error = EngineMessage(connection->Handle());
        return false;
    }
    adding = false;
    eof = false;
    LoadFields(find.get());
    const std::int64_t found = sqlite3_column_int64(find.get(), 0);
    sqlite3_reset(find.get());
    // The walk goes on from the row found.
    return StartWalkAfter(found);
}

bool CDaoRecordset::FindOnServer(const CDaoField& field, std::string_view value) {
    bool found = false;
    if (!server->Find(field, value, found, error) || !found)
        return false;
    adding = false;
    eof = false;
    return true;
}

std::vector<CDaoValue> CDaoRecordset::Snapshot() {
    std::vector<CDaoValue> values;
    std::ranges::transform(fields, std::back_inserter(values),
                           [](const CDaoField& field) { return ValueOf(field.member); });
    return values;
}

void CDaoRecordset::Restore(const std::vector<CDaoValue>& values) {
    for (std::size_t i = 0; i < fields.size() && i < values.size(); ++i)
        Assign(fields[i].member, values[i]);
}

bool CDaoRecordset::AddNew() {
    if (!open)
        return false;
    if (!adding)
        currentValues = Snapshot();
    addNewValues.clear();
    std::ranges::transform(fields, std::back_inserter(addNewValues),
                           [](const CDaoField& field) { return EmptyValue(field.member); });
    Restore(addNewValues);
    adding = true;
    return true;
}

bool CDaoRecordset::Update() {
    if (!open || !adding)
        return false;
    adding = false;
    bool saved = connection->BeginAppend(inAppendGroup, error);
    if (saved && !InsertChanged()) {
        saved = false;
        connection->FailAppends(error);
    }
    Restore(currentValues);
    return saved;
}

bool CDaoRecordset::InsertChanged() {
    const std::vector<CDaoValue> values = Snapshot();
    std::vector<bool> changed(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        changed[i] = values[i] != addNewValues[i];
    if (server)
        return server->Insert(values, changed, error);
    if (!insert || changed != insertColumns) {
        insert = Prepare(connection->Handle(), InsertSql(table, fields, changed));
        insertColumns = insert ? changed : std::vector<bool>();
        if (!insert) {
            error = EngineMessage(connection->Handle());
            return false;
        }
    }
    sqlite3_reset(insert.get());
    int index = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (changed[i] && !BindValue(insert.get(), ++index, values[i])) {
            error = EngineMessage(connection->Handle());
            return false;
        }
    }
    const int result = sqlite3_step(insert.get());
    if (result != SQLITE_DONE)
        error = EngineMessage(connection->Handle());
    sqlite3_reset(insert.get());
    return result == SQLITE_DONE;
}
