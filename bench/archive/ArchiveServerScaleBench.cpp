// "SMS View" on the same 100,000 realistic messages held by a file and by a PostgreSQL server
// database, side by side in one run: the viewer opened on both tables, the first search (its keys
// made and kept, its index built), later keystrokes, a viewer finding the keys kept, and the
// export of a search's rows and of every row. The server database is a fresh one per benchmark,
// with the generated file's rows copied in; the cluster is a throw-away one of the benchmark's
// own (tests/db/pg-cluster.sh) unless TELVANE_PG_URI names a server. Each figure is the median
// of its runs; the exported row counts show that both engines give the same rows.

#include "ArchiveGenerator.h"
#include "ServerArchiveCopy.h"
#include "ViewerBenchSetup.h"
#include "archive/ArchiveListModel.h"
#include "archive/CSmsArchiveDlg.h"
#include "bench/PgBenchCluster.h"
#include "db/CDaoDatabase.h"
#include "db/PgTestServer.h"

#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr long kMessages = 100'000;
constexpr int kFile = 0;
constexpr int kServer = 1;

// A fresh archive of the generated rows on one engine: a copy of the generated file, or a new
// server database holding its rows. Name() is empty (Failure() says why) when it was not made.
class EngineArchive {
public:
    EngineArchive(long messages, bool onServer) {
        const std::string generated = GeneratedArchive(messages);
        if (generated.empty()) {
            failure = "no archive was generated";
            return;
        }
        if (onServer) {
            static PgBenchCluster cluster;
            server = std::make_unique<PgTestDatabase>();
            failure = server->SkipReason() + server->Failure();
            if (server->Ready() &&
                (failure = CopyArchiveToServer(generated, server->Uri())).empty())
                name = server->Uri();
            return;
        }
        file = fs::temp_directory_path() / ("telvane-engine-bench-" + std::to_string(getpid()) +
                                            "-" + std::to_string(++made) + ".mdb");
        std::error_code error;
        fs::copy_file(generated, file, fs::copy_options::overwrite_existing, error);
        if (error)
            failure = error.message();
        else
            name = file.string();
    }
    ~EngineArchive() {
        std::error_code ignored;
        if (!file.empty())
            fs::remove(file, ignored);
    }
    EngineArchive(const EngineArchive&) = delete;
    EngineArchive& operator=(const EngineArchive&) = delete;

    // Opens it as the window does; false, the benchmark skipped saying why, when it cannot.
    bool Open(benchmark::State& state, CDaoDatabase& database) const {
        if (!name.empty() && database.Open(name, true, false))
            return true;
        state.SkipWithError((name.empty() ? failure : "cannot open " + name).c_str());
        return false;
    }

private:
    static inline int made = 0;
    std::unique_ptr<PgTestDatabase> server;
    fs::path file;
    std::string name;
    std::string failure;
};

double MedianMs(std::vector<double> seconds) {
    if (seconds.empty())
        return 0;
    std::ranges::sort(seconds);
    return 1000 * seconds[seconds.size() / 2];
}

std::string EngineLabel(const benchmark::State& state) {
    return state.range(1) == kServer ? "server" : "file";
}

// The viewer opened on both tables and shown; the index built behind each open is then waited
// for, untimed, so that the peak memory counts it.
void BM_EngineViewerOpen(benchmark::State& state) {
    EnsureApplication();
    const EngineArchive archive(state.range(0), state.range(1) == kServer);
    SilentSink sink;
    const double before = PeakMiB();
    std::vector<double> opens;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        state.PauseTiming();
        CDaoDatabase database;
        if (!archive.Open(state, database))
            return;
        state.ResumeTiming();
        std::unique_ptr<CSmsArchiveDlg> dialog;
        opens.push_back(Seconds([&] { dialog = OpenViewer(database, sink, true); }));
        state.SetIterationTime(opens.back());
        state.PauseTiming();
        dialog->findChild<ArchiveListModel*>()->FinishSearch();
        dialog.reset();
        state.ResumeTiming();
    }
    state.SetLabel(EngineLabel(state));
    state.counters["open median ms"] = MedianMs(opens);
    state.counters["peak added MiB"] = PeakMiB() - before;
}

