#pragma once
// Message boxes on a terminal: each box becomes one line on standard error, its caption first.
// A box that asks takes its safe answer (No, Cancel, Abort: never a retry) unless the user gave
// --yes, and always once Ctrl+C has been pressed, so that no retry loop outlives a stop.
// Any thread may ask; lines never interleave.

#include "core/MessageSink.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

// The line a box becomes: "caption: text", or the text alone under an empty caption. Line breaks
// inside the text become spaces; a question ends with the answer taken, as " [No]".
std::string BoxLine(const MessageBoxRequest& request, BoxAnswer answer);

// The answer a box gets on the command line.
BoxAnswer TerminalAnswer(BoxButtons buttons, bool yes);

// True for a box that tells of a failure: anything but a report of success or of nothing to do.
bool IsFailureBox(const MessageBoxRequest& request);

class CliMessageSink final : public IMessageSink {
public:
    CliMessageSink(bool answerYes, const std::atomic<bool>& interrupted, std::FILE* out = stderr)
        : yes(answerYes), stopped(interrupted), stream(out) {}

    BoxAnswer ShowMessage(const MessageBoxRequest& request) override;

    // How many failure boxes have been shown so far.
    int Failures() const { return failures.load(); }
    // While held, boxes are not written and the last one's line is kept instead: a service
    // trying a port again and again tells the cause once, itself.
    void Hold(bool hold);
    std::string TakeHeld();

private:
    bool yes;
    const std::atomic<bool>& stopped;
    std::FILE* stream;
    std::mutex lineMutex;
    std::atomic<int> failures{0};
    bool holding = false; // guarded by lineMutex, as held is
    std::string held;
};
