#include "serial/PortDiagnosis.h"

#include "common/RecordingMessageSink.h"
#include "serial/CComPort.h"
#include "serial/FakeSystem.h"
#include "serial/PtyPair.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using ::testing::HasSubstr;

namespace {

constexpr uid_t kNobody = 65534;

// A child process that sleeps until killed: a live holder of a lock or of the device.
class Sleeper {
public:
    // `prepare` runs in the child before it sleeps; it writes one byte when done.
    template <typename Prepare> explicit Sleeper(Prepare prepare) {
        std::array<int, 2> ready{};
        if (::pipe(ready.data()) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            prepare();
            const char done = 'x';
            [[maybe_unused]] const ssize_t ignored = ::write(ready[1], &done, 1);
            for (;;)
                ::pause();
        }
        char done = 0;
        [[maybe_unused]] const ssize_t ignored = ::read(ready[0], &done, 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~Sleeper() { Stop(); }
    Sleeper(const Sleeper&) = delete;
    Sleeper& operator=(const Sleeper&) = delete;

    void Stop() {
        if (pid <= 0)
            return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    pid_t Pid() const { return pid; }

private:
    pid_t pid = -1;
};

class PortDiagnosisTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ready());
        ::setenv("TELVANE_SYSROOT", sys.Root().c_str(), 1);
        port.SetStatusNote([this](const std::string& text) { notes.push_back(text); });
        port.SetLineSettings(115200, 0, 8, 0, 0);
    }
    void TearDown() override { ::unsetenv("TELVANE_SYSROOT"); }

    void OpenPort(const std::string& name) {
        port.SetPortName(name);
        port.Open();
    }
    // Opens the pty from a child that has given up root (and keeps `groups`); the note it got.
    std::string OpenAsNobody(std::vector<gid_t> groups) {
        std::array<int, 2> channel{};
        if (::pipe(channel.data()) != 0)
            return "pipe failed";
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            std::string note = "no note";
            if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(kNobody) != 0 ||
                ::setuid(kNobody) != 0)
                note = "cannot drop root";
            else {
                RecordingMessageSink childSink;
                CComPort childPort(childSink);
                childPort.SetStatusNote([&note](const std::string& text) { note = text; });
                childPort.SetPortName(pty.SlavePath());
                childPort.Open();
                if (childPort.IsOpen())
                    note = "opened";
            }
            [[maybe_unused]] const ssize_t ignored = ::write(channel[1], note.data(), note.size());
            ::_exit(0);
        }
        ::close(channel[1]);
        std::string note;
        std::array<char, 512> buffer{};
        for (ssize_t got = 0; (got = ::read(channel[0], buffer.data(), buffer.size())) > 0;)
            note.append(buffer.data(), static_cast<std::size_t>(got));
        ::close(channel[0]);
        ::waitpid(child, nullptr, 0);
        return note;
    }
    gid_t SlaveGroup() const {
        struct stat node {};
        ::stat(pty.SlavePath().c_str(), &node);
        return node.st_gid;
    }
    std::string SlaveGroupName() const {
        const group* entry = ::getgrgid(SlaveGroup());
        return entry != nullptr ? entry->gr_name : std::to_string(SlaveGroup());
    }
    void WriteLock(const std::string& content) const {
        std::filesystem::create_directories(sys.Root() + "/var/lock");
        const std::string name = std::filesystem::path(pty.SlavePath()).filename().string();
        std::ofstream(sys.Root() + "/var/lock/LCK.." + name, std::ios::binary) << content;
    }
    static std::string HdbPid(pid_t pid) {
        std::array<char, 16> text{};
        std::snprintf(text.data(), text.size(), "%10d\n", static_cast<int>(pid));
        return text.data();
    }

    FakeSystem sys;
    PtyPair pty;
    RecordingMessageSink sink;
    CComPort port{sink};
    std::vector<std::string> notes;
};

TEST_F(PortDiagnosisTest, AMissingDeviceNamesThePortsThatExist) {
    OpenPort("/nonexistent/ttyUSB7");
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"cannot create com device"});
    EXPECT_EQ(notes, std::vector<std::string>{"No such device: /nonexistent/ttyUSB7, and no serial "
                                              "port was found: plug the phone in, or check its "
                                              "cable."});
    sys.Node("ttyUSB1");
    sys.Node("ttyACM0");
    sys.Link("../../ttyUSB1", "dev/serial/by-id/usb-Modem-if00-port0");
    EXPECT_EQ(DescribeOpenFailure("/dev/ttyUSB7", ENOENT, sys.Root()),
              "No such device: /dev/ttyUSB7. Serial ports found: /dev/ttyUSB1, /dev/ttyACM0.");
}

