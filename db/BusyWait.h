#pragma once
// How long a connection waits for another program's lock on the file (a queue insert, an
// sqlite3 shell, the window's exclusive open) before a statement fails "database is locked":
// up to the limit, in short steps, and no longer once `stop` is raised, so that a stop is never
// held up by somebody else's transaction. Restores a plain time-out of the same limit when it
// goes. Keep the object alive while the database is open; set it after other time-outs.

#include <atomic>
#include <chrono>
#include <memory>

class CDaoDatabase;
class DaoConnection;

class BusyWait {
public:
    BusyWait(CDaoDatabase& database, std::chrono::milliseconds limit,
             const std::atomic<bool>& stop);
    ~BusyWait();
    BusyWait(const BusyWait&) = delete;
    BusyWait& operator=(const BusyWait&) = delete;

private:
    static int Handler(void* self, int calls);

    std::shared_ptr<DaoConnection> connection;
    std::chrono::milliseconds limit;
    const std::atomic<bool>& stop;
};
