// 100 messages arriving one after the other at the real telvane-cli serve: each timed from the
// moment it is asked of the simulator (its fifo; "+CMTI" follows within one 20 ms pass) to its
// row committed in SMS_In (seen by a second connection) and to its hook started (the hook's
// first command writes the time). Counters: the median and the worst of each; the goal is well
// under 0.5 s.

#include "serve/ServeBenchSetup.h"

#include <benchmark/benchmark.h>
#include <sys/stat.h>

namespace {

constexpr int kArrivals = 100;

double Now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The times the hook wrote, one a line.
std::vector<double> HookTimes(const std::string& path) {
    std::vector<double> times;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (!in.eof())
            times.push_back(std::stod(line));
    return times;
}

void Report(benchmark::State& state, const std::string& name, std::vector<double> latencies) {
    std::ranges::sort(latencies);
    state.counters[name + "_median_s"] = latencies[latencies.size() / 2];
    state.counters[name + "_worst_s"] = latencies.back();
}

void BM_ServeArrivalToRowAndHook(benchmark::State& state) {
    std::vector<double> committed;
    std::vector<double> hooked;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        ServeBench bench("capacity SM 200\n");
        const std::string times = bench.dir.File("hook-times");
        const std::string hook = bench.dir.File("hook.sh");
        std::ofstream(hook) << "#!/bin/sh\ndate +%s.%N >> " << times << "\n";
        chmod(hook.c_str(), 0755);
        if (!bench.Start({"--on-receive", hook})) {
            state.SkipWithError("serve did not start");
            return;
        }
        const auto limit = std::chrono::seconds(10);
        for (int n = 1; n <= kArrivals; ++n) {
            const double asked = Now();
            bench.phone.Arrive("1");
            const bool stored = ServeBench::WaitUntil(
                [&] { return QueryCount(bench.database, "SELECT count(*) FROM SMS_In") >= n; },
                limit);
            committed.push_back(Now() - asked);
            const bool started = ServeBench::WaitUntil(
                [&] { return HookTimes(times).size() >= static_cast<std::size_t>(n); }, limit);
            if (!stored || !started) {
                state.SkipWithError("a message was not archived or not handed to the hook");
                return;
            }
            hooked.push_back(HookTimes(times).back() - asked);
        }
        if (!bench.Stop())
            state.SkipWithError("serve did not end with status 0");
    }
    Report(state, "committed", committed);
    Report(state, "hook_started", hooked);
}
BENCHMARK(BM_ServeArrivalToRowAndHook)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
