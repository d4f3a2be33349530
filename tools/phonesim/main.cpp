// telvane-phonesim: a GSM phone on a pseudo-terminal for tests, demos and users without a phone.

#include "tools/phonesim/CommandInterpreter.h"
#include "tools/phonesim/Fixture.h"
#include "tools/phonesim/Options.h"
#include "tools/phonesim/PtyLink.h"
#include "tools/phonesim/SimulatorLoop.h"
#include "tools/phonesim/StopSignal.h"
#include "tools/phonesim/Transcript.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/prctl.h>
#include <unistd.h>
#include <utility>

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "telvane-phonesim: %s\n", message.c_str());
    return 1;
}

bool LoadFixture(const std::string& path, Fixture& fixture, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (ParseFixture(text.str(), fixture, error))
        return true;
    error = path + ": " + error;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    SimOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "telvane-phonesim: %s\n\n%s", error.c_str(), UsageText());
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    Fixture fixture;
    if (!options.fixture.empty() && !LoadFixture(options.fixture, fixture, error))
        return Fail(error);
    fixture.silent = fixture.silent || options.silent;

    InstallStopHandlers();
    if (options.exitWithParent)
        StopWhenParentEnds();
    Transcript transcript(start);
    if (!options.transcript.empty() && !transcript.Open(options.transcript, error))
        return Fail(error);
    PtyLink pty;
    if (!pty.Open(options.link, error))
        return Fail(error);
    std::printf("telvane-phonesim: %s -> %s (Ctrl-C ends)\n", options.link.c_str(),
                pty.SlaveName().c_str());
    std::fflush(stdout);

    CommandInterpreter phone(std::move(fixture));
    SimulatorLoop loop(pty, phone, transcript, options.baud, options.delayMs);
    if (!options.arrivals.empty() && !loop.TakeArrivalsFrom(options.arrivals, error))
        return Fail(error);
    if (options.urcSeed >= 0)
        loop.EmitUnsolicited(static_cast<std::uint32_t>(options.urcSeed));
    loop.Run();
    return 0;
}
