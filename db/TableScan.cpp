#include "db/TableScan.h"

#include "db/CDaoDatabase.h"
#include "db/CDaoRecordset.h"

#include <limits>
#include <sqlite3.h>

namespace {

// Where a UTF-8 text's 256th character begins, or its end: the cut a record set makes.
std::size_t CutAfterCapacity(std::string_view text) {
    if (text.size() <= kDbTextCapacity)
        return text.size();
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U;
        if (startsCharacter && ++characters > kDbTextCapacity)
            return i;
    }
    return text.size();
}

} // namespace

TableScan::TableScan(CDaoDatabase* database, std::string_view tableName, std::string_view columns)
    : table(tableName) {
    if (database != nullptr)
        connection = database->Connection();
    if (!connection) {
        error = "no database is open";
        return;
    }
    if (connection->IsServer()) {
        server = std::make_unique<PgTableScan>(connection, table, columns);
        if (!server->Check(error))
            server.reset();
        return;
    }
    walk = Prepare(connection->Handle(), "SELECT rowid, " + std::string(columns) + " FROM [" +
                                             table + "] WHERE rowid >= ?1 ORDER BY rowid");
    if (!walk)
        error = EngineMessage(connection->Handle());
    else
        StartAt(std::numeric_limits<std::int64_t>::min());
}

TableScan::~TableScan() = default;

bool TableScan::StartAt(std::int64_t key) {
    if (server) {
        server->StartAt(key);
        return true;
    }
    if (!walk)
        return false;
    sqlite3_reset(walk.get());
    return sqlite3_bind_int64(walk.get(), 1, key) == SQLITE_OK;
}

bool TableScan::Next() {
    if (server)
        return server->Next(error);
    if (!walk)
        return false;
    const int step = sqlite3_step(walk.get());
    if (step == SQLITE_ROW)
        return true;
    if (step != SQLITE_DONE)
        error = EngineMessage(connection->Handle());
    return false;
}

std::int64_t TableScan::Key() const {
    if (server)
        return server->Key();
    return sqlite3_column_int64(walk.get(), 0);
}

std::string_view TableScan::Text(int column) const {
    if (server) {
        const std::string_view whole = server->Text(column);
        return whole.substr(0, CutAfterCapacity(whole));
    }
    const auto* text = sqlite3_column_text(walk.get(), column + 1);
    if (text == nullptr)
        return {};
    const std::string_view whole(
        reinterpret_cast<const char*>(text),
        static_cast<std::size_t>(sqlite3_column_bytes(walk.get(), column + 1)));
    return whole.substr(0, CutAfterCapacity(whole));
}

std::int64_t TableScan::Integer(int column) const {
    if (server)
        return server->Integer(column);
    return sqlite3_column_int64(walk.get(), column + 1);
}

bool TableScan::IsNull(int column) const {
    if (server)
        return server->IsNull(column);
    return sqlite3_column_type(walk.get(), column + 1) == SQLITE_NULL;
}

std::vector<std::int64_t> TableScan::Keys() {
    std::vector<std::int64_t> keys;
    if (!connection)
        return keys;
    if (server)
        return server->Keys(error);
    StatementPtr all =
        Prepare(connection->Handle(), "SELECT rowid FROM [" + table + "] ORDER BY rowid");
    if (!all) {
        error = EngineMessage(connection->Handle());
        return keys;
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(all.get())) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(all.get(), 0));
    if (step != SQLITE_DONE)
        error = EngineMessage(connection->Handle());
    return keys;
}

std::int64_t TableScan::Count() {
    if (!connection)
        return -1;
    if (server)
        return server->Count(error);
    StatementPtr count = Prepare(connection->Handle(), "SELECT count(*) FROM [" + table + "]");
    if (!count || sqlite3_step(count.get()) != SQLITE_ROW)
        return -1;
    return sqlite3_column_int64(count.get(), 0);
}
