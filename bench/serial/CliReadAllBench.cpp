// telvane-cli read --all of 30 and of 250 stored 160-character messages from the phone
// simulator at 115200 baud, beside the line's floor (the bytes that crossed the line, both ways,
// divided by its byte rate) and, when gammu is installed, `gammu getallsms` on the same
// simulator in the same run.

#include "bench/serial/CliBenchLine.h"
#include "cli/CliTestSetup.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kBaud = kBenchBaud;
constexpr const char* kGammu = "/usr/bin/gammu";

std::string Fixture(int messages) {
    std::string fixture = "capacity SM " + std::to_string(messages + 10) + "\n";
    for (int index = 1; index <= messages; ++index)
        fixture += "sms SM " + std::to_string(index) + " 1 " + std::string(kLongPdu) + "\n";
    return fixture;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// gammu getallsms on the simulator's link; -1 when it failed.
double GammuSeconds(const std::string& folder, const std::string& link, int messages) {
    const std::string config = folder + "/gammurc";
    std::ofstream(config) << "[gammu]\nport = " << link << "\nconnection = at115200\n";
    const std::string output = folder + "/gammu.out";
    const std::string command =
        std::string(kGammu) + " -c '" + config + "' getallsms > '" + output + "' 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = Seconds(start);
    std::ifstream in(output);
    int listed = 0;
    for (std::string line; std::getline(in, line);)
        listed += line.starts_with("Location ") ? 1 : 0;
    return status == 0 && listed == messages ? seconds : -1;
}

void BM_CliReadAll(benchmark::State& state) {
    const int messages = static_cast<int>(state.range(0));
    const std::string fixture = Fixture(messages);
    double seconds = 0;
    double floor = 0;
    double gammu = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        state.PauseTiming();
        CliTestBase setup;
        PhoneSim phone({fixture, kBaud, {}});
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const CliResult result =
            setup.Cli({"--port", phone.LinkPath(), "--baud", std::to_string(kBaud), "--format",
                       "json", "read", "--all"});
        seconds += Seconds(start);
        state.PauseTiming();
        if (result.status != 0 || static_cast<int>(SplitLines(result.out).size()) != messages)
            state.SkipWithError(("the read failed: " + result.err).c_str());
        floor = LineFloorSeconds(phone, kBaud);
        if (access(kGammu, X_OK) == 0) {
            PhoneSim other({fixture, kBaud, {}});
            gammu += GammuSeconds(setup.dir.path.string(), other.LinkPath(), messages);
        }
        state.ResumeTiming();
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["read_s"] = seconds / runs;
    state.counters["line_floor_s"] = floor;
    state.counters["to_floor"] = seconds / runs / floor;
    if (access(kGammu, X_OK) == 0) {
        state.counters["gammu_s"] = gammu / runs; // negative: gammu failed
        state.counters["gammu_to_cli"] = gammu / seconds;
    }
}
BENCHMARK(BM_CliReadAll)->Arg(30)->Arg(250)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
