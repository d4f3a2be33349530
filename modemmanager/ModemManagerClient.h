#pragma once
// ModemManager seen over D-Bus (org.freedesktop.ModemManager1 on the system bus): which of its
// modems uses a serial port, and its InhibitDevice call, which makes it let go of a device while
// the caller keeps the inhibition (or stays on the bus). Blocking calls with a short time-out;
// any thread. Without D-Bus or ModemManager every question has the answer "none".

#include <QDBusConnection>
#include <optional>
#include <string>

struct ManagedModem {
    std::string manufacturer;
    std::string model;
    std::string port;   // the port of the modem that is the one asked about ("ttyUSB2")
    std::string device; // the modem's Device property: the uid InhibitDevice takes
};

class ModemManagerClient {
public:
    // The system bus; the bus at the address in TELVANE_MM_BUS when that is set (tests only).
    ModemManagerClient();
    ~ModemManagerClient();
    ModemManagerClient(const ModemManagerClient&) = delete;
    ModemManagerClient& operator=(const ModemManagerClient&) = delete;

    // Whether ModemManager is on the bus.
    bool Running() const;
    // The modem that has the port among its ports, when ModemManager runs and manages one.
    std::optional<ManagedModem> ModemUsing(const std::string& devicePath) const;
    // Asks ModemManager to let go of (true) or take back (false) the device; the error text
    // on failure, empty on success.
    std::string InhibitDevice(const std::string& uid, bool inhibit) const;

private:
    QString privateName; // the connection's name on a test's bus
    QDBusConnection bus;
};
