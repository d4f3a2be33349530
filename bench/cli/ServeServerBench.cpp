// Throughput of the outbox on a PostgreSQL server: a queue of messages sent by one service and
// by four (each on a simulator of its own), sharing one database. The cluster is a throw-away one
// of the benchmark's own (tests/db/pg-cluster.sh).

#include "cli/ServeFleet.h"
#include "db/PgTestServer.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

constexpr int kMessagesPerService = 150;

struct Cluster {
    Cluster() { running = Run("start"); }
    ~Cluster() { Run("stop"); }
    Cluster(const Cluster&) = delete;
    Cluster& operator=(const Cluster&) = delete;
    static bool Run(const char* action) {
        const std::string command = std::string(TELVANE_SOURCE_DIR) + "/tests/db/pg-cluster.sh " +
                                    action + " " + TELVANE_PG_DIR + " > /dev/null";
        return std::system(command.c_str()) == 0;
    }
    bool running = false;
};

void OutboxThroughput(benchmark::State& state) {
    static Cluster cluster;
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
