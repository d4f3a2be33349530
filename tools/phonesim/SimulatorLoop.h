#pragma once
// Runs the simulated phone until a stop is requested: bytes from the pty go to the
// interpreter, its events go back out on the line (paced, after the response delay) and into
// the transcript.

#include "tools/phonesim/ArrivalTrigger.h"
#include "tools/phonesim/CommandInterpreter.h"
#include "tools/phonesim/PacedWriter.h"
#include "tools/phonesim/PtyLink.h"
#include "tools/phonesim/Transcript.h"
#include "tools/phonesim/UnsolicitedSource.h"

#include <optional>
#include <string>
#include <vector>

class SimulatorLoop {
public:
    SimulatorLoop(PtyLink& line, CommandInterpreter& interpreter, Transcript& log, int baud,
                  int responseDelayMs)
        : pty(line), phone(interpreter), transcript(log),
          writer(line.Master(), baud, [&line] { return line.ClientPresent(); }),
          delayMs(responseDelayMs) {}

    // Puts unsolicited lines at random points from now on.
    void EmitUnsolicited(std::uint32_t seed) { unsolicited.emplace(seed); }

    // Messages on demand: the fifo at `path` (see ArrivalTrigger) and SIGUSR1.
    bool TakeArrivalsFrom(const std::string& path, std::string& error) {
        return trigger.Open(path, error);
    }

    void Run();

private:
    void Play(const std::vector<SimEvent>& events);
    void Send(const std::string& bytes);
    void MaybeUnsolicited();

    PtyLink& pty;
    CommandInterpreter& phone;
    Transcript& transcript;
    PacedWriter writer;
    int delayMs;
    bool vanished = false;
    std::optional<UnsolicitedSource> unsolicited;
    ArrivalTrigger trigger;
    // How long a pass waits for the client's bytes: also the latest an arrival is served.
    static constexpr int kPassMs = 20;
};
