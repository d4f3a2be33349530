#include "db/KeyTable.h"

#include "db/CDaoDatabase.h"
#include "db/PgKeyTable.h"

#include <sqlite3.h>

namespace {

std::string_view ColumnView(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    if (text == nullptr)
        return {};
    return {reinterpret_cast<const char*>(text),
            static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
}

} // namespace

KeyTable::KeyTable(CDaoDatabase* database, std::string name) : table(std::move(name)) {
    if (database != nullptr)
        connection = database->Connection();
}

KeyTable::~KeyTable() = default;

namespace {

std::int64_t QueryNumber(const std::shared_ptr<DaoConnection>& connection, const std::string& sql) {
    if (!connection)
        return 0;
    StatementPtr query = Prepare(connection->Handle(), sql);
    if (!query || sqlite3_step(query.get()) != SQLITE_ROW)
        return 0;
    return sqlite3_column_int64(query.get(), 0);
}

} // namespace

std::int64_t KeyTable::LastKey() {
    if (connection && connection->IsServer())
        return ServerKeyNumber(*connection, table, "max(id)");
    return QueryNumber(connection, "SELECT max(ID) FROM [" + table + "]");
}

std::int64_t KeyTable::Count() {
    if (connection && connection->IsServer())
        return ServerKeyNumber(*connection, table, "count(*)");
    return QueryNumber(connection, "SELECT count(*) FROM [" + table + "]");
}

bool KeyTable::Fill(const std::function<bool(const Add&)>& fill, bool replace) {
    if (!connection)
        return false;
    if (connection->IsServer())
        return ServerKeyFill(*connection, table, fill, replace, error);
    bool stored = false;
    const bool ran = connection->RunWhileIdle([&](sqlite3* handle) {
        const std::string create = "CREATE TABLE IF NOT EXISTS [" + table +
                                   "] (ID INTEGER PRIMARY KEY, First TEXT, Second TEXT)";
        if (!Execute(handle, "BEGIN IMMEDIATE"))
            return;
        const std::string empty = "DELETE FROM [" + table + "]";
        StatementPtr insert;
        if (Execute(handle, create.c_str()) && (!replace || Execute(handle, empty.c_str())))
            insert = Prepare(handle, "INSERT OR REPLACE INTO [" + table +
                                         "] (ID, First, Second) VALUES (?1, ?2, ?3)");
        const Add add = [&insert](std::int64_t key, std::string_view first,
                                  std::string_view second) {
            sqlite3_bind_int64(insert.get(), 1, key);
            sqlite3_bind_text(insert.get(), 2, first.data(), static_cast<int>(first.size()),
                              SQLITE_STATIC);
            sqlite3_bind_text(insert.get(), 3, second.data(), static_cast<int>(second.size()),
                              SQLITE_STATIC);
            const bool done = sqlite3_step(insert.get()) == SQLITE_DONE;
            sqlite3_reset(insert.get());
            return done;
        };
        stored = insert != nullptr && fill(add);
        insert.reset();
        if (!stored)
            error = EngineMessage(handle);
        stored = stored && Execute(handle, "COMMIT");
        if (!stored && sqlite3_get_autocommit(handle) == 0)
            Execute(handle, "ROLLBACK");
    });
    return ran && stored;
}

bool KeyTable::Next() {
    if (!connection)
        return false;
    if (connection->IsServer()) {
        if (!serverWalk)
            serverWalk = std::make_unique<PgKeyWalk>(connection, table);
        return serverWalk->Next(error);
    }
    if (!walkStarted) {
        walkStarted = true;
        walk = Prepare(connection->Handle(),
                       "SELECT ID, First, Second FROM [" + table + "] ORDER BY ID");
    }
    if (!walk)
        return false;
    const int step = sqlite3_step(walk.get());
    if (step != SQLITE_ROW && step != SQLITE_DONE)
        error = EngineMessage(connection->Handle());
    return step == SQLITE_ROW;
}

std::int64_t KeyTable::Key() const {
    if (serverWalk)
        return serverWalk->Key();
    return sqlite3_column_int64(walk.get(), 0);
}

std::string_view KeyTable::First() const {
    if (serverWalk)
        return serverWalk->First();
    return ColumnView(walk.get(), 1);
}

std::string_view KeyTable::Second() const {
    if (serverWalk)
        return serverWalk->Second();
    return ColumnView(walk.get(), 2);
}
