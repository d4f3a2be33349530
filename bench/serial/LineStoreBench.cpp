// Throughput of the line store: received text cut into lines and stored, and what each stored
// line costs in memory.

#include "serial/serialdata.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <string>

namespace {

constexpr int kLines = 1'000'000;
// A typical answer line: a phonebook entry.
const std::string kLine = "+CPBR: 17,\"+393471234567\",145,\"Mario Rossi\"\r\n";

// The reader's path: 30-byte portions appended to `pending`, split after each.
void BM_SplitLines30BytePortions(benchmark::State& state) {
    std::string stream;
    for (int i = 0; i < kLines; ++i)
        stream += kLine;
    while (state.KeepRunning()) {
        serialdata data;
        for (std::size_t at = 0; at < stream.size(); at += 30) {
            data.pending.append(stream, at, 30);
            SplitLines(data);
        }
        benchmark::DoNotOptimize(data.tail);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_SplitLines30BytePortions)->Unit(benchmark::kMillisecond);

// The log loader's path: whole lines straight into AddString.
void BM_AddString(benchmark::State& state) {
    const std::string line = kLine.substr(0, kLine.size() - 2);
    while (state.KeepRunning()) {
        serialdata data;
        for (int i = 0; i < kLines; ++i)
            AddString(line, data);
        benchmark::DoNotOptimize(data.tail);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_AddString)->Unit(benchmark::kMillisecond);

// Heap bytes per stored line, for a short final result and for the phonebook line.
void BM_MemoryPerLine(benchmark::State& state) {
    const std::string line = state.range(0) == 0 ? "OK" : kLine.substr(0, kLine.size() - 2);
    double perLine = 0;
    while (state.KeepRunning()) {
        const auto before = mallinfo2().uordblks;
        {
            serialdata data;
            for (int i = 0; i < kLines; ++i)
                AddString(line, data);
            perLine = static_cast<double>(mallinfo2().uordblks - before) / kLines;
        }
    }
    state.counters["bytes_per_line"] = perLine;
    state.counters["text_length"] = static_cast<double>(line.size());
}
BENCHMARK(BM_MemoryPerLine)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
