// The real telvane-cli serve against telvane-phonesim: the health lines (signal and
// registration) at the start and every --health-every seconds, a change of registration logged
// as the phone tells it, or at the poll when it tells none; and what systemd hears through a
// socket the test binds in its place.

#include "cli/CliTestSetup.h"
#include "common/FileText.h"
#include "common/PhoneSim.h"

#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace {

constexpr const char* kHomeLine = "health: signal -71 dBm (+CSQ: 21,99), registration home";

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class ServeHealthTest : public ::testing::Test, public CliTestBase {
protected:
    // The simulator with `fixture`, and serve on it polling every `every` seconds.
    CliProcess ServeOn(const std::string& fixture, const std::string& every, Lines extra = {}) {
        PhoneSimOptions options{fixture};
        options.arrivals = true;
        phone.emplace(options);
        Lines arguments = {"--port", phone->LinkPath(), "serve", "--health-every", every};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return CliProcess(dir.path.string(), arguments);
    }

    // Waits (bounded) until the service's log holds `part` `times` times.
    bool WaitForLog(const std::string& part, std::size_t times = 1) const {
        for (int i = 0; i < 1000; ++i) {
            if (Occurrences(FileText(dir.File("stderr")), part) >= times)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::optional<PhoneSim> phone;
};

TEST_F(ServeHealthTest, SignalAndRegistrationAreLoggedAtTheStartAndAtEachPoll) {
    CliProcess serve = ServeOn({}, "1");
    ASSERT_TRUE(serve.Start());
    EXPECT_TRUE(WaitForLog(kHomeLine, 3));
    serve.Signal(SIGTERM);
    const CliResult result = serve.Wait(5000);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Occurrences(result.err, "registration changed"), 0u) << result.err;
    EXPECT_EQ(std::ranges::count(phone->Received(), "AT+CREG=1"), 1);
    EXPECT_GE(std::ranges::count(phone->Received(), "AT+CSQ"), 3);
}

TEST_F(ServeHealthTest, AChangeOfRegistrationIsLoggedWhenThePhoneTellsIt) {
    // No poll after the first: only the phone's "+CREG: 5" can bring the change.
    CliProcess serve = ServeOn({}, "3600");
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForLog(kHomeLine));
    ASSERT_TRUE(phone->WaitForTranscript(
        [&](const auto&) { return std::ranges::count(phone->Received(), "AT+CNMI=2,1,0,1,0"); }));
    ASSERT_TRUE(phone->Arrive("creg 5"));
    EXPECT_TRUE(WaitForLog("registration changed: home -> roaming"));
    ASSERT_TRUE(phone->Arrive("creg 2"));
    EXPECT_TRUE(WaitForLog("registration changed: roaming -> searching"));
    serve.Signal(SIGTERM);
    const CliResult result = serve.Wait(5000);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(std::ranges::count(phone->Received(), "AT+CREG?"), 1) << "no poll brought it";
}

TEST_F(ServeHealthTest, APhoneThatTellsNoChangeHasItFoundAtThePoll) {
    CliProcess serve = ServeOn("reply AT+CREG=1 ERROR\n", "1");
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForLog(kHomeLine));
    ASSERT_TRUE(phone->Arrive("creg 3"));
    EXPECT_TRUE(WaitForLog("registration changed: home -> denied"));
    EXPECT_TRUE(WaitForLog("health: signal -71 dBm (+CSQ: 21,99), registration denied"));
    serve.Signal(SIGTERM);
    const CliResult result = serve.Wait(5000);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("does not tell changes of registration"), std::string::npos)
        << result.err;
}

TEST_F(ServeHealthTest, AReadOfTheSignalThatFailsIsLoggedAndServingGoesOn) {
    CliProcess serve = ServeOn("reply AT+CSQ +CME ERROR: 30\n" + Sms(1, 1, kHelloPdu), "3600");
    ASSERT_TRUE(serve.Start());
    EXPECT_TRUE(WaitForLog("health: signal not read (+CME ERROR: 30), registration home"));
    EXPECT_TRUE(phone->WaitForTranscript(
        [&](const auto&) { return std::ranges::count(phone->Received(), "AT+CMGD=1"); }));
    serve.Signal(SIGTERM);
    EXPECT_EQ(serve.Wait(5000).status, 0);
}

// A datagram socket bound where NOTIFY_SOCKET points, as systemd's own.
class NotifySocket {
public:
    explicit NotifySocket(const std::string& socketPath)
        : fd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)), path(socketPath) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        bound =
            fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~NotifySocket() {
        if (fd >= 0)
            close(fd);
    }
    NotifySocket(const NotifySocket&) = delete;
    NotifySocket& operator=(const NotifySocket&) = delete;

    bool Bound() const { return bound; }
    // The messages received so far, kept in order.
    const Lines& Received() {
        std::array<char, 4096> buffer{};
        ssize_t count = 0;
        while ((count = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT)) > 0)
            messages.emplace_back(buffer.data(), static_cast<std::size_t>(count));
        return messages;
    }
    bool WaitFor(const std::string& message, std::size_t times = 1) {
        for (int i = 0; i < 1000; ++i) {
            if (static_cast<std::size_t>(std::ranges::count(Received(), message)) >= times)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

private:
    int fd;
    std::string path;
    bool bound = false;
    Lines messages;
};

TEST_F(ServeHealthTest, SystemdHearsReadyTheWatchdogAndTheStopAndTheHookNone) {
    NotifySocket systemd(dir.File("notify"));
    ASSERT_TRUE(systemd.Bound());
    const std::string hook = dir.File("hook.sh");
    std::ofstream(hook) << "#!/bin/sh\nenv > " << dir.File("hook-env") << "\n";
    chmod(hook.c_str(), 0755);
    CliProcess serve = ServeOn(Sms(1, 1, kHelloPdu), "3600", {"--on-receive", hook});
    // A watchdog of 400 ms: pinged every 200 ms.
    serve.AddEnvironment({"NOTIFY_SOCKET=" + dir.File("notify"), "WATCHDOG_USEC=400000"});
    ASSERT_TRUE(serve.Start());
    const std::string ready = "READY=1\nSTATUS=serving " + phone->LinkPath();
    ASSERT_TRUE(systemd.WaitFor(ready));
    EXPECT_TRUE(systemd.WaitFor("WATCHDOG=1", 3));
    for (int i = 0; i < 500 && FileText(dir.File("hook-env")).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    serve.Signal(SIGTERM);
    const CliResult result = serve.Wait(5000);
    EXPECT_EQ(result.status, 0) << result.err;
    const Lines& messages = systemd.Received();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(),
              "STATUS=serving " + phone->LinkPath() + "; " + std::string(kHomeLine).substr(8))
        << "the first health line, before READY";
    EXPECT_EQ(messages.back(), "STOPPING=1\nSTATUS=stopping");
    const auto readyAt = std::ranges::find(messages, ready);
    ASSERT_NE(readyAt, messages.end());
    EXPECT_TRUE(std::find(messages.begin(), readyAt, "WATCHDOG=1") == readyAt)
        << "no watchdog before the start sweep ended";
    const std::string hookEnvironment = FileText(dir.File("hook-env"));
    ASSERT_NE(hookEnvironment.find("TELVANE_TEXT=hello"), std::string::npos);
    EXPECT_EQ(hookEnvironment.find("NOTIFY_SOCKET="), std::string::npos) << hookEnvironment;
    EXPECT_EQ(hookEnvironment.find("WATCHDOG_USEC="), std::string::npos) << hookEnvironment;
}

} // namespace