// Sets the search text and waits until its rows are shown; the seconds it took.
double SearchSeconds(CSmsArchiveDlg& dialog, const QString& text) {
    const auto* model = dialog.findChild<ArchiveListModel*>();
    return Seconds([&] {
        dialog.SearchField()->setText(text);
        LongestStallMs([model] { return !model->SearchWaiting(); });
        QApplication::processEvents();
    });
}

// The rows shown exported to a new CSV file: the median seconds of three, and the rows written.
std::pair<double, int> ExportMs(CSmsArchiveDlg& dialog) {
    std::vector<double> seconds;
    int rows = -1;
    for (int run = 0; run < 3; ++run) {
        const fs::path path = fs::temp_directory_path() /
                              ("telvane-engine-export-" + std::to_string(getpid()) + ".csv");
        seconds.push_back(Seconds([&] { rows = dialog.ExportTo(path.string()); }));
        std::error_code ignored;
        fs::remove(path, ignored);
    }
    return {MedianMs(seconds), rows};
}

// On a fresh archive (no search keys kept yet): the first search typed as soon as the viewer is
// shown, until its rows are, with the longest freeze meanwhile; then each keystroke after it;
// then the exports; then a second viewer, which finds the keys the first kept.
void BM_EngineSearchAndExport(benchmark::State& state) {
    EnsureApplication();
    const EngineArchive archive(state.range(0), state.range(1) == kServer);
    CDaoDatabase database;
    if (!archive.Open(state, database))
        return;
    SilentSink sink;
    const double before = PeakMiB();
    const auto dialog = OpenViewer(database, sink, true);
    const auto* model = dialog->findChild<ArchiveListModel*>();
    double stall = 0;
    const double first = Seconds([&] {
        dialog->SearchField()->setText(QStringLiteral("z"));
        stall = LongestStallMs([model] { return !model->SearchWaiting(); });
    });
    const double searchMiB = PeakMiB() - before;
    const QStringList typed = {QStringLiteral("zeppelin"), QStringLiteral("citta"),
                               QStringLiteral("strasse"), QStringLiteral("Αθήνα"),
                               QStringLiteral("e")};
    std::vector<double> keystrokes;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        keystrokes.push_back(
            SearchSeconds(*dialog, typed[static_cast<qsizetype>(keystrokes.size()) % 5]));
        state.SetIterationTime(keystrokes.back());
    }
    SearchSeconds(*dialog, QStringLiteral("strasse"));
    const auto [searchExport, searchRows] = ExportMs(*dialog);
    SearchSeconds(*dialog, QStringLiteral(""));
    const auto [allExport, allRows] = ExportMs(*dialog);
    const auto again = OpenViewer(database, sink, true);
    const double kept = SearchSeconds(*again, QStringLiteral("z"));
    state.SetLabel(EngineLabel(state));
    state.counters["first search ms"] = 1000 * first;
    state.counters["longest freeze ms"] = stall;
    state.counters["search peak added MiB"] = searchMiB;
    state.counters["keystroke median ms"] = MedianMs(keystrokes);
    state.counters["keystroke max ms"] = 1000 * *std::ranges::max_element(keystrokes);
    state.counters["keys kept search ms"] = 1000 * kept;
    state.counters["export strasse ms"] = searchExport;
    state.counters["export strasse rows"] = searchRows;
    state.counters["export all ms"] = allExport;
    state.counters["export all rows"] = allRows;
    state.counters["peak MiB"] = PeakMiB();
}

// File, then server, for each benchmark: the same rows in the same run.
void BothEngines(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({kMessages, kFile})->Args({kMessages, kServer});
}

BENCHMARK(BM_EngineViewerOpen)
    ->Apply(BothEngines)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineSearchAndExport)
    ->Apply(BothEngines)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
