// telvane-cli read of 30 stored 160-character messages from the phone simulator at 115200 baud,
// with the line's floor: the bytes that crossed the line (both ways) divided by its byte rate.

#include "bench/serial/CliBenchLine.h"
#include "cli/CliTestSetup.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

namespace {

constexpr int kMessages = 30;
constexpr int kBaud = kBenchBaud;

void BM_CliReadThirtyMessages(benchmark::State& state) {
    std::string fixture = "capacity SM 40\n";
    for (int index = 1; index <= kMessages; ++index)
        fixture += "sms SM " + std::to_string(index) + " 1 " + std::string(kLongPdu) + "\n";
    double seconds = 0;
    double floor = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        state.PauseTiming();
        CliTestBase setup;
        PhoneSim phone({fixture, kBaud, {}});
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const CliResult result =
            setup.Cli({"--port", phone.LinkPath(), "--baud", std::to_string(kBaud), "read"});
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (result.status != 0 || SplitLines(result.out).size() != kMessages + 1)
            state.SkipWithError(("the read failed: " + result.err).c_str());
        floor = LineFloorSeconds(phone, kBaud);
        state.ResumeTiming();
    }
    state.counters["read_s"] = seconds / static_cast<double>(state.iterations());
    state.counters["line_floor_s"] = floor;
}
BENCHMARK(BM_CliReadThirtyMessages)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
