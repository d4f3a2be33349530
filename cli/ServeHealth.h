#pragma once
// The service's health, in its log and to systemd. Once the service serves and every
// --health-every seconds: the signal (AT+CSQ, in dBm and as the phone said it) and the
// registration (AT+CREG?). A change of registration is logged at once: the phone is asked to
// tell it ("+CREG: <stat>", AT+CREG=1); one that refuses is asked AT+CREG? every minute
// instead. systemd hears READY=1 at the first turn of the loop (the start sweep is done),
// STATUS= with each health line, the watchdog from every turn, and STOPPING=1 at the end: any
// long piece of work inside a turn calls Alive.
//
// Main thread only; each exchange under the port's lease, like the sweep.

#include "cli/SystemdNotify.h"

#include <chrono>
#include <optional>
#include <string>

class CModemSession;

class ServeHealth {
public:
    // `every` zero: no health line after the first. `serving` begins each STATUS=.
    ServeHealth(CModemSession& session, std::chrono::seconds every, std::string serving);

    // Each turn of the loop: at the first, the notices asked for, the first health line and
    // READY=1; then the polls that are due (skipped while another task holds the port: the next
    // turn tries again); and the watchdog.
    void Turn();
    // The port was opened again: the phone is asked for the notices again, and its health is
    // logged at the next turn.
    void Reopened() { setUp = false; }
    // The watchdog alone.
    void Alive() { notify.Alive(); }
    void Finish() { notify.Stopping("stopping"); }

    // A line of the phone's own that tells a change of registration.
    static bool IsNotice(const std::string& line) { return line.starts_with("+CREG:"); }
    // Such a line ("+CREG: <stat>..."): logged when the registration changed.
    void Notice(const std::string& line);

    // A poll of the registration alone, for a phone that tells no change.
    static constexpr std::chrono::seconds kRegistrationEvery{60};

private:
    bool Silent() const;
    // AT+CREG=1 and the first health line; false when the port was taken.
    bool SetUp();
    // AT+CREG=1; true when the phone took it.
    bool AskForNotices();
    // AT+CSQ and AT+CREG? (`signal` false: the registration alone); false when the port was
    // taken.
    bool Poll(bool signal);
    // The registration now known: logged when it changed.
    void Registered(int stat);

    CModemSession& session;
    SystemdNotify notify;
    std::chrono::seconds every;
    std::string serving;
    bool setUp = false;
    bool ready = false;
    bool notices = false; // the phone tells changes of registration
    std::chrono::steady_clock::time_point lastHealth{};
    std::chrono::steady_clock::time_point lastRegistration{};
    std::optional<int> known;
};
