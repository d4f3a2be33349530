#pragma once
// The database file: one SQLite connection standing in for the Jet database object.
//
// A file counts as open only when it is an SQLite file holding the five Telvane tables; a
// missing file is never created. Opened exclusively, the file stays locked against every other
// connection (other processes included) until Close. Record sets are built on this object; Close
// closes those still open that the calling thread opened. A record set open on another thread
// is left to that thread: it keeps the old connection until it closes, so Close (and an Open
// after it) never frees what that thread is using. The connection is serialised, so record sets
// may live on different threads.

#include "db/DaoConnection.h"

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
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

    // The connection record sets open on; null while no file is open.
    std::shared_ptr<DaoConnection> Connection() const;
    void Register(CDaoRecordset* recordset);
    void Unregister(CDaoRecordset* recordset);

    std::shared_ptr<DaoConnection> connection;
    mutable std::mutex mutex;
    // The open record sets and the thread that opened each.
    std::vector<std::pair<CDaoRecordset*, std::thread::id>> openRecordsets;
};
