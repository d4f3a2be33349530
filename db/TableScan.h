#pragma once
// A read-only walk of some columns of one table in key order, for listing large tables without
// the copies a record set makes: the current row's values are read straight from the engine and
// stay valid until the next step. Texts are cut after 255 characters, as a record set reads
// them. Also the pieces a paged view needs: the row count, the keys in order, and a walk that
// starts at a key. On a server database the key is the ID column. One thread at a time; it holds
// its connection while it lives.

#include "db/DaoConnection.h"
#include "db/PgTableScan.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDaoDatabase;

class TableScan {
public:
    // columns: the column names, comma-separated ("SCA, Mittente"); read by position from 0.
    TableScan(CDaoDatabase* database, std::string_view table, std::string_view columns);
    ~TableScan();
    TableScan(const TableScan&) = delete;
    TableScan& operator=(const TableScan&) = delete;

    // False when the table or a column is missing, or no file is open (ErrorText says why).
    bool IsOpen() const { return walk != nullptr || server != nullptr; }

    // Starts the walk at the first row whose key is at least `key`.
    bool StartAt(std::int64_t key);
    // Makes the next row current; false at the end or when the engine broke off (ErrorText).
    bool Next();

    std::int64_t Key() const;
    std::string_view Text(int column) const;
    std::int64_t Integer(int column) const;
    bool IsNull(int column) const;

    // The table's rows; -1 on failure.
    std::int64_t Count();
    // Every key of the table, ascending; those read before a failure, with ErrorText set.
    std::vector<std::int64_t> Keys();

    const std::string& ErrorText() const { return error; }

private:
    std::shared_ptr<DaoConnection> connection;
    std::string table;
    StatementPtr walk;
    std::unique_ptr<PgTableScan> server; // in place of walk on a server database
    std::string error;
};
