#pragma once
// The service's health, in its log and to systemd. After the start sweep and every
// --health-every seconds: the signal (AT+CSQ, in dBm and as the phone said it) and the
// registration (AT+CREG?). A change of registration is logged at once: the phone is asked to
// tell it ("+CREG: <stat>", AT+CREG=1); one that refuses is asked AT+CREG? every minute
// instead. systemd hears READY=1 after the start sweep, STATUS= with each health line, the
// watchdog from every turn of the loop, and STOPPING=1 at the end.
//
// Threads: the main thread, under the port's lease for each exchange like the sweep; Notice
// may come from the listener's thread.

#include "cli/SystemdNotify.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

class CModemSession;

class ServeHealth {
public:
    // `every` zero: no health line after the first.
    ServeHealth(CModemSession& session, std::chrono::seconds every);

    // After the start sweep: the notices asked for, the first health line, READY=1.
    void Start(const std::string& serving);
    // Each turn of the loop: the polls that are due (skipped while another task holds the
    // port: the next turn tries again), and the watchdog.
    void Turn();
    // The watchdog alone, from inside a long piece of work.
    void Alive() { notify.Alive(); }
    void Finish(const std::string& why) { notify.Stopping(why); }
    // An unsolicited line nobody else took; a "+CREG: <stat>" is a change of registration.
    void Notice(const std::string& line);

    // A poll of the registration alone, for a phone that tells no change.
    static constexpr std::chrono::seconds kRegistrationEvery{60};

private:
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
    bool notices = false; // the phone tells changes of registration
    std::chrono::steady_clock::time_point lastHealth{};
    std::chrono::steady_clock::time_point lastRegistration{};
    std::mutex mutex; // for `known`, which Notice sets from the listener's thread
    std::optional<int> known;
};
