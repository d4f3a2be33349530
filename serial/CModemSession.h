#pragma once
// The modem session: owns the port, the received-line store and the reader thread, and holds
// the one exchange primitive, SendAndWait, through which every operation talks to the phone.
//
// Threads: OpenSession may run off the user-interface thread (it blocks for up to 11 s with a
// silent phone); OpenSession and CloseSession must not overlap. SendAndWait blocks its caller;
// one exchange at a time (`busy` keeps to that).
// Pauses go through the IWaiter so that tests run them at once.

#include "core/MessageSink.h"
#include "serial/CComPort.h"
#include "serial/ISessionForm.h"
#include "serial/PortLease.h"
#include "serial/Reply.h"
#include "serial/Waiter.h"
#include "serial/serialdata.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// Menu commands of the session.
inline constexpr int kOpenComCommand = 32773;
inline constexpr int kStopTaskCommand = 32777;

// SendAndWait modes and results.
inline constexpr int kSendCommandLine = 1; // text + carriage return
inline constexpr int kSendPduData = 2;     // text + Ctrl-Z
inline constexpr int kAnswerOk = 1;        // "OK" stored (an error line too, maybe)
inline constexpr int kAnswerError = 2;     // "ERROR", "+CMS/+CME ERROR:..." and no "OK"
inline constexpr int kAnswerTimeout = 3;   // neither within the wait

// How the session meets the phone. Window: the reader takes 30 bytes a pass with a 100 ms pause
// between passes, an exchange looks at its flags every 200 ms, and the opening pauses. Line: the
// reader takes whatever the port has as it comes, an exchange wakes the moment its final result
// is stored, and the opening does not pause; the same 5.2 s limit.
enum class SessionPace { Window, Line };

class CModemSession {
public:
    CModemSession(IMessageSink& messages, IWaiter& waiter, ISessionForm& form);
    // Ends and joins the reader; the port closes with its object.
    ~CModemSession();

    CModemSession(const CModemSession&) = delete;
    CModemSession& operator=(const CModemSession&) = delete;

    // Writes the command (at most 998 characters of it) ended by a carriage return. Always 0.
    int SendCommand(std::string_view text);
    // Writes the PDU (at most 998 characters of it) ended by Ctrl-Z.
    void SendData(std::string_view text);
    // Clears the store, sends `text` as `mode` says (other modes send nothing) and polls the
    // flags every 200 ms, 26 times: kAnswerOk, kAnswerError, or kAnswerTimeout after 5200 ms
    // (at once when the port has gone).
    // The lines received stay in the store for the caller to walk.
    int SendAndWait(std::string_view text, int mode);
    // SendAndWait's exchange, with what it gave as a value. The lines stay in the store too.
    Reply Exchange(std::string_view text, int mode = kSendCommandLine);
    // The reply now in the store, after WaitForPrompt or a walk of one's own.
    Reply CurrentReply() { return ReadReply(store, kFromFlags, PortLost()); }

    // Set while no session is open.
    void SetPace(SessionPace sessionPace);
    SessionPace Pace() const { return pace; }
    // Unsolicited codes, in arrival order, whatever exchange they arrived in.
    UnsolicitedQueue& Unsolicited() { return store.unsolicited; }
    // After a command that the phone answers with its "> " prompt (AT+CMGS): polls as
    // SendAndWait does, without clearing or sending. kAnswerOk once the prompt has come,
    // kAnswerError for an error result instead, kAnswerTimeout after 5200 ms.
    int WaitForPrompt();

    // Opens the port, starts the reader, turns echo off and PDU mode on. A port that cannot be
    // opened ends it at once (false, the session stays closed); after that it goes on through
    // every failure of the phone (each shown once) and the session counts as open. False also
    // when the port went away meanwhile. At line pace the opening first lets the line fall
    // quiet (at most 2 s), dropping a late answer meant for an earlier program.
    bool OpenSession();
    // Asks the reader to end, closes the port and waits for the reader to have ended, so that it
    // never calls into a form that is gone. Not on the reader's own thread.
    void CloseSession();
    // True once the device has gone away under this session (until the next OpenSession): the
    // exchanges then end at once, and their failures are no news to the user.
    bool PortLost() const { return store.portGone.load(std::memory_order_acquire) != 0; }
    // How many exchanges in a row ended in their time-out on an open port (any answer, and the
    // next OpenSession, start the count again): a phone gone silent.
    int SilentExchanges() const { return silentExchanges.load(); }
    // Ends a session whose port has gone, once, with one message; the caller holds the port.
    // False when there was nothing to end (no session, or a new one opened meanwhile).
    bool EndLostSession();
    // The port and the line store for one task: an empty lease while another task holds them.
    PortLease TakePort() { return PortLease(portOwned); }
    // True while some task holds the port.
    bool PortTaken() const { return portOwned.load(std::memory_order_acquire); }

    // "Stop current task": asks every worker to stop between two exchanges.
    void OnStopTask();
    void ClearLines();

    CComPort& Port() { return port; }
    serialdata& Store() { return store; }
    // A flag (raised from a signal handler, say) that ends any wait at line pace within 50 ms,
    // as a time-out; the flag must outlive the session's use of it.
    void SetInterruptFlag(const std::atomic<bool>* flag) { interruptFlag.store(flag); }
    // True from the start of a session's reader until its thread body has returned.
    bool ReaderRunning() const { return readerRunning.load(std::memory_order_acquire); }

    std::atomic<int> portOpen{0};
    std::atomic<int> busy{0};
    std::atomic<int> stopRequest{0};

private:
    void SendTerminated(std::string_view text, char terminator);
    // Polls every 200 ms, 26 times: kAnswerOk once `done` has been raised, kAnswerError once an
    // error result has, else kAnswerTimeout.
    int PollFor(const std::atomic<int>& done);
    // The same at line pace: sleeps on the store's condition until a flag is raised.
    int WaitFor(const std::atomic<int>& done);
    // Counts an exchange's answer into silentExchanges; the answer.
    int Counted(int answer);
    void Pause(std::chrono::milliseconds duration);
    // At line pace, before the first command: what the phone still says to an exchange a
    // previous program abandoned (Ctrl+C in a slow read) is read and dropped, so that its late
    // "OK" is not taken for the answer to this session's commands. The window keeps its timing.
    void DrainStaleAnswer();
    // Everything the port says until it has been quiet a while (bounded, ends on interrupt).
    std::string ReadUntilQuiet();
    void StartReader();
    void EndReader();

    IMessageSink& messages;
    IWaiter& waiter;
    ISessionForm& form;
    CComPort port;
    serialdata store;
    std::mutex readerMutex; // guards `reader` between OpenSession and the destructor
    std::thread reader;
    std::atomic<bool> readerRunning{false};
    std::atomic<bool> portOwned{false};
    SessionPace pace = SessionPace::Window;
    std::atomic<const std::atomic<bool>*> interruptFlag{nullptr};
    std::atomic<int> silentExchanges{0};
};
