// Throughput of the outbox on a PostgreSQL server: a queue of messages sent by one service and
// by four (each on a simulator of its own), sharing one database. The cluster is a throw-away one
// of the benchmark's own (tests/db/pg-cluster.sh).

#include "bench/PgBenchCluster.h"
#include "cli/ServeFleet.h"
#include "db/PgTestServer.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

constexpr int kMessagesPerService = 150;

void OutboxThroughput(benchmark::State& state) {
    static PgBenchCluster cluster;
    const int services = static_cast<int>(state.range(0));
    const int messages = kMessagesPerService * services;
    for (auto _ : state) {
        PgTestDatabase server;
        if (!server.Ready()) {
            state.SkipWithError((server.SkipReason() + server.Failure()).c_str());
            return;
        }
        server.Run("INSERT INTO sms_outbox (recipient, text) SELECT '+39' || (1000000 + g), "
                   "'message ' || g FROM generate_series(1, " +
                   std::to_string(messages) + ") AS g");
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
        state.counters["messages_per_s"] = static_cast<double>(server.Count(sent)) / took.count();
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
    ->Unit(benchmark::kMillisecond);

} // namespace
