#include "tools/phonesim/StopSignal.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopFlag = 0;
pid_t watchedParent = 0;

void OnStopSignal(int /*signal*/) {
    stopFlag = 1;
}

} // namespace

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
    return stopFlag != 0 || (watchedParent != 0 && getppid() != watchedParent);
}

void StopWhenParentEnds() {
    watchedParent = getppid();
}

void SleepUnlessStopped(long ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!StopRequested()) {
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds::zero())
            return;
        std::this_thread::sleep_for(
            std::min<std::chrono::nanoseconds>(left, std::chrono::milliseconds(10)));
    }
}
