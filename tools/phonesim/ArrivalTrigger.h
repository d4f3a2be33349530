#pragma once
// New messages on demand, while a session is open: each SIGUSR1 brings one generated message,
// and a fifo (--arrivals PATH, made by the simulator and removed at its end) takes one request
// a line: a count N brings N generated messages at once, a hex PDU (centre field first) that
// message, "creg <stat>" (0-5) a change of the network registration; anything else is ignored.

#include <string>
#include <vector>

class ArrivalTrigger {
public:
    ArrivalTrigger();
    ~ArrivalTrigger();
    ArrivalTrigger(const ArrivalTrigger&) = delete;
    ArrivalTrigger& operator=(const ArrivalTrigger&) = delete;

    // Makes the fifo at `path` (an existing fifo is reused) and opens it without blocking.
    bool Open(const std::string& path, std::string& error);
    // The arrivals asked since the last call, in order: a PDU each, empty for a generated one.
    std::vector<std::string> Take();
    // The registration changes asked in the lines Take read, in order.
    std::vector<int> TakeRegistrations();

    // Most generated messages one line may ask for.
    static constexpr int kMaxCount = 1000;

private:
    void TakeLine(const std::string& line, std::vector<std::string>& out);

    int fd = -1;
    std::string fifoPath;
    std::string partial; // a line not yet ended
    std::vector<int> registrations;
};
