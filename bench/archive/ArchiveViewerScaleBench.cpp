// "SMS View" on realistic archives of 100,000 and 1,000,000 messages: the dialog opened and shown
// (its floor: a counted, paged read of the same table - the row count and the first screen of
// rows straight from the engine), a search typed at once (served when the index built in the
// background is ready, the window never frozen meanwhile) and keystrokes after it, beside the
// floor of one pass over the folded texts in memory. Real widgets on the offscreen platform, a real
// database file; the memory the open added is printed beside the file's size.

#include "ArchiveGenerator.h"
#include "ViewerBenchSetup.h"
#include "archive/ArchiveListModel.h"
#include "archive/CSmsArchiveDlg.h"
#include "core/MessageSink.h"
#include "db/CDaoDatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

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

// The dialog opened and its list shown (with `both`, OUT clicked as well), timed; then, untimed,
// the search index built behind the open is waited for, so that the memory counts it. The peak
// memory is the process's: the first size run shows the open's own best.
void TimeViewerOpens(benchmark::State& state, bool both) {
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
        std::unique_ptr<CSmsArchiveDlg> dialog;
        const double seconds = Seconds([&] { dialog = OpenViewer(database, sink, both); });
        state.SetIterationTime(seconds);
        state.PauseTiming();
        dialog->findChild<ArchiveListModel*>()->FinishSearch();
        dialog.reset();
        state.ResumeTiming();
    }
    state.counters["floor ms"] = 1000 * floor / static_cast<double>(state.iterations());
    state.counters["peak added MiB"] = PeakMiB() - before;
    state.counters["file MiB"] = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
}

void BM_ViewerOpenAtScale(benchmark::State& state) {
    TimeViewerOpens(state, false);
}
BENCHMARK(BM_ViewerOpenAtScale)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Both boxes checked (run alone for its own peak memory).
void BM_ViewerBothTablesAtScale(benchmark::State& state) {
    TimeViewerOpens(state, true);
}
BENCHMARK(BM_ViewerBothTablesAtScale)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The floor of a keystroke: one pass of std::string::find over the kept folded keys of every
// row, held in one string, counting the fields that hold the word; the mean over the words.
double ScanFloorMs(const std::string& path, const std::vector<std::string>& words) {
    sqlite3* handle = nullptr;
    sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
    std::string keys;
    sqlite3_stmt* walk = nullptr;
    sqlite3_prepare_v2(handle, "SELECT First FROM SMS_In_SearchKey", -1, &walk, nullptr);
    while (sqlite3_step(walk) == SQLITE_ROW) {
        keys.append(reinterpret_cast<const char*>(sqlite3_column_text(walk, 0)),
                    static_cast<std::size_t>(sqlite3_column_bytes(walk, 0)));
        keys += '\0';
    }
    sqlite3_finalize(walk);
    sqlite3_close(handle);
    long hits = 0;
    const double seconds = Seconds([&] {
        for (const std::string& word : words)
            for (std::size_t at = 0; (at = keys.find(word, at)) != std::string::npos;
                 at = keys.find('\0', at)) // one hit per field
                ++hits;
    });
    benchmark::DoNotOptimize(hits);
    return 1000 * seconds / static_cast<double>(words.size());
}

// A search typed at once after opening, while the index is still being built in the background:
// the keystroke's own time on the user-interface thread, the time until its rows are shown, and
// the longest the window froze meanwhile. Then each further keystroke, served from the index.
void BM_ViewerKeystrokeAtScale(benchmark::State& state) {
    EnsureApplication();
    CDaoDatabase database;
    if (!OpenArchive(state, database))
        return;
    SilentSink sink;
    const double before = PeakMiB();
    const auto opened = std::chrono::steady_clock::now();
    CSmsArchiveDlg dialog(&database, nullptr, &sink);
    dialog.show();
    QApplication::processEvents();
    const auto* model = dialog.findChild<ArchiveListModel*>();
    const double firstKeystroke =
        Seconds([&dialog] { dialog.SearchField()->setText(QStringLiteral("z")); });
    const double stall = LongestStallMs([model] { return !model->SearchWaiting(); });
    const double shownAfterOpen =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
    const double indexMiB = PeakMiB() - before;
    const QStringList typed = {QStringLiteral("zeppelin"), QStringLiteral("citta"),
                               QStringLiteral("strasse"), QStringLiteral("Αθήνα"),
                               QStringLiteral("e")};
    std::size_t next = 0;
    std::vector<double> keystrokes;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        const double seconds = Seconds([&] {
            dialog.SearchField()->setText(typed[static_cast<qsizetype>(next)]);
            QApplication::processEvents();
        });
        next = (next + 1) % static_cast<std::size_t>(typed.size());
        keystrokes.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    std::ranges::sort(keystrokes);
    // A later viewer finds the keys kept by the first.
    CSmsArchiveDlg again(&database, nullptr, &sink);
    again.show();
    QApplication::processEvents();
    const auto* againModel = again.findChild<ArchiveListModel*>();
    const double withKeys = Seconds([&] {
        again.SearchField()->setText(QStringLiteral("z"));
        LongestStallMs([againModel] { return !againModel->SearchWaiting(); });
    });
    database.Close();
    state.counters["first keystroke ms"] = 1000 * firstKeystroke;
    state.counters["longest freeze ms"] = stall;
    state.counters["shown after open ms"] = 1000 * shownAfterOpen;
    state.counters["shown, keys kept ms"] = 1000 * withKeys;
    state.counters["search peak added MiB"] = indexMiB;
    state.counters["keystroke median ms"] = 1000 * keystrokes[keystrokes.size() / 2];
    state.counters["keystroke max ms"] = 1000 * keystrokes.back();
    state.counters["scan floor ms"] = ScanFloorMs(GeneratedArchive(state.range(0)),
                                                  {"zeppelin", "citta", "strasse", "αθηνα", "e"});
}
BENCHMARK(BM_ViewerKeystrokeAtScale)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
