#include "db/BusyWait.h"

#include "db/CDaoDatabase.h"

#include <sqlite3.h>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kStep{10};

} // namespace

BusyWait::BusyWait(CDaoDatabase& database, std::chrono::milliseconds most,
                   const std::atomic<bool>& stopFlag)
    : connection(database.Connection()), limit(most), stop(stopFlag) {
    // A server waits for its own locks.
    if (connection && connection->IsServer())
        connection.reset();
    if (connection)
        sqlite3_busy_handler(connection->Handle(), &BusyWait::Handler, this);
}

BusyWait::~BusyWait() {
    if (connection)
        sqlite3_busy_timeout(connection->Handle(), static_cast<int>(limit.count()));
}

int BusyWait::Handler(void* self, int calls) {
    const auto& wait = *static_cast<const BusyWait*>(self);
    if (wait.stop.load() || kStep * calls >= wait.limit)
        return 0;
    std::this_thread::sleep_for(kStep);
    return 1;
}
