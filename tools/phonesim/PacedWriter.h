#pragma once
// Writes to the pty master no faster than a serial line would carry the bytes: one byte per
// 10 bit times (start, 8 data, stop) at the configured speed. The line is "busy" until the last
// byte of the previous write would have left, so back-to-back writes queue up as on a real line.

#include <chrono>
#include <functional>
#include <string>

class PacedWriter {
public:
    // `lineOpen` says whether anyone listens; while no one does, bytes are lost as on a wire.
    PacedWriter(int master, int baud, std::function<bool()> lineOpen);

    // Writes all of `bytes`. Returns false, dropping the rest, when no client has the line open
    // or a stop is requested.
    bool Write(const std::string& bytes);

private:
    bool WaitWritable();

    int fd;
    std::function<bool()> lineOpen;
    std::chrono::nanoseconds byteTime;
    std::chrono::steady_clock::time_point lineFree;
};
