#include "ServerArchiveCopy.h"

#include "db/PgKeyTable.h"

#include <array>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>
#include <string_view>

namespace {

struct CopiedTable {
    const char* name;
    const char* columns;
    bool identity; // an ID column whose sequence follows the copied rows
};

constexpr std::array<CopiedTable, 3> kTables = {{
    {"Phonebook", "Pos, Numero, Nome, Type, Memory", false},
    {"SMS_In", "ID, SCA, PDUTYPE, Mittente, PID, DCS, DateTime, UDL, Messaggio", true},
    {"SMS_Out", "ID, SCA, PDUTYPE, MR, Mittente, PID, DCS, ValidityType, Validity, UDL, Messaggio",
     true},
}};

// A value in COPY's text format: NULL as \N.
void AppendCopyValue(std::string& line, sqlite3_stmt* row, int column) {
    if (sqlite3_column_type(row, column) == SQLITE_NULL) {
        line += "\\N";
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    AppendCopyText(line, {text, static_cast<std::size_t>(sqlite3_column_bytes(row, column))}, ' ');
}

struct Closers {
    void operator()(sqlite3* file) const { sqlite3_close(file); }
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
    void operator()(PGconn* server) const { PQfinish(server); }
    void operator()(PGresult* result) const { PQclear(result); }
};

using ResultPtr = std::unique_ptr<PGresult, Closers>;

// Empty when the statement succeeded, else the server's message.
std::string Run(PGconn* server, const std::string& sql) {
    const ResultPtr result(PQexec(server, sql.c_str()));
    const ExecStatusType status = PQresultStatus(result.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_COPY_IN
               ? std::string()
               : sql + ": " + PQerrorMessage(server);
}

// Sends every row of the file's table; the COPY is open on the server.
std::string SendRows(sqlite3* file, PGconn* server, const CopiedTable& table) {
    sqlite3_stmt* raw = nullptr;
    const std::string select = std::string("SELECT ") + table.columns + " FROM " + table.name +
                               (table.identity ? " ORDER BY ID" : " ORDER BY rowid");
    if (sqlite3_prepare_v2(file, select.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        return select + ": " + sqlite3_errmsg(file);
    const std::unique_ptr<sqlite3_stmt, Closers> rows(raw);
    const int columns = sqlite3_column_count(raw);
    std::string line;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        line.clear();
        for (int column = 0; column < columns; ++column) {
            if (column > 0)
                line += '\t';
            AppendCopyValue(line, raw, column);
        }
        line += '\n';
        if (PQputCopyData(server, line.data(), static_cast<int>(line.size())) != 1)
            return std::string("COPY ") + table.name + ": " + PQerrorMessage(server);
    }
    if (step != SQLITE_DONE)
        return select + ": " + sqlite3_errmsg(file);
    return {};
}

std::string CopyTable(sqlite3* file, PGconn* server, const CopiedTable& table) {
    if (std::string failed =
            Run(server, std::string("COPY ") + table.name + " (" + table.columns + ") FROM STDIN");
        !failed.empty())
        return failed;
    std::string failed = SendRows(file, server, table);
    PQputCopyEnd(server, failed.empty() ? nullptr : failed.c_str());
    for (ResultPtr result(PQgetResult(server)); result; result.reset(PQgetResult(server)))
        if (PQresultStatus(result.get()) != PGRES_COMMAND_OK && failed.empty())
            failed = std::string("COPY ") + table.name + ": " + PQerrorMessage(server);
    if (!failed.empty() || !table.identity)
        return failed;
    return Run(server, std::string("SELECT setval(pg_get_serial_sequence('") + table.name +
                           "', 'id'), coalesce(max(ID), 0) + 1, false) FROM " + table.name);
}

} // namespace

std::string CopyArchiveToServer(const std::string& path, const std::string& uri) {
    sqlite3* rawFile = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &rawFile, SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, Closers> file(rawFile);
    if (opened != SQLITE_OK)
        return "cannot open " + path;
    const std::unique_ptr<PGconn, Closers> server(PQconnectdb(uri.c_str()));
    if (PQstatus(server.get()) != CONNECTION_OK)
        return "cannot connect to " + uri + ": " + PQerrorMessage(server.get());
    std::string failed = Run(server.get(), "BEGIN");
    for (const CopiedTable& table : kTables)
        if (failed.empty())
            failed = CopyTable(file.get(), server.get(), table);
    if (failed.empty())
        failed = Run(server.get(), "COMMIT");
    // Fresh statistics, as a server's autovacuum would have them for a table this size.
    if (failed.empty())
        failed = Run(server.get(), "ANALYZE");
    return failed;
}
