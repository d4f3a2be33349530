#pragma once
// The received-line store: what the phone sent, cut into lines at carriage returns, plus the
// flags that tell whether a final "OK" or an error result has been stored since the last
// ClearLines.
//
// Threads: the list and both flags change only under `lock` (AddString, ClearLines), and every
// walk over the list holds it throughout (WalkLines, SnapshotLines), so a walk never meets a
// line being freed. The flags are raised after their line is linked, so a thread that has seen a
// flag finds the line too. `pending` belongs to the thread that runs SplitLines (the reader);
// others touch it only while no reader runs.

#include "serial/Unsolicited.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class CComPort;

struct LineNode {
    std::string text; // never empty, no carriage return, no line feed
    std::unique_ptr<LineNode> next;
    bool unsolicited = false; // an unsolicited code (or the line that belongs to one)
};

struct serialdata {
    serialdata() = default;
    ~serialdata();
    serialdata(const serialdata&) = delete;
    serialdata& operator=(const serialdata&) = delete;

    // Longest text kept for a line not yet ended: older characters are dropped.
    static constexpr std::size_t kMaxPending = 999;

    CComPort* port = nullptr; // read by SerialRead; set when a session opens
    std::string pending;      // received text not yet cut into lines
    std::unique_ptr<LineNode> head;
    LineNode* tail = nullptr;
    std::atomic<int> okReceived{0}; // a line "OK" was stored
    std::atomic<int> errorReceived{
        0}; // "ERROR", or a line beginning "+CMS ERROR:" or "+CME ERROR:"
    std::atomic<int> promptReceived{0}; // the text after the last line is the "> " prompt
    std::atomic<int> stopReader{0};     // 1 asks SerialRead to end
    std::atomic<int> portGone{0};       // the device went away under the reader (it has ended)
    std::atomic<int> linePace{0};       // 1: the reader takes what the port has at once
    std::mutex lock;
    // Notified, under `lock`, whenever a flag is raised: the line-pace wait sleeps on it.
    std::condition_variable flagRaised;
    // Unsolicited codes, each also stored as a line; ClearLines leaves the queue alone.
    UnsolicitedQueue unsolicited;
    // The prefix of the answer the command in flight waits for: never taken for unsolicited.
    std::string answerPrefix; // under `lock`
    // The reader's: a +CMT/+CDS/+CBM header waiting for the line that belongs to it.
    bool nextLineUnsolicited = false;
    std::string heldCode;
};

// Stores a non-empty line at the tail and raises the flag its text calls for. Always 0.
int AddString(std::string_view line, serialdata& data);

// Raises `flag` under the store's lock and wakes whoever waits on `flagRaised`.
void RaiseFlag(serialdata& data, std::atomic<int>& flag);

// Cuts every complete line (ended by a carriage return) off `pending`, removes its carriage
// returns and line feeds and stores it. Keeps at most kMaxPending characters, the newest, of a
// line: in what is left in `pending` and in each line cut. Raises `promptReceived` when what is
// left is the phone's "> " prompt (which no carriage return ends). An unsolicited code (and the
// PDU line of a +CMT, +CDS or +CBM) is stored marked as such and also queued in `unsolicited`.
void SplitLines(serialdata& data);

// Lowers the flags and frees every stored line. `pending` stays: the part of a line received
// before the clear begins the next stored line.
void ClearLines(serialdata& data);

// Calls `visit` for each stored line from head to tail under the store's lock; `visit` may look
// ahead through `next` and returns false to end the walk. It must not call AddString or
// ClearLines (the lock is held).
void WalkLines(serialdata& data, const std::function<bool(const LineNode&)>& visit);

// A copy of the stored lines, head first.
std::vector<std::string> SnapshotLines(serialdata& data);
// The same without the unsolicited lines: what answers the command.
std::vector<std::string> SnapshotAnswerLines(serialdata& data);
// The first stored line that is not unsolicited; empty when there is none.
std::string FirstAnswerLine(serialdata& data);
