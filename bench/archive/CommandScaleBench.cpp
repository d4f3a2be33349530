// The command line on archives of 100,000 and 1,000,000 realistic messages and on a 50 MB
// capture, each figure beside its floor measured in the same iteration: the sqlite3 shell writing
// the same rows (CSV), the shell's LIKE for a search, and the codec decoding the capture's PDUs
// as it reads them. Whole processes are timed, their peak memory as the kernel counts it.

#include "ArchiveGenerator.h"
#include "CaptureFloor.h"
#include "ChildProcess.h"

#include <array>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kCli = std::string(TELVANE_BINARY_DIR) + "/bin/telvane-cli";
const std::string kSqlite = "/usr/bin/sqlite3";
const std::string kLogFloor = std::string(TELVANE_BINARY_DIR) + "/bin/telvane-log-floor";

fs::path Scratch(const std::string& name) {
    return fs::temp_directory_path() / ("telvane-bench-" + std::to_string(getpid()) + "-" + name);
}

struct Pair {
    ChildRun ours;
    ChildRun floor;
};

// Runs both commands once per iteration, ours first; the medians of nothing fancy: the figures
// of the last iteration, with the ratio of the sums.
//
// A first run of ours, not counted, is reported on its own: it checks the new file in full and,
// for a search, makes the search keys.
void TimeSideBySide(benchmark::State& state, const std::vector<std::string>& ours,
                    const std::vector<std::string>& floor) {
    if (ours.size() < 3 || ours[2].empty()) {
        state.SkipWithError("no archive");
        return;
    }
    state.counters["first run s"] = RunChild(ours).seconds;
    double oursTotal = 0;
    double floorTotal = 0;
    Pair last;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        last = {RunChild(ours), RunChild(floor)};
        if (!last.ours.ok || !last.floor.ok) {
            state.SkipWithError("a command failed");
            return;
        }
        oursTotal += last.ours.seconds;
        floorTotal += last.floor.seconds;
        state.SetIterationTime(last.ours.seconds);
    }
    state.counters["telvane s"] = oursTotal / static_cast<double>(state.iterations());
    state.counters["floor s"] = floorTotal / static_cast<double>(state.iterations());
    state.counters["ratio"] = oursTotal / floorTotal;
    state.counters["telvane MiB"] = last.ours.peakMiB;
    state.counters["floor MiB"] = last.floor.peakMiB;
}

void BM_ArchiveListing(benchmark::State& state) {
    const std::string archive = GeneratedArchive(state.range(0));
    TimeSideBySide(state, {kCli, "--db", archive, "--format", "csv", "archive", "--in", "--out"},
                   {kSqlite, "-csv", archive, "SELECT * FROM SMS_In; SELECT * FROM SMS_Out"});
}
BENCHMARK(BM_ArchiveListing)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The text form, aligned: its widths need every row first.
void BM_ArchiveListingText(benchmark::State& state) {
    const std::string archive = GeneratedArchive(state.range(0));
    TimeSideBySide(state, {kCli, "--db", archive, "archive", "--in", "--out"},
                   {kSqlite, "-column", archive, "SELECT * FROM SMS_In; SELECT * FROM SMS_Out"});
}
BENCHMARK(BM_ArchiveListingText)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_ArchiveSearchRareWord(benchmark::State& state) {
    const std::string archive = GeneratedArchive(state.range(0));
    const std::string like = std::string("'%") + kRareWord + "%'";
    TimeSideBySide(state,
                   {kCli, "--db", archive, "--format", "csv", "archive", "--in", "--out",
                    "--search", kRareWord},
                   {kSqlite, "-csv", archive,
                    "SELECT * FROM SMS_In WHERE Messaggio LIKE " + like +
                        "; SELECT * FROM SMS_Out WHERE Messaggio LIKE " + like});
}
BENCHMARK(BM_ArchiveSearchRareWord)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Every output format of `log`: they differ in what a row costs to write (text also measures
// each cell for the widths).
constexpr std::array<const char*, 3> kLogFormats = {"csv", "json", "text"};

// Beside `telvane-log-floor`, the codec decoding the capture's PDUs as it reads the file, as a
// process of its own: both start, read and end alike.
void BM_LogCommand(benchmark::State& state) {
    const char* format = kLogFormats.at(static_cast<std::size_t>(state.range(1)));
    state.SetLabel(format);
    const std::string capture = Scratch("capture.log").string();
    if (!WriteCapture(capture, static_cast<std::size_t>(state.range(0)) << 20U)) {
        state.SkipWithError("the capture could not be written");
        return;
    }
    TimeSideBySide(state, {kCli, "--db", GeneratedArchive(0), "--format", format, "log", capture},
                   {kLogFloor, capture});
    fs::remove(capture);
}
BENCHMARK(BM_LogCommand)
    ->Args({50, 0})
    ->Args({50, 1})
    ->Args({50, 2})
    ->Iterations(9)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
