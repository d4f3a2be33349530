#pragma once
// The database file: one SQLite connection standing in for the Jet database object.
//
// A file counts as open only when it is an SQLite file holding the five Telvane tables, passes
// the engine's quick check and, unless opened read-only, takes a write (its journal included); a
// missing file is never created. Opened exclusively, the file stays locked against every other
// connection (other processes included) until Close. Record sets are built on this object; Close
// closes any still open. The connection is serialised, so record sets may live on different
// threads, but Close and Open must not race with a record set in use on another thread.

#include "db/AtomicFile.h"
#include "db/SqliteHandles.h"

#include <mutex>
#include <string>
#include <vector>

class CDaoRecordset;

// Why the last Open left the database closed.
enum class DbOpenFailure { None, CannotOpen, NotTelvane, ReadOnly, Damaged, Locked };

class CDaoDatabase {
public:
    CDaoDatabase() = default;
    ~CDaoDatabase();
    CDaoDatabase(const CDaoDatabase&) = delete;
    CDaoDatabase& operator=(const CDaoDatabase&) = delete;

    // Closes any open file first. Afterwards IsOpen tells whether it worked.
    bool Open(const std::string& name, bool exclusive = false, bool readOnly = false);
    void Close();
    bool IsOpen() const;
    DbOpenFailure OpenFailure() const;
    // The engine's own words for the last failed Open, empty after a successful one.
    std::string OpenErrorText() const;

private:
    friend class CDaoRecordset;
    friend FileWriteResult SaveDatabaseCopy(CDaoDatabase&, const std::string&, Overwrite);

    sqlite3* Handle() const { return handle.get(); }
    void Register(CDaoRecordset* recordset);
    void Unregister(CDaoRecordset* recordset);

    // Appends of every record set are grouped into one transaction, begun by the first append
    // and committed when the last record set that appended closes: all of the group's rows are
    // stored, or none. False (error says why) when the group's rows are not or will not be
    // stored.
    bool BeginAppend(bool& joined, std::string& error);
    bool EndAppendGroup(std::string& error);
    // An append the engine refused: the group's rows are rolled back and its later appends and
    // its commit fail with this error.
    void FailAppends(const std::string& error);
    bool CommitLocked(std::string& error);
    // Records why an Open failed (the engine's message on candidate, else text); false.
    bool Refuse(DbOpenFailure failure, sqlite3* candidate, const std::string& text = {});

    SqlitePtr handle;
    mutable std::mutex mutex;
    std::vector<CDaoRecordset*> openRecordsets;
    int appendGroupMembers = 0;
    std::string appendError; // set once the group has failed
    DbOpenFailure openFailure = DbOpenFailure::None;
    std::string openError;
};
