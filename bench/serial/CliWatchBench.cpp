// telvane-cli watch against the phone simulator: 100 messages arriving one after the other, each
// timed from the moment it is asked of the simulator (its fifo; the simulator tells "+CMTI"
// within one 20 ms pass) to the moment its line is in watch's output. The median and the worst
// are the counters; the goal is under 0.5 s.

#include "cli/CliTestSetup.h"
#include "common/PhoneSim.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr int kArrivals = 100;
constexpr auto kGiveUp = std::chrono::seconds(10);

std::size_t OutputLines(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return SplitLines(text.str()).size();
}

void BM_CliWatchArrivalToLine(benchmark::State& state) {
    std::vector<double> latencies;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        CliTestBase setup;
        PhoneSimOptions options{"capacity SM 200\n"};
        options.arrivals = true;
        PhoneSim phone(options);
        CliProcess watch(setup.dir.path.string(), {"--port", phone.LinkPath(), "watch", "--move"});
        if (!watch.Start() || !phone.WaitForTranscript([&](const auto&) {
                return std::ranges::count(phone.Received(), "AT+CNMI=2,1,0,1,0") > 0;
            })) {
            state.SkipWithError("watch did not start listening");
            return;
        }
        const std::string out = setup.dir.File("stdout");
        for (int n = 1; n <= kArrivals; ++n) {
            const auto start = std::chrono::steady_clock::now();
            phone.Arrive("1");
            // The heading line, then one line per message.
            while (OutputLines(out) < static_cast<std::size_t>(n) + 1 &&
                   std::chrono::steady_clock::now() - start < kGiveUp)
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            latencies.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        watch.Signal(SIGINT);
        if (watch.Wait(10000).status != 0)
            state.SkipWithError("watch did not end cleanly");
    }
    std::ranges::sort(latencies);
    state.counters["median_s"] = latencies[latencies.size() / 2];
    state.counters["worst_s"] = latencies.back();
}
BENCHMARK(BM_CliWatchArrivalToLine)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
