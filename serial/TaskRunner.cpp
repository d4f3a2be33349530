#include "serial/TaskRunner.h"

#include <system_error>

CTaskRunner::~CTaskRunner() {
    Stop();
    Join();
}

bool CTaskRunner::Start(Work work, TaskFlags flags, EndReport ended, EndReport afterRelease) {
    PortLease lease = session.TakePort();
    if (!lease)
        return false;
    // The previous task has given the port back, so its thread is ending or gone.
    Join();
    if (flags.setsBusy)
        session.busy = 1;
    running.store(true, std::memory_order_release);
    try {
        thread = std::jthread([this, flags, held = std::move(lease), task = std::move(work),
                               report = std::move(ended),
                               after = std::move(afterRelease)](std::stop_token token) mutable {
            task(token);
            // A stop asked while nothing read stays set: only the read workers clear it.
            if (flags.setsBusy) {
                session.stopRequest = 0;
                session.busy = 0;
            }
            if (report)
                report();
            running.store(false, std::memory_order_release);
            held.Release();
            if (after)
                after();
        });
    } catch (const std::system_error&) {
        // No thread to be had: nothing runs (the lease went with the failed thread's callable).
        if (flags.setsBusy)
            session.busy = 0;
        running.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void CTaskRunner::Stop() {
    thread.request_stop();
}

void CTaskRunner::Join() {
    if (thread.joinable())
        thread.join();
}
