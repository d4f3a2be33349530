// Opening "SMS View" on an archive of 100,000 received and 100,000 sent messages with a
// phonebook of 1,000 entries (a name for every tenth number): the dialog built, filled with the
// received rows and shown, and the rebuild that lists both tables. Real widgets on the offscreen
// platform, a real database file.

#include "ViewerBenchSetup.h"
#include "archive/CSmsArchiveDlg.h"
#include "core/MessageSink.h"
#include "db/CDaoDatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <sqlite3.h>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kArchivedRows = 100'000;

const char* const kFill = R"sql(
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
INSERT INTO SMS_In (SCA, Mittente, DateTime, Messaggio)
SELECT '+393359609600', '+39333' || (1000000 + i % 10000), '2001-03-07 14:05:09',
       'Archived message number ' || i || ', about as long as a short text gets' FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
INSERT INTO SMS_Out (SCA, Mittente, Messaggio)
SELECT '+393359609600', '+39333' || (1000000 + i % 10000), 'Sent message ' || i FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 10 FROM n WHERE i < 9990)
INSERT INTO Phonebook (Pos, Numero, Nome, Type, Memory)
SELECT i, '+39333' || (1000000 + i), 'Contact ' || i, '145', 'SM' FROM n;
COMMIT;
)sql";

// A copy of the shipped database holding the archive; empty when it could not be made.
std::string MakeArchive() {
    const fs::path target =
        fs::temp_directory_path() / ("telvane-bench-archive-" + std::to_string(getpid()) + ".mdb");
    fs::copy_file(fs::path(TELVANE_BINARY_DIR) / "telvane.mdb", target,
                  fs::copy_options::overwrite_existing);
    sqlite3* handle = nullptr;
    const bool filled = sqlite3_open(target.c_str(), &handle) == SQLITE_OK &&
                        sqlite3_exec(handle, kFill, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    return filled ? target.string() : std::string();
}

class ArchiveFile {
public:
    ArchiveFile() : path(MakeArchive()) {}
    ~ArchiveFile() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    std::string path;
};

// Opens the archive made for the benchmarks; false, the benchmark skipped, when there is none.
bool OpenArchive(benchmark::State& state, const ArchiveFile& archive, CDaoDatabase& database) {
    if (!archive.path.empty() && database.Open(archive.path, true, false))
        return true;
    state.SkipWithError("no archive");
    return false;
}

void BM_OpenViewer(benchmark::State& state) {
    EnsureApplication();
    const ArchiveFile archive;
    CDaoDatabase database;
    if (!OpenArchive(state, archive, database))
        return;
    SilentSink sink;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        CSmsArchiveDlg dialog(&database, nullptr, &sink);
        dialog.show();
        QApplication::processEvents(); // the first layout and paint of the list
        benchmark::DoNotOptimize(dialog.result());
    }
    state.SetItemsProcessed(state.iterations() * kArchivedRows);
}
BENCHMARK(BM_OpenViewer)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ListBothTables(benchmark::State& state) {
    EnsureApplication();
    const ArchiveFile archive;
    CDaoDatabase database;
    if (!OpenArchive(state, archive, database))
        return;
    SilentSink sink;
    CSmsArchiveDlg dialog(&database, nullptr, &sink);
    dialog.findChild<QCheckBox*>(QStringLiteral("control1104"))->setChecked(true);
    dialog.show();
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        dialog.RefreshArchiveList();
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * 2 * kArchivedRows);
}
BENCHMARK(BM_ListBothTables)->Unit(benchmark::kMillisecond)->UseRealTime();

// One keystroke in the search field of the shown viewer, on the 100,000 received rows: the
// filter, the list's reset and the count, then the repaint.
void BM_SearchKeystrokeInViewer(benchmark::State& state) {
    EnsureApplication();
    const ArchiveFile archive;
    CDaoDatabase database;
    if (!OpenArchive(state, archive, database))
        return;
    SilentSink sink;
    CSmsArchiveDlg dialog(&database, nullptr, &sink);
    dialog.show();
    QApplication::processEvents();
    const QStringList typed = {QStringLiteral("number 4"), QStringLiteral("number 42")};
    int next = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        dialog.SearchField()->setText(typed[next]);
        next = 1 - next;
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * kArchivedRows);
}
BENCHMARK(BM_SearchKeystrokeInViewer)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
