#include "db/PgSchema.h"

#include "db/PgDatabaseOpen.h"
#include "db/SchemaText.h"

namespace {

// Names the tables a database already holds; empty when it holds none.
std::string TablesHeld(PGconn* connection, std::string& error) {
    const PgOutcome tables =
        PgRun(connection, "SELECT string_agg(table_name, ', ' ORDER BY table_name) "
                          "FROM information_schema.tables WHERE table_schema = current_schema()");
    error = tables.error;
    return tables.Ok() ? std::string(tables.Text(0, 0)) : std::string();
}

bool RunAll(PGconn* connection, std::string& error) {
    std::vector<std::string> statements = SchemaStatements(ServerSchemaText());
    // The option rows are the shipped database's own.
    for (std::string& statement : SchemaStatements(SqliteSchemaText()))
        if (statement.starts_with("INSERT"))
            statements.push_back(std::move(statement));
    for (const std::string& statement : statements) {
        error = PgRun(connection, statement).error;
        if (!error.empty())
            return false;
    }
    return true;
}

} // namespace

bool InitServerDatabase(const std::string& uri, std::string& error) {
    PgConnPtr connection = ConnectToServer(uri, error);
    if (!connection)
        return false;
    const std::string held = TablesHeld(connection.get(), error);
    if (!error.empty())
        return false;
    if (!held.empty()) {
        error = "the database already holds tables (" + held + "): nothing was changed";
        return false;
    }
    error = PgRun(connection.get(), "BEGIN").error;
    if (!error.empty())
        return false;
    if (!RunAll(connection.get(), error)) {
        PgRun(connection.get(), "ROLLBACK");
        return false;
    }
    error = PgRun(connection.get(), "COMMIT").error;
    return error.empty();
}
