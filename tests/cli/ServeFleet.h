#pragma once
// One of several services sharing a server database, for the tests and the benchmark: a phone
// simulator and a `telvane-cli serve` process on it, in a folder of their own.

#include "cli/CliProcess.h"
#include "common/PhoneSim.h"
#include "db/DbTestFiles.h"

#include <filesystem>
#include <memory>
#include <string>

struct ServeService {
    ServeService(const std::string& fixture, const std::string& uri)
        : phone(PhoneSimOptions{fixture}) {
        std::filesystem::create_directories(dir.File("config"));
        process = std::make_unique<CliProcess>(
            dir.path.string(),
            std::vector<std::string>{"--port", phone.LinkPath(), "--db", uri, "serve"});
    }
    TempDir dir;
    PhoneSim phone;
    std::unique_ptr<CliProcess> process;
};
