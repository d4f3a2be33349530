#pragma once
// What the tests of the real telvane-cli serve share: a simulator that takes arrivals, the
// service started on its link, hook scripts, and waits on the database and the transcript.

#include "cli/CliTestSetup.h"
#include "common/PhoneSim.h"

#include <csignal>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

// kHelloPdu one second earlier: another message from the same sender.
inline constexpr const char* kHelloEarlierPdu =
    "07912143658709F1040B912143658709F100009930925161858005e8329bfd06";

// A process that has not ended (a zombie has).
inline bool Alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

class ServeTest : public ::testing::Test, public CliTestBase {
protected:
    void Phone(const std::string& fixture) {
        PhoneSimOptions options{fixture};
        options.arrivals = true;
        phone.emplace(options);
    }

    CliProcess Serve(Lines arguments) {
        arguments.insert(arguments.begin(), {"--port", phone->LinkPath(), "serve"});
        return CliProcess(dir.path.string(), arguments);
    }

    // A shell script at dir/name (made executable) with this body.
    std::string Script(const std::string& name, const std::string& body) {
        const std::string path = dir.File(name);
        std::ofstream(path) << "#!/bin/sh\n" << body;
        chmod(path.c_str(), 0755);
        return path;
    }

    // Waits (bounded: generous, for a loaded machine) until `done` holds.
    static bool Eventually(const std::function<bool()>& done, int seconds = 30) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    // Waits (bounded) until the query counts `count`.
    bool WaitForCount(const std::string& sql, long long count, int seconds = 10) const {
        return Eventually([&] { return QueryCount(database, sql) == count; }, seconds);
    }

    // Waits (bounded) until the service's standard error holds `text`.
    bool WaitForLog(const std::string& text, int seconds = 30) const {
        return Eventually([&] { return FileText("stderr").find(text) != std::string::npos; },
                          seconds);
    }

    bool WaitForCommand(const std::string& command) const {
        return phone->WaitForTranscript(
            [&](const auto&) { return std::ranges::count(phone->Received(), command) > 0; });
    }

    std::string FileText(const std::string& name) const {
        std::ifstream in(dir.File(name));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // How often the service's standard error holds `text` so far.
    std::size_t LogCount(const std::string& text) const {
        const std::string log = FileText("stderr");
        std::size_t count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

    // SIGTERM, and the end within 5 s.
    static CliResult Stop(CliProcess& serve) {
        serve.Signal(SIGTERM);
        return serve.Wait(5000);
    }

    std::optional<PhoneSim> phone;
};
