#include "serial/PortName.h"
#include "serial/TermiosBuilder.h"

#include <gtest/gtest.h>

namespace {

TEST(PortName, MapsComNamesShortNamesAndPaths) {
    EXPECT_EQ(DevicePath("COM1:"), "/dev/ttyS0");
    EXPECT_EQ(DevicePath("COM3:"), "/dev/ttyS2");
    EXPECT_EQ(DevicePath("com12:"), "/dev/ttyS11");
    EXPECT_EQ(DevicePath("COM2"), "/dev/ttyS1");
    EXPECT_EQ(DevicePath("ttyUSB0:"), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePath("ttyACM0"), "/dev/ttyACM0");
    EXPECT_EQ(DevicePath("/tmp/phonesim/link"), "/tmp/phonesim/link");
    EXPECT_EQ(DevicePath("/dev/ttyUSB1"), "/dev/ttyUSB1");
    // What the settings dialog stores for a path typed under "Other".
    EXPECT_EQ(DevicePath("/dev/ttyUSB1:"), "/dev/ttyUSB1");
}

TEST(PortName, NamesThatOnlyLookLikeComPortsAreDeviceNames) {
    EXPECT_EQ(DevicePath("COM0:"), "/dev/COM0");
    EXPECT_EQ(DevicePath("COM:"), "/dev/COM");
    EXPECT_EQ(DevicePath("COMX:"), "/dev/COMX");
    EXPECT_EQ(DevicePath("COM99999999999999999999:"), "/dev/COM99999999999999999999");
    EXPECT_EQ(DevicePath("COM1::"), "/dev/COM1:"); // only one trailing ':' goes
}

// What the device reported before configuration: a cooked terminal with echo and XON/XOFF.
termios2 CookedTerminal() {
    termios2 tio{};
    tio.c_iflag = ICRNL | IXON | IXOFF | BRKINT | ISTRIP | IGNPAR;
    tio.c_oflag = OPOST | ONLCR;
    tio.c_lflag = ECHO | ICANON | ISIG | IEXTEN;
    tio.c_cflag = B9600 | CS7 | PARENB | CSTOPB | CRTSCTS | HUPCL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 5;
    return tio;
}

TEST(TermiosBuilder, GivesARawEightBitLineWithReceiverOnAndParityChecked) {
    termios2 tio = CookedTerminal();
    ASSERT_TRUE(BuildTermios({115200, 0, 8, 0, 0}, tio));
    EXPECT_EQ(tio.c_cflag & CBAUD, tcflag_t{B115200});
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t{CS8});
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
    EXPECT_TRUE(tio.c_cflag & HUPCL) << "fields the settings do not name keep the device's values";
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF | BRKINT | ISTRIP | IGNPAR), 0u);
    EXPECT_TRUE(tio.c_iflag & INPCK);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST(TermiosBuilder, SetsDataBitsParityAndStopBits) {
    struct Case {
        uint8_t parity, byteSize, stopBits;
        tcflag_t expected;
    };
    const Case cases[] = {
        {1, 7, 0, CS7 | PARENB | PARODD},
        {2, 8, 0, CS8 | PARENB},
        {3, 7, 0, CS7 | PARENB | PARODD | CMSPAR},
        {4, 6, 2, CS6 | PARENB | CMSPAR | CSTOPB},
        {0, 5, 1, CS5 | CSTOPB},
    };
    for (const auto& c : cases) {
        termios2 tio = CookedTerminal();
        ASSERT_TRUE(BuildTermios({9600, c.parity, c.byteSize, c.stopBits, 2}, tio));
        EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.expected)
            << int(c.parity) << " " << int(c.byteSize) << " " << int(c.stopBits);
    }
}

TEST(TermiosBuilder, RefusesWhatADeviceRefusesAndLeavesTheRecordAlone) {
    const LineSettings refused[] = {
        {0, 0, 8, 0, 0},    // speed 0 (nothing stored yet)
        {9600, 0, 0, 0, 0}, // byte size 0
        {9600, 0, 9, 0, 0}, {9600, 5, 8, 0, 0}, {9600, 0, 8, 1, 0}, {9600, 0, 8, 3, 0},
    };
    for (const auto& settings : refused) {
        termios2 tio = CookedTerminal();
        EXPECT_FALSE(BuildTermios(settings, tio));
        EXPECT_EQ(tio.c_cflag, CookedTerminal().c_cflag);
        EXPECT_EQ(tio.c_lflag, CookedTerminal().c_lflag);
    }
}

TEST(TermiosBuilder, FlowModeOneIsCtsHandshakeNotXonXoff) {
    termios2 tio = CookedTerminal();
    ASSERT_TRUE(BuildTermios({9600, 0, 8, 0, 1}, tio));
    EXPECT_TRUE(tio.c_cflag & CRTSCTS);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY), 0u);
}

TEST(TermiosBuilder, UnknownFlowModeConfiguresTheLineExactlyAsModeZero) {
    termios2 none = CookedTerminal();
    termios2 five = CookedTerminal();
    ASSERT_TRUE(BuildTermios({19200, 2, 7, 0, 0}, none));
    ASSERT_TRUE(BuildTermios({19200, 2, 7, 0, 5}, five));
    EXPECT_EQ(five.c_cflag, none.c_cflag);
    EXPECT_EQ(five.c_iflag, none.c_iflag);
    EXPECT_EQ(ModemLinesFor(5).raise, ModemLinesFor(0).raise);
    EXPECT_EQ(ModemLinesFor(5).lower, ModemLinesFor(0).lower);
}

TEST(TermiosBuilder, NonStandardSpeedGoesThroughBother) {
    termios2 tio = CookedTerminal();
    ASSERT_TRUE(BuildTermios({250000, 0, 8, 0, 0}, tio));
    EXPECT_EQ(tio.c_cflag & CBAUD, tcflag_t{BOTHER});
    EXPECT_EQ(tio.c_ospeed, 250000u);
    EXPECT_EQ(tio.c_ispeed, 250000u);
    EXPECT_EQ(tio.c_cflag & CIBAUD, 0u) << "input speed follows the output speed";
}

} // namespace
