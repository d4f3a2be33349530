#pragma once
// The listener of an open session: it drains the session's unsolicited lines, each once, in
// arrival order, and serves the news among them.
//   "+CMTI: <mem>,<index>"  a task reads the message: AT+CPMS? (the memory as it is), AT+CPMS
//                           to select <mem> if another is, AT+CMGR=<index>, then AT+CPMS back;
//                           the row goes into the list through the row builder of a read.
//   "+CMT: ,<length>" + PDU the message is listed from the pushed PDU, no exchange needed.
//   "+CDS: <length>" + PDU  the report goes to the report hook.
//   "+CDSI: <mem>,<index>"  a task reads the report as "+CMTI" does, then the report hook.
// Other codes (RING, +CREG, ...) go to the `other` hook, or are taken and left alone.
//
// Threads: one std::jthread per session, started after the session opened and stopped before
// it closes. A notice that needs the phone is served by a task of its own CTaskRunner, which
// takes the port's lease: while another task holds it the notice waits (it is tried again
// every kRetryMs) and is served after - never dropped, never run beside another task. The
// hooks and the form are called on the task's or the listener's thread.

#include "serial/CModemSession.h"
#include "serial/TaskRunner.h"
#include "sms/AddSmsRows.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

// The status-bar line of a report that matched no record the database could reach (the front
// ends' report hook tells the record's own line when it matches).
inline constexpr std::string_view kReportReceivedText = "Status report received";

// A notice of a stored message or report.
struct StoredNotice {
    std::string memory; // "SM", "ME", ...
    int index = 0;
};
// "+CMTI: "SM",3" or "+CDSI: "SM",3" (any memory name); nothing for other lines.
std::optional<StoredNotice> ReadStoredNotice(std::string_view line, std::string_view prefix);

struct NewMessageHooks {
    // After a new message's rows are listed (and archived, when asked), with its first row.
    std::function<void(const SmsRow&)> listed{};
    // A status report's PDU (hex, centre field first).
    std::function<void(const std::string&)> report{};
    // Read when a message comes: "Archive new messages" and "Move (erase from phone)".
    std::function<bool()> archive{};
    std::function<bool()> move{};
    // A line for the status bar (a message not archived, a report received).
    std::function<void(const std::string&)> note{};
    // A stored message told of ("+CMTI"), before it is read: true when the hook sees to it
    // itself (a service that sweeps the memories), and the listener reads nothing.
    std::function<bool(const StoredNotice&)> stored{};
    // A pushed message's PDU ("+CMT"): true when the hook takes it over (the listener then
    // only acknowledges it, when asked to).
    std::function<bool(const std::string&)> pushed{};
    // Any other code's line (RING, "+CREG: 1", ...).
    std::function<void(const std::string&)> other{};
};

class CNewMessageListener {
public:
    CNewMessageListener(CModemSession& session, const SmsReadContext& context,
                        NewMessageHooks hooks);
    ~CNewMessageListener();
    CNewMessageListener(const CNewMessageListener&) = delete;
    CNewMessageListener& operator=(const CNewMessageListener&) = delete;

    // Starts draining; a listener already running goes on, one asked to stop is waited for and
    // started again.
    void Start();
    // Ends it and waits: a task under way finishes its exchanges first. Lines still queued stay
    // for the next listener.
    void Stop();
    // Asks it to end without waiting (Stop then waits): for a front end that must serve the
    // form calls of a task under way until it has ended.
    void RequestStop() { thread.request_stop(); }
    // True once the listener's thread has nothing left to do (or never started).
    bool Ended() const { return !thread.joinable() || ended.load(); }
    // Pushed messages are acknowledged (AT+CNMA, as a task) once listed. Set before Start.
    void SetAcknowledge(bool acknowledge) { acknowledgeDirect = acknowledge; }
    // Messages listed so far.
    int Listed() const { return listed.load(); }

    static constexpr std::chrono::milliseconds kRetryMs{20};

private:
    void Run(const std::stop_token& stop);
    void Serve(const UnsolicitedLine& line, const std::stop_token& stop);
    // Runs `work` as a task once the port is free; false when stopped before that.
    bool RunTask(const std::function<void()>& work, const std::stop_token& stop);
    // The task of a +CMTI or +CDSI notice.
    void ReadStored(const StoredNotice& notice, bool report);
    // Lists (and archives) the message of these answer lines; true when it may be erased.
    bool ListMessage(const std::vector<std::string>& lines, int ordinal);

    CModemSession& session;
    SmsReadContext context;
    NewMessageHooks hooks;
    std::atomic<int> listed{0};
    std::atomic<bool> ended{false};
    std::atomic<bool> acknowledgeDirect{false};
    CTaskRunner runner{session};
    std::jthread thread; // last: it ends before the members it uses go
};
