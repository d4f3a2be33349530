#pragma once
// Owning handles for the SQLite connection and its statements, and the two calls every user of
// them needs. sqlite3.h stays out of the headers: the handles are only forward-declared here.

#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

struct SqliteCloser {
    void operator()(sqlite3* handle) const noexcept;
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
};

using SqlitePtr = std::unique_ptr<sqlite3, SqliteCloser>;
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// A prepared statement, or null when the engine refuses the text.
StatementPtr Prepare(sqlite3* handle, std::string_view sql);

// Runs statements that return no rows; false on any engine error.
bool Execute(sqlite3* handle, const char* sql);

// The engine's own words for the last failure on a connection ("database or disk is full").
std::string EngineMessage(sqlite3* handle);
