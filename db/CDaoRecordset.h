#pragma once
// A record set over one table of the database: walks its rows in key order with the current
// row's values in the bound members of the derived class, finds a row by a column's value, and
// appends rows.
//
// Each derived class names its table ("[SMS_In]") and lists its bound members in column order.
// Open takes "SELECT * FROM <table>" (or the bracketed table name) with the table name in any
// case; other SQL is refused. Text members hold at most 255 characters, on reading and on
// writing. Appends are grouped into one transaction that commits when the last record set that
// appended closes: the group's rows are all stored or none, and Close says which. Engine errors
// give a false result (ErrorText then holds the engine's message) or the closed state, never an
// exception; a walk the engine breaks off ends at EOF with ErrorText set.
//
// On a PostgreSQL server database the same holds (PgRecordCursor.h says how rows are walked).
//
// One record set is used by one thread at a time: the one that opened it. It holds its
// connection while open, so a Close of the database on another thread leaves it working.
// Not copyable: the field list points into it.

#include "db/DaoConnection.h"
#include "db/DbDateTime.h"
#include "db/SqliteHandles.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class CDaoDatabase;
class PgRecordCursor;

// The open types and options of the framework; only the dynaset is offered.
inline constexpr int dbOpenDynaset = 2;
inline constexpr int dbSeeChanges = 512;

// Capacity of a text column, in characters.
inline constexpr std::size_t kDbTextCapacity = 255;

using CDaoFieldRef =
    std::variant<std::string*, std::uint8_t*, std::int32_t*, std::optional<DbDateTime>*>;
using CDaoValue = std::variant<std::string, std::uint8_t, std::int32_t, std::optional<DbDateTime>>;

struct CDaoField {
    std::string_view column;
    CDaoFieldRef member;
};

class CDaoRecordset {
public:
    explicit CDaoRecordset(CDaoDatabase* db);
    virtual ~CDaoRecordset();
    CDaoRecordset(const CDaoRecordset&) = delete;
    CDaoRecordset& operator=(const CDaoRecordset&) = delete;

    // Opens the rows of the table and makes the first one current. An empty sql opens the
    // default one. Afterwards IsOpen tells whether it worked.
    bool Open(int openType = dbOpenDynaset, const std::string& sql = {}, int options = 0);
    bool IsOpen() const { return open; }
    // False when rows appended through this record set (or another of its group) were not
    // stored: the engine refused one, or the commit; ErrorText says why.
    bool Close();
    // The engine's message for the last failed operation; empty while none has failed.
    const std::string& ErrorText() const { return error; }

    bool MoveFirst();
    bool MoveNext();
    // True past the last row, on an empty table and when not open.
    bool IsEOF() const { return eof; }

    // Makes the first row whose column equals value, case ignored (the LIKE rule without
    // wildcards: '%', '_' and quotes match only themselves), current. False when no row
    // matches; the current row then stays as it was.
    bool FindFirst(std::string_view column, std::string_view value);

    // Starts a new row: the bound members take empty values; those still unchanged at Update
    // get the table's defaults (the key's next number included).
    bool AddNew();
    // Stores the row begun by AddNew; the members then show the current row again.
    bool Update();

    virtual std::string GetDefaultSQL() const = 0;
    // The bound members, in the table's column order.
    virtual std::vector<CDaoField> DoFieldExchange() = 0;

private:
    std::string ColumnList();
    bool PrepareWalk();
    bool StartWalkAfter(std::int64_t rowid);
    bool Step(sqlite3_stmt* statement);
    bool FindOnServer(const CDaoField& field, std::string_view value);
    void LoadFields(sqlite3_stmt* statement);
    std::vector<CDaoValue> Snapshot();
    void Restore(const std::vector<CDaoValue>& values);
    bool InsertChanged();
    std::string TableName() const;

    CDaoDatabase* database;
    // Held from Open to Close: the statements below belong to it.
    std::shared_ptr<DaoConnection> connection;
    std::string table;
    std::vector<CDaoField> fields; // the bound members, listed once at Open
    StatementPtr walk;
    std::unique_ptr<PgRecordCursor> server; // in place of the statements on a server database
    StatementPtr find;
    std::string findColumn;
    StatementPtr insert;
    std::vector<bool> insertColumns;
    std::vector<CDaoValue> addNewValues;
    std::vector<CDaoValue> currentValues;
    bool open = false;
    bool eof = true;
    bool adding = false;
    bool inAppendGroup = false;
    std::string error;
};
