#pragma once
// The tables of our own beside the five (the delivery records, the outbox): a write is one
// transaction that first makes its table when an older file lacks it, and texts are read whole.

#include <functional>
#include <memory>
#include <string>

class DaoConnection;
struct sqlite3;
struct sqlite3_stmt;

// Runs `create` (a CREATE TABLE IF NOT EXISTS) and `write` in one immediate transaction on the
// connection; false, with the reason in `error`, when anything failed (nothing is then kept).
bool WriteOwnTable(const std::shared_ptr<DaoConnection>& connection, const char* create,
                   const std::function<bool(sqlite3*)>& write, std::string& error);

// A column's text as stored, empty for NULL.
std::string ColumnString(sqlite3_stmt* statement, int column);
