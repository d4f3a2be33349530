#pragma once
// A record set's rows on a PostgreSQL server: the walk in key order (the ID column where the
// table has one, else the rows' physical order, which for the option and phonebook tables is the
// order they were added in), the find, and the insert, with the values in the record set's bound
// members. Rows come in batches, read after the last key seen, so a walk sees rows appended
// while it runs, as on SQLite.

#include "db/CDaoRecordset.h"
#include "db/DaoConnection.h"
#include "db/PgHandles.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class PgRecordCursor {
public:
    PgRecordCursor(std::shared_ptr<DaoConnection> connection, std::string_view table,
                   const std::vector<CDaoField>& fields);

    // False (error says why) when the table or one of the columns is missing.
    bool Check(std::string& error);
    // Each makes a row current (eof when none); false when the server broke off.
    bool First(bool& eof, std::string& error);
    bool Next(bool& eof, std::string& error);
    // The first row whose column equals value, case ignored; found false when none (the
    // current row then stays).
    bool Find(const CDaoField& field, std::string_view value, bool& found, std::string& error);
    // Inserts the changed values; the others take the table's defaults.
    bool Insert(const std::vector<CDaoValue>& values, const std::vector<bool>& changed,
                std::string& error);

private:
    std::string Select() const;
    bool FetchAfterLast(std::string& error);
    bool Advance(bool& eof, std::string& error);
    void Load(const PgOutcome& rows, int row) const;

    std::shared_ptr<DaoConnection> connection;
    std::string table; // quoted
    std::string key;   // the key column's expression
    std::string keyType;
    const std::vector<CDaoField>& fields;
    std::optional<std::string> lastKey; // of the current row; none before the first
    PgOutcome batch;
    int batchRow = 0;
};

// A name as the server spells an unquoted one (lower case), quoted.
std::string ServerName(std::string_view name);
