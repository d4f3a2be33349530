// The archive as a tool on 100,000 listed messages: one keystroke of the search (the rows are
// indexed once per listing, then every keystroke is one pass), the indexing itself, and the
// export of all rows to a CSV file written atomically. No window and no database: the rows are
// made in memory as the viewer lists them.

#include "archive/ArchiveSearch.h"
#include "db/AtomicFile.h"
#include "sms/SmsExport.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRows = 100'000;

std::vector<SmsRow> ArchivedRows() {
    std::vector<SmsRow> rows(kRows);
    for (int i = 0; i < kRows; ++i) {
        SmsRow& row = rows[static_cast<std::size_t>(i)];
        row[kSmsNumberColumn] = std::to_string(i + 1);
        row[kSmsTypeColumn] = "IN";
        row[kSmsStatColumn] = "CABBITTO";
        row[kSmsTextColumn] = "Messaggio numero " + std::to_string(i) +
                              ": arrivo in città alle 8, \"porta\" il libro, ciao";
        row[kSmsDateColumn] = "07/03/01";
        row[kSmsTimeColumn] = "14:05.09";
        row[kSmsSenderColumn] = "+39333" + std::to_string(1'000'000 + i % 10'000);
        row[kSmsNameColumn] = i % 10 == 0 ? "Contatto Niccolò " + std::to_string(i) : "";
        row[kSmsScaColumn] = "+393359609600";
    }
    return rows;
}

const std::vector<SmsRow>& Rows() {
    static const std::vector<SmsRow> rows = ArchivedRows();
    return rows;
}

void BM_IndexForSearch(benchmark::State& state) {
    ArchiveSearch search;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        search.Index(Rows());
        benchmark::DoNotOptimize(search.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_IndexForSearch)->Unit(benchmark::kMillisecond);

// One keystroke: the text typed so far, matching every row, a tenth, or none.
void BM_SearchKeystroke(benchmark::State& state, const char* typed) {
    ArchiveSearch search;
    search.Index(Rows());
    std::size_t found = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        const std::vector<int> rows = search.Matching(typed);
        found = rows.size();
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["rows shown"] = static_cast<double>(found);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK_CAPTURE(BM_SearchKeystroke, every_row, "citta")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchKeystroke, a_tenth, "NICCOLO")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchKeystroke, one_number, "+393331004242")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchKeystroke, none, "zzz")->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("telvane-bench-export-" + std::to_string(getpid()) + ".csv"))
                                 .string();
    std::size_t bytes = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        const std::string csv = SmsRowsToCsv(Rows());
        bytes = csv.size();
        if (!WriteFileAtomically(path, csv, Overwrite::Allow).ok) {
            state.SkipWithError("cannot write");
            break;
        }
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * kRows);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
