// What SystemdNotify makes of its environment: a socket in the abstract namespace ('@'), a
// watchdog meant for another process, and names it cannot take.

#include "cli/SystemdNotify.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A datagram socket bound to an abstract name of this process.
class AbstractSocket {
public:
    AbstractSocket() : name("telvane-notify-test-" + std::to_string(getpid())) {
        fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        name.copy(address.sun_path + 1, sizeof address.sun_path - 2);
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        bound = fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    }
    ~AbstractSocket() { close(fd); }
    AbstractSocket(const AbstractSocket&) = delete;
    AbstractSocket& operator=(const AbstractSocket&) = delete;

    std::string Take() const {
        std::array<char, 1024> buffer{};
        const ssize_t count = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
        return count > 0 ? std::string(buffer.data(), static_cast<std::size_t>(count)) : "";
    }

    std::string name;
    bool bound = false;

private:
    int fd = -1;
};

TEST(SystemdNotify, AnAbstractSocketHearsEachMessageWhole) {
    const AbstractSocket systemd;
    ASSERT_TRUE(systemd.bound);
    SystemdNotify notify({"@" + systemd.name, "2000000", std::to_string(getpid())});
    ASSERT_TRUE(notify.Enabled());
    EXPECT_EQ(notify.Watchdog(), std::chrono::seconds(2));
    notify.Ready("serving /dev/ttyUSB0");
    EXPECT_EQ(systemd.Take(), "READY=1\nSTATUS=serving /dev/ttyUSB0");
    notify.Alive();
    notify.Alive(); // within half the period: not again
    EXPECT_EQ(systemd.Take(), "WATCHDOG=1");
    EXPECT_EQ(systemd.Take(), "");
    notify.Stopping("stopped");
    EXPECT_EQ(systemd.Take(), "STOPPING=1\nSTATUS=stopped");
}

TEST(SystemdNotify, AWatchdogForAnotherProcessIsNotPinged) {
    const AbstractSocket systemd;
    ASSERT_TRUE(systemd.bound);
    SystemdNotify notify({"@" + systemd.name, "2000000", std::to_string(getpid() + 1)});
    EXPECT_EQ(notify.Watchdog().count(), 0);
    notify.Alive();
    EXPECT_EQ(systemd.Take(), "");
}

TEST(SystemdNotify, NoUsableSocketMeansNothingIsSent) {
    const std::string longest(SystemdNotify::kMaxSocketPath, 'x');
    for (const std::string& socket :
         {std::string(), std::string("@"), std::string("relative"), "/" + longest}) {
        SystemdNotify notify({socket, "1000000", ""});
        EXPECT_FALSE(notify.Enabled()) << socket;
        EXPECT_EQ(notify.Watchdog().count(), 0) << socket;
        EXPECT_TRUE(notify.Send("READY=1")) << "nothing to tell is no failure";
    }
    EXPECT_TRUE(SystemdNotify({"/" + longest.substr(1), "", ""}).Enabled()) << "the longest";
}

} // namespace
