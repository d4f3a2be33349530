#pragma once
// The database file: one SQLite connection standing in for the Jet database object.
//
// A file counts as open only when it is an SQLite file holding the five Telvane tables; a
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

private:
    friend class CDaoRecordset;
    friend FileWriteResult SaveDatabaseCopy(CDaoDatabase&, const std::string&, Overwrite);

    sqlite3* Handle() const { return handle.get(); }
    void Register(CDaoRecordset* recordset);
    void Unregister(CDaoRecordset* recordset);

    // Appends of every record set are grouped into one transaction, begun by the first append
    // and committed when the last record set that appended closes.
    bool BeginAppend(bool& joined);
    void EndAppendGroup();
    // Commits what the group holds so far: called after an engine error so the rows saved
    // before it stay saved whatever happens next.
    void SaveAppends();
    void CommitLocked();

    SqlitePtr handle;
    mutable std::mutex mutex;
    std::vector<CDaoRecordset*> openRecordsets;
    int appendGroupMembers = 0;
};
