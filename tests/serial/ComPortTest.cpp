#include "common/RecordingMessageSink.h"
#include "serial/CComPort.h"
#include "serial/PtyPair.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>

namespace {

using Texts = std::vector<std::string>;

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.Ready()); }

    // Opens `target` on the pty with ordinary settings.
    void OpenOnPty(CComPort& target) {
        target.SetPortName(pty.SlavePath());
        target.SetLineSettings(115200, 0, 8, 0, 2);
        target.Switch(1);
    }

    PtyPair pty;
    RecordingMessageSink sink;
    CComPort port{sink};
};

TEST_F(ComPortTest, EmptyPortNameIsReportedAndNothingIsOpened) {
    port.Open();
    ASSERT_EQ(sink.Texts(), Texts{"port name empty!"});
    const MessageBoxRequest box = sink.Requests()[0];
    EXPECT_EQ(box.caption, "");
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
    EXPECT_EQ(box.icon, BoxIcon::None);
    EXPECT_FALSE(box.owned);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(ComPortTest, PortNamesOutside1To99CharactersAreIgnored) {
    port.SetPortName("COM2:");
    port.SetPortName(std::string(100, 'x'));
    port.SetPortName("");
    EXPECT_EQ(port.PortName(), "COM2:");
    port.SetPortName(std::string(99, 'y'));
    EXPECT_EQ(port.PortName(), std::string(99, 'y'));
    // Counted in characters, as the settings store counts them.
    std::string accented;
    for (int i = 0; i < 99; ++i)
        accented += "\xc3\xa8"; // è
    port.SetPortName(accented);
    EXPECT_EQ(port.PortName(), accented);
    port.SetPortName(accented + "x");
    EXPECT_EQ(port.PortName(), accented);
}

TEST_F(ComPortTest, EachFailingStepShowsItsOwnMessage) {
    port.SetLineSettings(9600, 0, 8, 0, 0);
    port.SetPortName("/nonexistent/ttyNothing");
    port.Open();
    EXPECT_FALSE(port.IsOpen());

    const auto file = std::filesystem::temp_directory_path() / "telvane-comport-not-a-tty";
    std::ofstream(file) << "x";
    port.SetPortName(file.string());
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.IsOpen()) << "a device that failed a step is closed";
    EXPECT_EQ(port.Write("AT\r"), 0);
    std::filesystem::remove(file);

    port.SetPortName(pty.SlavePath());
    port.SetLineSettings(0, 0, 0, 0, 0); // nothing stored yet: speed 0, byte size 0
    port.Open();
    EXPECT_EQ(sink.Texts(), (Texts{"cannot create com device", "cannot create com device / 2",
                                   "cannot set comm state"}));
}

TEST_F(ComPortTest, ARegularFileGivenAsThePortIsLeftAsItWas) {
    const auto file = std::filesystem::temp_directory_path() / "telvane-comport-database";
    const std::string content = "SQLite format 3";
    std::ofstream(file) << content;
    port.SetPortName(file.string());
    port.SetLineSettings(115200, 0, 8, 0, 0);
    EXPECT_FALSE(port.Switch(1));
    EXPECT_EQ(port.Write("ATE0\r"), 0);
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
    std::filesystem::remove(file);
    EXPECT_TRUE(port.Switch(0));
}

TEST_F(ComPortTest, EveryFlowModeOpensAPseudoTerminalSilently) {
    for (int32_t flow : {0, 1, 2, 5}) {
        port.SetPortName(pty.SlavePath());
        port.SetLineSettings(9600, 2, 7, 0, flow);
        EXPECT_TRUE(port.Switch(1)) << flow;
        EXPECT_TRUE(port.IsOpen()) << flow;
        port.Switch(0);
    }
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(ComPortTest, WriteReportsTheCountAndStopsAtAZeroByte) {
    OpenOnPty(port);
    ASSERT_TRUE(sink.Texts().empty());
    EXPECT_EQ(port.Write("AT+CMGF=0\r"), 10);
    EXPECT_EQ(port.Write(""), 0);
    EXPECT_EQ(port.Write(std::string_view("AB\0CD", 5)), 2);
    EXPECT_EQ(pty.Drain(), "AT+CMGF=0\rAB");
}

TEST_F(ComPortTest, ReadTakesAtMost30BytesAndEndsAtAZeroByte) {
    OpenOnPty(port);
    const std::string fifty = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    pty.Send(fifty);
    std::string text;
    port.Read(text);
    EXPECT_EQ(text, fifty.substr(0, 30));
    port.Read(text);
    EXPECT_EQ(text, fifty.substr(30));

    pty.Send(std::string_view("OK\0lost\r\n", 9));
    port.Read(text);
    EXPECT_EQ(text, "OK");
}

TEST_F(ComPortTest, ReadWithNothingArrivingOrOnAClosedPortIsEmpty) {
    OpenOnPty(port);
    std::string text = "stale";
    port.Read(text);
    EXPECT_EQ(text, "");
    port.Switch(0);
    text = "stale";
    port.Read(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(port.Write("AT\r"), 0);
}

TEST_F(ComPortTest, ASecondOpenOfTheSameDeviceIsRefusedUntilTheFirstCloses) {
    OpenOnPty(port);
    CComPort second(sink);
    OpenOnPty(second);
    EXPECT_EQ(sink.Texts(), Texts{"cannot create com device"});
    EXPECT_FALSE(second.IsOpen());
    port.Switch(0);
    OpenOnPty(second);
    EXPECT_TRUE(second.IsOpen());
    EXPECT_EQ(sink.Texts().size(), 1u);
}

TEST_F(ComPortTest, OpenIsRefusedWhileAnotherProcessHoldsTheDevice) {
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only async-signal-safe calls here.
        const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        const char ok = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? '1' : '0';
        (void)!write(ready[1], &ok, 1);
        char ignored = 0;
        (void)!read(release[0], &ignored, 1);
        _exit(0);
    }
    char locked = 0;
    ASSERT_EQ(read(ready[0], &locked, 1), 1);
    ASSERT_EQ(locked, '1');
    OpenOnPty(port);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(sink.Texts(), Texts{"cannot create com device"});

    (void)!write(release[1], "x", 1);
    int status = 0;
    waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
    OpenOnPty(port);
    EXPECT_TRUE(port.IsOpen());
}

} // namespace
