#pragma once
// What the session does about ModemManager: when a session opens on a port that one of its
// modems uses, a status-bar text says so (it would answer and take the phone's lines); with the
// user's consent ("Inhibit ModemManager on this port") ModemManager is asked to let go of the
// device until the session closes or the program ends.
//
// Threads: SetInhibit from the user-interface thread; BeforeOpen and AfterClose from the thread
// that opens and closes the session, never at the same time.

#include "modemmanager/ModemManagerClient.h"

#include <atomic>
#include <memory>
#include <string>

class ModemManagerGuard {
public:
    ModemManagerGuard() = default;
    // Gives back a device still inhibited.
    ~ModemManagerGuard();
    ModemManagerGuard(const ModemManagerGuard&) = delete;
    ModemManagerGuard& operator=(const ModemManagerGuard&) = delete;

    void SetInhibit(bool inhibit) { wanted = inhibit; }
    bool Inhibit() const { return wanted; }

    // Before the port opens: the status-bar text, empty when ModemManager does not manage the
    // port (or does not run). Inhibits the device when the user asked for it.
    std::string BeforeOpen(const std::string& devicePath);
    // After the session has closed: gives the device back, if it was taken.
    void AfterClose();

private:
    // Made at the first session: the program touches D-Bus only once a port is opened.
    std::unique_ptr<ModemManagerClient> client;
    std::atomic<bool> wanted{false};
    std::string inhibited; // the uid given up by ModemManager, empty when none
};
