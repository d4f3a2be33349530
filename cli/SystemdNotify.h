#pragma once
// What the service tells systemd (sd_notify(3)'s protocol, written here directly: one datagram
// of "NAME=value" lines to the AF_UNIX socket named by $NOTIFY_SOCKET, a leading '@' meaning
// the abstract namespace). READY=1 once it serves, WATCHDOG=1 at half the unit's WatchdogSec=
// ($WATCHDOG_USEC, for this process when $WATCHDOG_PID names it), STATUS= lines for
// "systemctl status", STOPPING=1 at the end. Without $NOTIFY_SOCKET every call does nothing.
// Main thread only.

#include <chrono>
#include <string>

struct NotifyEnvironment {
    std::string socket;       // $NOTIFY_SOCKET
    std::string watchdogUsec; // $WATCHDOG_USEC
    std::string watchdogPid;  // $WATCHDOG_PID
};

// The three variables of this process (empty when not set).
NotifyEnvironment NotifyEnvironmentOfProcess();

class SystemdNotify {
public:
    explicit SystemdNotify(const NotifyEnvironment& environment = NotifyEnvironmentOfProcess());

    bool Enabled() const { return !address.empty(); }
    // The watchdog's period asked of this process; zero when none.
    std::chrono::microseconds Watchdog() const { return watchdog; }

    void Ready(const std::string& status) { Send("READY=1\nSTATUS=" + status); }
    void Status(const std::string& status) { Send("STATUS=" + status); }
    void Stopping(const std::string& status) { Send("STOPPING=1\nSTATUS=" + status); }
    // WATCHDOG=1 when half the period has passed since the last one.
    void Alive();

    // Sends one message; false (logged once) when it did not go. True when not enabled.
    bool Send(const std::string& message);

    // Longest socket path a sockaddr_un holds (its sun_path without the final NUL).
    static constexpr std::size_t kMaxSocketPath = 107;

private:
    std::string address; // the socket's name as sun_path holds it ('\0' first when abstract)
    std::chrono::microseconds watchdog{0};
    std::chrono::steady_clock::time_point lastAlive{};
    bool failureLogged = false;
};
