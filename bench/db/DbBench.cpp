// Appending to SMS_In through the record set (10,000 rows a run, as a big copy of read messages
// does), walking a table of 100,000 rows and opening such an archive (its check of every page
// included), all on real files in a temporary directory.

#include "db/CDaoDatabase.h"
#include "db/CDaoSMS_In.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path FreshCopy(const std::string& name) {
    const fs::path target =
        fs::temp_directory_path() / (name + "-" + std::to_string(getpid()) + ".mdb");
    fs::copy_file(fs::path(TELVANE_BINARY_DIR) / "telvane.mdb", target,
                  fs::copy_options::overwrite_existing);
    return target;
}

bool AppendRows(CDaoDatabase& database, int rows) {
    const DbDateTime when = *DbDateTime::FromParts(2001, 3, 7, 14, 5, 9);
    CDaoSMS_In in(&database);
    if (!in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges))
        return false;
    for (int i = 0; i < rows; ++i) {
        in.AddNew();
        in.Messaggio = "Message number " + std::to_string(i) + ", as long as a short text gets";
        in.SCA = "+393359609600";
        in.Mittente = "+39333" + std::to_string(1000000 + i);
        in.DateTime = when;
        if (!in.Update())
            return false;
    }
    return true;
}

void BM_AppendSmsIn(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        state.PauseTiming();
        const fs::path file = FreshCopy("telvane-bench-append");
        CDaoDatabase database;
        database.Open(file.string(), true, false);
        state.ResumeTiming();
        if (!AppendRows(database, rows))
            state.SkipWithError("append failed");
        database.Close(); // the commit is part of the cost
        state.PauseTiming();
        fs::remove(file);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AppendSmsIn)->Arg(10'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WalkSmsIn(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const fs::path file = FreshCopy("telvane-bench-walk");
    CDaoDatabase database;
    if (!database.Open(file.string(), true, false) || !AppendRows(database, rows)) {
        state.SkipWithError("setup failed");
        return;
    }
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        CDaoSMS_In in(&database);
        in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges);
        std::size_t seen = 0;
        for (; !in.IsEOF(); in.MoveNext())
            seen += in.Messaggio.size();
        benchmark::DoNotOptimize(seen);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    database.Close();
    fs::remove(file);
}
BENCHMARK(BM_WalkSmsIn)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenArchive(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const fs::path file = FreshCopy("telvane-bench-open");
    {
        CDaoDatabase database;
        if (!database.Open(file.string(), true, false) || !AppendRows(database, rows)) {
            state.SkipWithError("setup failed");
            return;
        }
    }
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        CDaoDatabase database;
        if (!database.Open(file.string(), true, false))
            state.SkipWithError("open failed");
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(file));
    fs::remove(file);
}
BENCHMARK(BM_OpenArchive)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
