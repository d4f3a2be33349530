#pragma once
// One of several services sharing a server database, for the tests and the benchmark: a phone
// simulator and a `telvane-cli serve` process on it, in a folder of their own. The line is fast
// (460,800 baud) so that a fleet's outbox of thousands goes in seconds; `extra` adds serve's
// options; the phone takes new messages through Arrive().

#include "cli/CliProcess.h"
#include "common/PhoneSim.h"
#include "db/DbTestFiles.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

inline constexpr int kFleetBaud = 460800;

struct ServeService {
    ServeService(const std::string& fixture, const std::string& uri,
                 const std::vector<std::string>& extra = {})
        : phone(PhoneSimOptions{fixture, kFleetBaud, {}, true}) {
        std::filesystem::create_directories(dir.File("config"));
        std::vector<std::string> arguments = {
            "--port", phone.LinkPath(), "--baud", std::to_string(kFleetBaud), "--db", uri, "serve"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        process = std::make_unique<CliProcess>(dir.path.string(), arguments);
    }
    std::string Log() const { return CliProcess::ReadFile(dir.File("stderr")); }

    TempDir dir;
    PhoneSim phone;
    std::unique_ptr<CliProcess> process;
};

// Every service's log, for a failure's message.
inline std::string FleetLogs(const std::vector<std::unique_ptr<ServeService>>& fleet) {
    std::string all;
    for (const auto& service : fleet)
        all += service->Log() + "----\n";
    return all;
}

// The outbox's queue on a server: messages "message N" to +39(1000000 + N), N from 1.
inline std::string QueueStatement(int messages) {
    return "INSERT INTO sms_outbox (recipient, text) SELECT '+39' || (1000000 + g), 'message ' "
           "|| g FROM generate_series(1, " +
           std::to_string(messages) + ") AS g";
}
