#include "common/RecordingMessageSink.h"
#include "serial/settings/CSettingsStore.h"
#include "serial/settings/PortSettings.h"
#include "settings/PseudoTerminal.h"
#include "settings/SettingsTestDir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <limits>

namespace {

class FakeComDialog final : public IComSettingsDialog {
public:
    std::optional<ComSettingsChoice> Run(const ComSettingsChoice& shown) override {
        ++runs;
        opened = shown;
        return answer;
    }
    std::optional<ComSettingsChoice> answer;
    ComSettingsChoice opened;
    int runs = 0;
};

ComSettingsChoice UnchangedDialog() {
    return {"9600", '0', '8', "COM1:", "2"};
}

class LoadPortSettingsTest : public ::testing::Test {
protected:
    void Store(std::string_view name, std::string text) { store.WriteSetting(name, text); }

    void Load() { LoadPortSettings(store, port, portSetting, flowSetting); }
    void IoSettings() { OnIoSettings(dialog, store, port, portSetting, flowSetting); }

    // Opens the port on the pseudo-terminal and reads back the line it configured; nothing when
    // the open showed a failure.
    std::optional<termios2> LineAfterOpen(const PseudoTerminal& pty) {
        const std::size_t before = portSink.Requests().size();
        port.Switch(1);
        const termios2 line = pty.Line();
        const bool opened = portSink.Requests().size() == before;
        port.Switch(0);
        if (!opened)
            return std::nullopt;
        return line;
    }

    SettingsTestDir dir;
    RecordingMessageSink sink;
    RecordingMessageSink portSink;
    CSettingsStore store{sink};
    CComPort port{portSink};
    FakeComDialog dialog;
    std::string portSetting = "junk";
    int32_t flowSetting = -1;
};

TEST_F(LoadPortSettingsTest, NothingStoredGivesCom1AndZeroes) {
    const StoredPortSettings settings = ReadPortSettings(store);
    EXPECT_EQ(settings.portName, "COM1:");
    EXPECT_EQ(settings.line.baudRate, 0U);
    EXPECT_EQ(settings.line.parity, 0);
    EXPECT_EQ(settings.line.byteSize, 0);
    EXPECT_EQ(settings.line.flowControl, 0);

    Load();
    EXPECT_EQ(portSetting, "COM1:");
    EXPECT_EQ(flowSetting, 0);
    EXPECT_EQ(port.PortName(), "COM1:");
    EXPECT_TRUE(sink.Requests().empty());
}

TEST_F(LoadPortSettingsTest, NumbersAreReadLikeAtoi) {
    Store("Flow", "HW");
    Store("Data", " 7 bits");
    Store("Baud", "19200x");
    Store("Parity", "258");
    StoredPortSettings settings = ReadPortSettings(store);
    EXPECT_EQ(settings.line.flowControl, 0) << "a flow value without digits is mode 0";
    EXPECT_EQ(settings.line.byteSize, 7);
    EXPECT_EQ(settings.line.baudRate, 19200U);
    EXPECT_EQ(settings.line.parity, 2) << "parity is kept to 8 bits";

    Store("Flow", "-3");
    Store("Baud", "-1");
    Store("Data", ".");
    settings = ReadPortSettings(store);
    EXPECT_EQ(settings.line.flowControl, -3);
    EXPECT_EQ(settings.line.baudRate, std::numeric_limits<uint32_t>::max());
    EXPECT_EQ(settings.line.byteSize, 0);
}

TEST_F(LoadPortSettingsTest, AnUnreadableStoreShowsOneBoxPerValueAndFallsBackToCom1) {
    ASSERT_TRUE(QDir().mkpath(dir.File()));
    Load();
    EXPECT_EQ(sink.Texts(), std::vector<std::string>(5, "Error opening key"));
    EXPECT_EQ(portSetting, "COM1:");
    EXPECT_EQ(flowSetting, 0);
}

TEST_F(LoadPortSettingsTest, LoadedSettingsReachTheDeviceAtTheNextOpen) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    Store("COM", pty.SlavePath());
    Load();
    EXPECT_EQ(port.PortName(), pty.SlavePath());
    EXPECT_FALSE(LineAfterOpen(pty)) << "speed 0 is refused";
    EXPECT_EQ(portSink.Texts().back(), "cannot set comm state");

    Store("Baud", "19200");
    Store("Data", "8");
    Store("Parity", "0");
    Store("Flow", "1");
    Load();
    EXPECT_EQ(flowSetting, 1);
    const std::optional<termios2> line = LineAfterOpen(pty);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->c_cflag & CBAUD, tcflag_t{B19200});
    EXPECT_EQ(line->c_cflag & CSTOPB, 0U) << "always one stop bit";
    EXPECT_NE(line->c_cflag & CRTSCTS, 0U) << "flow 1 is the CTS output handshake";
}

TEST_F(LoadPortSettingsTest, ConfirmingTheUnchangedDialogStoresAndAppliesItsChoices) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    dialog.answer = UnchangedDialog();
    IoSettings();
    EXPECT_EQ(dialog.runs, 1);
    EXPECT_EQ(store.ReadSetting("COM"), "COM1:");
    EXPECT_EQ(store.ReadSetting("Baud"), "9600");
    EXPECT_EQ(store.ReadSetting("Data"), "8");
    EXPECT_EQ(store.ReadSetting("Parity"), "0");
    EXPECT_EQ(store.ReadSetting("Flow"), "2");
    EXPECT_EQ(portSetting, "COM1:");
    EXPECT_EQ(flowSetting, 2);
    const StoredPortSettings applied = ReadPortSettings(store);
    EXPECT_EQ(applied.line.baudRate, 9600U);
    EXPECT_EQ(applied.line.byteSize, 8);
    EXPECT_EQ(applied.line.parity, 0);
    EXPECT_TRUE(sink.Requests().empty());

    // The same choices on the pseudo-terminal: 9600 bit/s, no CTS handshake in mode 2.
    dialog.answer->port = pty.SlavePath();
    IoSettings();
    EXPECT_EQ(portSetting, pty.SlavePath());
    const std::optional<termios2> line = LineAfterOpen(pty);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->c_cflag & CBAUD, tcflag_t{B9600});
    EXPECT_EQ(line->c_cflag & CRTSCTS, 0U);
}

TEST_F(LoadPortSettingsTest, CancelStoresNothingButReappliesTheStore) {
    Store("COM", "COM3:");
    Store("Flow", "1");
    const QByteArray before = [&] {
        QFile file(dir.File());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    IoSettings();
    EXPECT_EQ(dialog.runs, 1);
    QFile file(dir.File());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(portSetting, "COM3:");
    EXPECT_EQ(flowSetting, 1);
    EXPECT_EQ(port.PortName(), "COM3:");
}

TEST_F(LoadPortSettingsTest, AnOverlongPortFromTheDialogIsCutToTheSettingsCapacity) {
    dialog.answer = UnchangedDialog();
    dialog.answer->port = std::string(120, 'p') + ":";
    IoSettings();
    EXPECT_EQ(portSetting, std::string(99, 'p'));
    EXPECT_EQ(store.ReadSetting("COM"), std::string(99, 'p'));
    EXPECT_EQ(port.PortName(), std::string(99, 'p'));
}

} // namespace
