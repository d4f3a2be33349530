#pragma once
// KeyTable on a PostgreSQL server (see KeyTable.h): the same table of keys with two texts, made
// when first filled, filled in one transaction (rows sent a batch at a time), walked in key
// order a batch at a time.

#include "db/DaoConnection.h"
#include "db/KeyTable.h"

#include <cstdint>
#include <string>
#include <string_view>

// The first column of "SELECT <what> FROM table"; 0 when the table is missing.
std::int64_t ServerKeyNumber(DaoConnection& connection, const std::string& table, const char* what);

bool ServerKeyFill(DaoConnection& connection, const std::string& table,
                   const std::function<bool(const KeyTable::Add&)>& fill, bool replace,
                   std::string& error);

class PgKeyWalk {
public:
    PgKeyWalk(std::shared_ptr<DaoConnection> connection, const std::string& table);
    // False after the last row, when the table is missing, or when the server broke off (error).
    bool Next(std::string& error);
    std::int64_t Key() const { return rows.Number(row, 0); }
    // Valid until the next call.
    std::string_view First();
    std::string_view Second();

private:
    std::shared_ptr<DaoConnection> connection;
    std::string select;
    PgOutcome rows;
    int row = -1;
    bool started = false;
    bool exhausted = false;
    std::string first;
    std::string second;
};
