#pragma once
// The service's hold on the phone: the session at the line's pace, new-message indications set
// up and the listener running. A port that vanishes (the modem reset, a USB re-plug) is logged
// once and opened again when its path - a /dev/serial/by-id link is followed anew at each try -
// leads to a terminal again; a phone silent for `resetAfter` exchanges in a row is reset by
// closing and opening the port. Nothing is sent while the port is down. Main thread.

#include "cli/ServeReadForm.h"
#include "sms/NewMessageListener.h"

#include <chrono>
#include <string>

class CliRun;
class CDaoDatabase;

class ServeModem {
public:
    // names: the listener threads' own connection to the database (for phonebook names).
    ServeModem(CliRun& run, CDaoDatabase& names, NewMessageHooks hooks, int resetAfter);
    ~ServeModem();
    ServeModem(const ServeModem&) = delete;
    ServeModem& operator=(const ServeModem&) = delete;

    enum class State {
        Up,       // the session is open
        Reopened, // open again since the last call: what arrived meanwhile is on the phone
        Down      // gone or being reset: nothing can be exchanged
    };
    // Indications and the listener on the session CliRun opened.
    void Start();
    // Notices a port gone or a silent phone, and tries to reopen one that is down.
    State Check();
    // Gone or being reset since the last Check.
    bool IsDown() const { return down; }
    // The listener stopped: no task of its runs once this returns.
    void Stop();

private:
    using Clock = std::chrono::steady_clock;
    // Closes the session (the listener first); `why` is logged.
    void TakeDown(const std::string& why, bool lost);
    // One try to open the session again; true when it is up.
    bool TryReopen();
    void SetUp();

    CliRun& run;
    ServeReadForm form;
    SmsReadContext context;
    CNewMessageListener listener;
    int resetAfter;
    std::string path;
    bool down = false;
    bool toldTry = false; // a failed try of this outage has been logged
    Clock::time_point nextTry{};
};