TEST_F(PortDiagnosisTest, NoPermissionNamesTheGroupAndTheCommandThatAddsTheUser) {
    ASSERT_EQ(::geteuid(), 0U) << "dropping to another user needs root";
    ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0660), 0);
    const std::string note = OpenAsNobody({});
    EXPECT_THAT(note, HasSubstr("No permission for " + pty.SlavePath() +
                                ": it belongs to the "
                                "group \"" +
                                SlaveGroupName() + "\" and you ("));
    EXPECT_THAT(note, HasSubstr("are not in it. Fix: sudo usermod -aG " + SlaveGroupName() + " "));
    EXPECT_THAT(note, HasSubstr(", then log out and in again."));
}

TEST_F(PortDiagnosisTest, NoPermissionForTheUsersOwnGroupNamesTheMode) {
    ASSERT_EQ(::geteuid(), 0U) << "dropping to another user needs root";
    ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0600), 0);
    EXPECT_EQ(OpenAsNobody({SlaveGroup()}),
              "No permission for " + pty.SlavePath() + ": its group \"" + SlaveGroupName() +
                  "\", which you are in, may not read and write it (mode 0600). Fix: sudo chmod "
                  "g+rw " +
                  pty.SlavePath() + ", or a udev rule with MODE=\"0660\".");
}

TEST_F(PortDiagnosisTest, AFlockHolderIsNamedWithItsProcess) {
    const std::string path = pty.SlavePath();
    Sleeper holder([&path] {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        ::flock(fd, LOCK_EX | LOCK_NB);
    });
    OpenPort(path);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"cannot create com device"});
    ASSERT_EQ(notes.size(), 1U);
    EXPECT_THAT(notes[0], HasSubstr(path + " is held by another program ("));
    EXPECT_THAT(notes[0], HasSubstr("(process " + std::to_string(holder.Pid()) + "))."));
}

TEST_F(PortDiagnosisTest, AnExclusiveOpenKeepsOutAnOrdinaryUser) {
    ASSERT_EQ(::geteuid(), 0U) << "dropping to another user needs root";
    ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0666), 0);
    const std::string path = pty.SlavePath();
    Sleeper holder([&path] {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        ::ioctl(fd, TIOCEXCL);
    });
    // Another user may not look into root's descriptors: the cause without the program.
    EXPECT_EQ(OpenAsNobody({}), path + " is held by another program (an exclusive open or "
                                       "lock). Close it, or choose another port.");
}

TEST_F(PortDiagnosisTest, ALiveProcesssUucpLockRefusesTheOpenAStaleOneDoesNot) {
    Sleeper owner([] {});
    WriteLock(HdbPid(owner.Pid()));
    OpenPort(pty.SlavePath());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"cannot create com device"});
    const std::string lockFile =
        sys.Root() + "/var/lock/LCK.." + std::filesystem::path(pty.SlavePath()).filename().string();
    ASSERT_EQ(notes.size(), 1U);
    EXPECT_THAT(notes[0], HasSubstr(pty.SlavePath() + " is locked by "));
    EXPECT_THAT(notes[0], HasSubstr("(process " + std::to_string(owner.Pid()) + ") through " +
                                    lockFile + ". Close that program first."));

    owner.Stop(); // its lock file stays behind
    notes.clear();
    OpenPort(pty.SlavePath());
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(notes.empty());
}

TEST_F(PortDiagnosisTest, UucpLocksInBinaryFormAndOfThisProcessAreRead) {
    Sleeper owner([] {});
    const int pid = owner.Pid();
    WriteLock(std::string(reinterpret_cast<const char*>(&pid), sizeof pid));
    ASSERT_TRUE(FindUucpLock(pty.SlavePath(), sys.Root()).has_value());
    EXPECT_EQ(FindUucpLock(pty.SlavePath(), sys.Root())->pid, pid);
    WriteLock(HdbPid(::getpid())); // our own lock does not keep us out
    EXPECT_FALSE(FindUucpLock(pty.SlavePath(), sys.Root()).has_value());
    WriteLock("garbage\n");
    EXPECT_FALSE(FindUucpLock(pty.SlavePath(), sys.Root()).has_value());
}

} // namespace
