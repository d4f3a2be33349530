// "SMS View" on realistic archives of 100,000 and 1,000,000 messages: the dialog opened and shown
// (its floor: a counted, paged read of the same table - the row count and the first screen of
// rows straight from the engine), the first search (which folds the listed texts) and a
// keystroke after it. Real widgets on the offscreen platform, a real database file; the memory
// the open added is printed beside the file's size.

#include "ArchiveGenerator.h"
#include "ViewerBenchSetup.h"
#include "archive/CSmsArchiveDlg.h"
#include "db/CDaoDatabase.h"
#include "core/MessageSink.h"

#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sqlite3.h>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The process's peak resident memory so far (VmHWM), in MiB.
double PeakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

template <class Work> double Seconds(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The floor of an open: the count and a screen of rows, read straight from the engine.
double PagedFloorSeconds(const std::string& path) {
    sqlite3* handle = nullptr;
    sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
    const double seconds = Seconds([handle] {
        sqlite3_exec(handle, "SELECT count(*) FROM SMS_In", nullptr, nullptr, nullptr);
        sqlite3_exec(handle, "SELECT * FROM SMS_In ORDER BY rowid LIMIT 40", nullptr, nullptr,
                     nullptr);
    });
    sqlite3_close(handle);
    return seconds;
}

bool OpenArchive(benchmark::State& state, CDaoDatabase& database) {
    const std::string path = GeneratedArchive(state.range(0));
    if (!path.empty() && database.Open(path, true, false))
        return true;
    state.SkipWithError("no archive");
    return false;
}

// The peak memory is the process's: the first size run shows the open's own best.
void BM_ViewerOpenAtScale(benchmark::State& state) {
    EnsureApplication();
    const std::string path = GeneratedArchive(state.range(0));
    SilentSink sink;
    double floor = 0;
    const double before = PeakMiB();
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        state.PauseTiming();
        // The file is opened exclusively: the floor reads it before.
        floor += PagedFloorSeconds(path);
        CDaoDatabase database;
        if (!OpenArchive(state, database))
            return;
        state.ResumeTiming();
        const double seconds = Seconds([&] {
            CSmsArchiveDlg dialog(&database, nullptr, &sink);
            dialog.show();
            QApplication::processEvents(); // the first layout and paint of the list
        });
        state.SetIterationTime(seconds);
    }
    state.counters["floor ms"] = 1000 * floor / static_cast<double>(state.iterations());
    state.counters["peak added MiB"] = PeakMiB() - before;
    state.counters["file MiB"] = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ViewerOpenAtScale)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The first text typed after opening reads the searched texts (and, on an archive that keeps no
// search keys yet, makes them); then each keystroke is one pass over them in memory.
void BM_ViewerKeystrokeAtScale(benchmark::State& state) {
    EnsureApplication();
    CDaoDatabase database;
    if (!OpenArchive(state, database))
        return;
    SilentSink sink;
    CSmsArchiveDlg dialog(&database, nullptr, &sink);
    dialog.show();
    QApplication::processEvents();
    const double before = PeakMiB();
    const double first = Seconds([&dialog] {
        dialog.SearchField()->setText(QStringLiteral("z"));
        QApplication::processEvents();
    });
    const double indexMiB = PeakMiB() - before;
    const QStringList typed = {QStringLiteral("zeppelin"), QStringLiteral("citta"),
                               QStringLiteral("strasse"), QStringLiteral("Αθήνα")};
    std::size_t next = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        const double seconds = Seconds([&] {
            dialog.SearchField()->setText(typed[static_cast<qsizetype>(next)]);
            QApplication::processEvents();
        });
        next = (next + 1) % static_cast<std::size_t>(typed.size());
        state.SetIterationTime(seconds);
    }
    // A later viewer finds the keys kept by the first search.
    CSmsArchiveDlg again(&database, nullptr, &sink);
    again.show();
    QApplication::processEvents();
    const double firstWithKeys = Seconds([&again] {
        again.SearchField()->setText(QStringLiteral("z"));
        QApplication::processEvents();
    });
    state.counters["first search ms"] = 1000 * first;
    state.counters["first search, keys kept ms"] = 1000 * firstWithKeys;
    state.counters["search peak added MiB"] = indexMiB;
}
BENCHMARK(BM_ViewerKeystrokeAtScale)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
