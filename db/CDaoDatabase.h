#pragma once
// The database file: one SQLite connection standing in for the Jet database object, or, when
// the name is a connection URI ("postgresql://user@host/dbname"), a PostgreSQL server's
// database holding the same tables (see PgDatabaseOpen.h for what open means there).
//
// A file counts as open only when it is an SQLite file holding the five Telvane tables, passes
// the engine's quick check (skipped while the file is as it was when it last passed, see
// IntegrityRecord.h) and, unless opened read-only, takes a write (its journal included); a
// missing file is never created. Opened exclusively, the file stays locked against every other
// connection (other processes included) until Close. Record sets are built on this object; Close
// closes those still open that the calling thread opened. A record set open on another thread
// is left to that thread: it keeps the old connection until it closes, so Close (and an Open
// after it) never frees what that thread is using. The connection is serialised, so record sets
// may live on different threads.

#include "core/AtomicFile.h"
#include "db/DaoConnection.h"

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
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
    // On a server database: whether the server is still there, a new link tried when it was
    // lost (DaoConnection::CheckServerLink). Up on a file, and while nothing is open.
    ServerLink CheckServerLink(std::string& error) const;

private:
    friend class CDaoRecordset;
    friend class TableScan;
    friend class KeyTable;
    friend class DeliveryTable;
    friend class OutboxTable;
    friend class ReceivedKeyTable;
    friend class BusyWait;
    friend FileWriteResult SaveDatabaseCopy(CDaoDatabase&, const std::string&, Overwrite);

    // The connection record sets open on; null while no file is open.
    std::shared_ptr<DaoConnection> Connection() const;
    void Register(CDaoRecordset* recordset);
    void Unregister(CDaoRecordset* recordset);

    bool OpenServer(const std::string& uri, bool exclusive, bool readOnly);
    // Records why an Open failed (the engine's message on candidate, else text); false.
    bool Refuse(DbOpenFailure failure, sqlite3* candidate, const std::string& text = {});

    std::shared_ptr<DaoConnection> connection;
    mutable std::mutex mutex;
    // The open record sets and the thread that opened each.
    std::vector<std::pair<CDaoRecordset*, std::thread::id>> openRecordsets;
    DbOpenFailure openFailure = DbOpenFailure::None;
    std::string openError;
};
