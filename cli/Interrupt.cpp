#include "cli/Interrupt.h"

#include <csignal>

namespace {

// What "Stop current task" puts into stopRequest: every worker's stop bit.
constexpr int kStopAllWorkers = 3;

std::atomic<bool> interrupted{false};
std::atomic<std::atomic<int>*> stopTarget{nullptr};

static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<std::atomic<int>*>::is_always_lock_free);

// Async-signal-safe: lock-free atomic stores only.
extern "C" void OnInterrupt(int /*signal*/) {
    interrupted.store(true);
    if (std::atomic<int>* target = stopTarget.load())
        target->store(kStopAllWorkers);
}

} // namespace

const std::atomic<bool>& Interrupted() {
    return interrupted;
}

void InstallInterruptHandlers(std::atomic<int>& stopRequest) {
    stopTarget.store(&stopRequest);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A reader of the output that goes away (| head) must not end the program with the port
    // open: the write fails instead and the run ends on its normal way out.
    std::signal(SIGPIPE, SIG_IGN);
}

void DetachStopRequest() {
    stopTarget.store(nullptr);
}
