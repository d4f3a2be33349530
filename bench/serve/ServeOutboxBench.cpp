// 10,000 queued messages through the real telvane-cli serve and the simulator on a 460,800 baud
// line. Counters: none lost (rows "sent" and PDUs the phone accepted, each must be 10,000), the
// service's resident memory after 1,000 and after 10,000 (flat: about the same), and per
// message the time the phone took (from the command to the prompt, from the PDU to the answer)
// beside the service's own (the rest of the wall time), from the simulator's transcript.

#include "serve/ServeBenchSetup.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kMessages = 10000;
constexpr int kEarly = 1000;

struct SendTimes {
    long sends = 0;
    double phoneMs = 0;
    double wallMs = 0;
};

// The phone's share of each AT+CMGS: command to "> ", PDU to the final result.
SendTimes TimesOf(const std::vector<TranscriptEntry>& transcript) {
    SendTimes times;
    long commandAt = -1;
    long pduAt = -1;
    long first = -1;
    long last = -1;
    for (const TranscriptEntry& entry : transcript) {
        if (entry.kind == "RX" && entry.text.starts_with("AT+CMGS=")) {
            commandAt = entry.ms;
            if (first < 0)
                first = entry.ms;
        } else if (entry.kind == "TX" && entry.text == "> " && commandAt >= 0) {
            times.phoneMs += static_cast<double>(entry.ms - commandAt);
            commandAt = -1;
        } else if (entry.kind == "SENT") {
            pduAt = entry.ms;
            ++times.sends;
        } else if (entry.kind == "TX" && entry.text == "OK" && pduAt >= 0) {
            times.phoneMs += static_cast<double>(entry.ms - pduAt);
            pduAt = -1;
            last = entry.ms;
        }
    }
    times.wallMs = static_cast<double>(last - first);
    return times;
}

long long Sent(const std::string& database) {
    return QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE State = 'sent'");
}

void BM_ServeTenThousandQueued(benchmark::State& state) {
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        ServeBench bench("capacity SM 10\n");
        if (!RunSql(bench.database, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                    "FROM n WHERE i < " +
                                        std::to_string(kMessages) +
                                        ") INSERT INTO SMS_Outbox (Recipient, Text) "
                                        "SELECT '+39333' || (1000000 + i), 'Queued message ' "
                                        "|| i FROM n;")) {
            state.SkipWithError("the outbox took no rows");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        if (!bench.Start({})) {
            state.SkipWithError("serve did not start");
            return;
        }
        const auto poll = std::chrono::milliseconds(50);
        const auto limit = std::chrono::seconds(1800);
        ServeBench::WaitUntil([&] { return Sent(bench.database) >= kEarly; }, limit, poll);
        const long early = bench.MemoryKib("VmRSS");
        ServeBench::WaitUntil([&] { return Sent(bench.database) >= kMessages; }, limit, poll);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long late = bench.MemoryKib("VmRSS");
        const long peak = bench.MemoryKib("VmHWM");
        const bool stopped = bench.Stop();
        const SendTimes times = TimesOf(bench.phone.Transcript());
        state.counters["sent_rows"] = static_cast<double>(Sent(bench.database));
        state.counters["phone_cmgs"] = static_cast<double>(times.sends);
        state.counters["rss_kib_at_1k"] = static_cast<double>(early);
        state.counters["rss_kib_at_10k"] = static_cast<double>(late);
        state.counters["peak_rss_kib"] = static_cast<double>(peak);
        state.counters["msgs_per_s"] = kMessages / seconds;
        const double sends = static_cast<double>(std::max(times.sends, 1L));
        state.counters["phone_ms_per_msg"] = times.phoneMs / sends;
        state.counters["service_ms_per_msg"] = (times.wallMs - times.phoneMs) / sends;
        if (!stopped)
            state.SkipWithError("serve did not end with status 0");
    }
}
BENCHMARK(BM_ServeTenThousandQueued)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
