// telvane-cli: the phone operations of Telvane from a terminal and from scripts.

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/Commands.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.options) {
        if (parsed.error.empty()) {
            std::fputs(UsageText().data(), stdout);
            return kExitDone;
        }
        std::fprintf(stderr, "telvane-cli: %s\n%s", parsed.error.c_str(), UsageText().data());
        return kExitUsage;
    }
    CliRun run(*parsed.options);
    return RunCommand(run);
}
