#pragma once
// The simulator's record of the line, one event a line, written and flushed as it happens so
// that a test can read it while the simulator runs:
//   <ms since start> RX <command line>    <ms> TX <response line>    <ms> SENT <pdu>
// Control characters in a text are written as <XX> (hex), so every event stays one line.

#include <chrono>
#include <string>

class Transcript {
public:
    explicit Transcript(std::chrono::steady_clock::time_point startTime) : start(startTime) {}
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Creates (or empties) the file. Without a successful Open, Write does nothing.
    bool Open(const std::string& path, std::string& error);
    void Write(const char* kind, const std::string& text);

private:
    std::chrono::steady_clock::time_point start;
    int fd = -1;
};
