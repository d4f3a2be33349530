#pragma once
// A table of the program's own beside a message table, one row per message key with two texts
// (for instance a search key kept for each archived message). Made when first filled; filled in
// one transaction, never while record sets hold appends not yet committed. The five tables are
// left as they are. On a server database the same holds (PgKeyTable.h). One thread at a time; it
// holds its connection while it lives.

#include "db/DaoConnection.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class CDaoDatabase;
class PgKeyWalk;

class KeyTable {
public:
    KeyTable(CDaoDatabase* database, std::string name);
    ~KeyTable();
    KeyTable(const KeyTable&) = delete;
    KeyTable& operator=(const KeyTable&) = delete;

    // The highest key stored; 0 when there is none or no table yet.
    std::int64_t LastKey();

    // Makes the table if need be and runs fill(add) in one transaction; add(key, first, second)
    // stores a row. False (and nothing stored) when the file takes no write, an append is
    // pending, or any add or the commit failed.
    // With replace, the rows stored before are removed first, in the same transaction.
    using Add = std::function<bool(std::int64_t, std::string_view, std::string_view)>;
    bool Fill(const std::function<bool(const Add&)>& fill, bool replace = false);
    // The rows stored; 0 when there is no table yet.
    std::int64_t Count();

    // Walks the stored rows in key order; false when the table is missing (or after the last).
    bool Next();
    std::int64_t Key() const;
    std::string_view First() const;
    std::string_view Second() const;

    const std::string& ErrorText() const { return error; }

private:
    std::shared_ptr<DaoConnection> connection;
    std::string table;
    StatementPtr walk;
    std::unique_ptr<PgKeyWalk> serverWalk; // in place of walk on a server database
    bool walkStarted = false;
    std::string error;
};
