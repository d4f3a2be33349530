#pragma once
// The phone's unsolicited result codes (3GPP TS 27.005 3.4.1, 27.007 7.2, 7.11, 7.15): lines that
// arrive of the phone's own accord, between or inside the answers to commands. They are kept
// apart from the answers, in arrival order, for whoever listens for them.
//
// Threads: the reader pushes, any thread takes; the queue has its own lock.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

// True for a line that begins with an unsolicited code's prefix, unless it is the answer the
// command in flight waits for (`answerPrefix`, such as "+CREG:" while AT+CREG? is asked).
bool IsUnsolicitedLine(std::string_view line, std::string_view answerPrefix = {});
// True for the header of a code whose next line belongs to it (the PDU of +CMT, +CDS, +CBM).
bool TakesNextLine(std::string_view line);
// The "+NAME:" an answer to `command` begins with ("AT+CREG?" gives "+CREG:"); empty for a
// command without one.
std::string AnswerPrefixOf(std::string_view command);

struct UnsolicitedLine {
    std::string text; // the code's line, such as "+CMTI: "SM",3"
    std::string data; // the line that belongs to it (a PDU), empty for most codes
};

class UnsolicitedQueue {
public:
    // Most lines kept for a listener that does not come: older ones beyond it are dropped, and
    // counted.
    static constexpr std::size_t kMaxQueued = 4096;

    void Push(UnsolicitedLine line);
    // The oldest line, waiting up to `wait` for one; nothing when none came.
    std::optional<UnsolicitedLine> Take(std::chrono::milliseconds wait = {});
    std::size_t Size() const;
    // Lines dropped because the queue was full.
    std::size_t Dropped() const;

private:
    mutable std::mutex mutex;
    std::condition_variable arrived;
    std::deque<UnsolicitedLine> lines;
    std::size_t dropped = 0;
};
