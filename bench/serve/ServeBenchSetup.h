#pragma once
// What the serve benchmarks share: a folder with a fresh archive, the simulator on a fast line,
// the real telvane-cli serve on it, and the memory of the service as the kernel counts it.

#include "cli/CliTestSetup.h"
#include "common/PhoneSim.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

inline constexpr int kServeBenchBaud = 460800;

struct ServeBench : CliTestBase {
    explicit ServeBench(const std::string& fixture) : phone(Options(fixture)) {}

    static PhoneSimOptions Options(const std::string& fixture) {
        PhoneSimOptions options{fixture, kServeBenchBaud};
        options.arrivals = true;
        return options;
    }

    // Starts serve and waits until the phone was asked to tell of new messages.
    bool Start(Lines arguments) {
        arguments.insert(arguments.begin(), {"--port", phone.LinkPath(), "--baud",
                                             std::to_string(kServeBenchBaud), "serve"});
        serve.emplace(dir.path.string(), arguments);
        return serve->Start() &&
               phone.WaitForTranscript(
                   [&](const auto&) {
                       return std::ranges::count(phone.Received(), "AT+CNMI=2,1,0,1,0") > 0;
                   },
                   60000);
    }

    // Polls `done` every `every` until it holds or `limit` passed.
    static bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds limit,
                          std::chrono::microseconds every = std::chrono::milliseconds(1)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(every);
        }
        return true;
    }

    // A line "VmRSS:" or "VmHWM:" of the service's /proc status, in KiB; -1 when not there.
    long MemoryKib(const std::string& field) const {
        std::ifstream status("/proc/" + std::to_string(serve->Pid()) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.starts_with(field + ":"))
                return std::stol(line.substr(field.size() + 1));
        return -1;
    }

    // SIGTERM; true when it ended with status 0.
    bool Stop() {
        serve->Signal(SIGTERM);
        return serve->Wait(10000).status == 0;
    }

    PhoneSim phone;
    std::optional<CliProcess> serve;
};
