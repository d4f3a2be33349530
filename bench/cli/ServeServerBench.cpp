// Throughput of the outbox on a PostgreSQL server: the same queue of 2,000 messages sent by one
// service and by four (each on a simulator of its own), sharing one database; the four's run
// also prints its ratio to the one's. The cluster is a throw-away one of the benchmark's own
// (tests/db/pg-cluster.sh).

#include "bench/PgBenchCluster.h"
#include "cli/ServeFleet.h"
#include "db/PgTestServer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr int kMessages = 2000;

// The one service's rates, for the four's ratio to their median (the one's runs go first).
std::vector<double> oneServiceRates;

double Median(std::vector<double> values) {
    std::ranges::sort(values);
    return values.empty() ? 0 : values[values.size() / 2];
}

void OutboxThroughput(benchmark::State& state) {
    static PgBenchCluster cluster;
    const int services = static_cast<int>(state.range(0));
    const int messages = kMessages;
    for (auto _ : state) {
        PgTestDatabase server;
        if (!server.Ready()) {
            state.SkipWithError((server.SkipReason() + server.Failure()).c_str());
            return;
        }
        server.Run(QueueStatement(messages));
        std::vector<std::unique_ptr<ServeService>> fleet;
        for (int i = 0; i < services; ++i)
            fleet.push_back(std::make_unique<ServeService>("", server.Uri()));
        const auto start = std::chrono::steady_clock::now();
        for (auto& service : fleet)
            service->process->Start();
        const std::string sent = "SELECT count(*) FROM sms_outbox WHERE state = 'sent'";
        while (server.Count(sent) < messages &&
               std::chrono::steady_clock::now() - start < std::chrono::minutes(5))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        const double rate = static_cast<double>(server.Count(sent)) / took.count();
        state.counters["messages_per_s"] = rate;
        if (services == 1)
            oneServiceRates.push_back(rate);
        else if (!oneServiceRates.empty())
            state.counters["ratio_to_one"] = rate / Median(oneServiceRates);
        for (auto& service : fleet) {
            service->process->Signal(SIGTERM);
            service->process->Wait(5000);
        }
    }
}

BENCHMARK(OutboxThroughput)
    ->ArgName("services")
    ->Arg(1)
    ->Arg(4)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

} // namespace
