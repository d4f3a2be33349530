#pragma once
// Command line of telvane-phonesim.

#include <string>

struct SimOptions {
    std::string link;            // --link PATH (required)
    std::string fixture;         // --fixture FILE
    std::string transcript;      // --transcript FILE
    int baud = 115200;           // --baud N
    int delayMs = 0;             // --delay-ms N
    bool silent = false;         // --silent
    int urcSeed = -1;            // --urc-seed N: unsolicited lines at random points; -1 none
    std::string arrivals;        // --arrivals FIFO: new messages on demand
    bool exitWithParent = false; // --exit-with-parent
    bool help = false;           // --help
};

// False, with `error` set, for an unknown option, a missing value or a value out of range.
bool ParseOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);

// The --help text.
const char* UsageText();
