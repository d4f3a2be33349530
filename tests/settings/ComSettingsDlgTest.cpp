#include "common/RecordingMessageSink.h"
#include "serial/settings/CComSettingsDlg.h"
#include "serial/settings/CComSettingsRunner.h"
#include "serial/settings/CSettingsStore.h"
#include "serial/settings/PortSettings.h"
#include "settings/SettingsTestDir.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

template <typename Widget> Widget* Control(QWidget& dialog, int id) {
    return dialog.findChild<Widget*>(QStringLiteral("control%1").arg(id));
}

class ComSettingsDlgTest : public ::testing::Test {
protected:
    QRadioButton* Radio(int id) { return Control<QRadioButton>(dialog, id); }
    QLineEdit* OtherEdit() { return Control<QLineEdit>(dialog, 1011); }
    QComboBox* SpeedCombo() { return Control<QComboBox>(dialog, 1018); }
    void Press(int id) { Control<QPushButton>(dialog, id)->click(); }

    // Presses OK and returns the choice; fails the test when the dialog did not close.
    ComSettingsChoice Confirm() {
        Press(1);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.Choice();
    }

    void SetUp() override { dialog.show(); }

    RecordingMessageSink sink;
    CComSettingsDlg dialog{sink};
};

TEST_F(ComSettingsDlgTest, OpensWithItsControlsLabelsAndInitialChoices) {
    EXPECT_EQ(dialog.windowTitle(), "COM Settings");
    struct Expected {
        const char* label;
        int id;
        bool checked;
    };
    const Expected radios[] = {
        {"COM1", 1007, true},        {"COM2", 1008, false},        {"COM3", 1009, false},
        {"COM4", 1010, false},       {"Other", 1012, false},       {"No flow control", 1013, false},
        {"Xon XOff", 1014, false},   {"HW", 1015, true},           {"8", 1021, true},
        {"7", 1022, false},          {"Parity Even", 1023, false}, {"Parity Odd", 1024, false},
        {"Parity None", 1025, true},
    };
    for (const Expected& e : radios) {
        QRadioButton* radio = Radio(e.id);
        ASSERT_NE(radio, nullptr) << e.id;
        EXPECT_EQ(radio->text(), e.label) << e.id;
        EXPECT_EQ(radio->isChecked(), e.checked) << e.id;
        EXPECT_EQ(radio->property("controlId").toInt(), e.id);
    }
    EXPECT_EQ(Control<QPushButton>(dialog, 1)->text(), "OK");
    EXPECT_EQ(Control<QPushButton>(dialog, 2)->text(), "Cancel");
    ASSERT_NE(OtherEdit(), nullptr);
    EXPECT_EQ(OtherEdit()->maxLength(), 50);
    EXPECT_TRUE(OtherEdit()->text().isEmpty());

    QComboBox* speed = SpeedCombo();
    ASSERT_NE(speed, nullptr);
    EXPECT_TRUE(speed->isEditable());
    QStringList entries;
    for (int i = 0; i < speed->count(); ++i)
        entries << speed->itemText(i);
    EXPECT_EQ(entries, QStringList({"2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
    EXPECT_EQ(speed->currentIndex(), 2);
    EXPECT_EQ(speed->currentText(), "9600");

    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        groups << group->title();
    groups.sort();
    EXPECT_EQ(groups,
              QStringList({"COM Settings", "Data bits", "Flow control", "Speed", "Static"}));
    // The radios sit in their groups' frames.
    EXPECT_EQ(Radio(1007)->parentWidget()->property("title"), "COM Settings");
    EXPECT_EQ(Radio(1015)->parentWidget()->property("title"), "Flow control");
    EXPECT_EQ(Radio(1025)->parentWidget()->property("title"), "Static");
}

TEST_F(ComSettingsDlgTest, OkWithoutChangesGivesTheInitialChoices) {
    const ComSettingsChoice choice = Confirm();
    EXPECT_EQ(choice.port, "COM1:");
    EXPECT_EQ(choice.speed, "9600");
    EXPECT_EQ(choice.dataBits, '8');
    EXPECT_EQ(choice.parity, '0');
    EXPECT_EQ(choice.flow, "2");
    EXPECT_TRUE(sink.Requests().empty());
}

TEST_F(ComSettingsDlgTest, TheCheckedRadiosChooseTheTexts) {
    Radio(1010)->click();
    Radio(1014)->click();
    Radio(1022)->click();
    Radio(1024)->click();
    SpeedCombo()->setCurrentIndex(6);
    ComSettingsChoice choice = Confirm();
    EXPECT_EQ(choice.port, "COM4:");
    EXPECT_EQ(choice.flow, "1");
    EXPECT_EQ(choice.dataBits, '7');
    EXPECT_EQ(choice.parity, '1');
    EXPECT_EQ(choice.speed, "115200");

    dialog.show();
    Radio(1008)->click();
    Radio(1013)->click();
    Radio(1023)->click();
    SpeedCombo()->setCurrentIndex(0);
    choice = Confirm();
    EXPECT_EQ(choice.port, "COM2:");
    EXPECT_EQ(choice.flow, "0");
    EXPECT_EQ(choice.parity, '2');
    EXPECT_EQ(choice.speed, "2400");
}

TEST_F(ComSettingsDlgTest, TypingAnOtherNameTakesOverThePortRadios) {
    OtherEdit()->insert("COM7");
    EXPECT_TRUE(Radio(1012)->isChecked());
    EXPECT_FALSE(Radio(1007)->isChecked());
    EXPECT_EQ(Confirm().port, "COM7:");

    dialog.show();
    OtherEdit()->setText("/dev/ttyUSB0:");
    EXPECT_EQ(Confirm().port, "/dev/ttyUSB0:") << "a final colon is not doubled";

    dialog.show();
    OtherEdit()->clear();
    EXPECT_TRUE(Radio(1012)->isChecked());
    EXPECT_EQ(Confirm().port, ":") << "an empty name is stored as it is and fails at the open";
}

TEST_F(ComSettingsDlgTest, CheckingAComRadioAfterTypingWins) {
    OtherEdit()->insert("ttyACM0");
    Radio(1008)->click();
    EXPECT_FALSE(Radio(1012)->isChecked());
    EXPECT_EQ(Confirm().port, "COM2:");
}

TEST_F(ComSettingsDlgTest, TheOtherNameIsLimitedToFiftyCharacters) {
    OtherEdit()->insert(QString(80, 'n'));
    EXPECT_EQ(Confirm().port, std::string(50, 'n') + ":");
}

TEST_F(ComSettingsDlgTest, ATypedPositiveSpeedIsKeptAsTyped) {
    SpeedCombo()->setEditText("921600");
    EXPECT_EQ(Confirm().speed, "921600");
    EXPECT_EQ(SpeedCombo()->count(), 7) << "a typed speed does not become an entry";

    dialog.show();
    SpeedCombo()->setEditText("1234567");
    EXPECT_EQ(Confirm().speed, "123456") << "the speed text holds six digits";
}

TEST_F(ComSettingsDlgTest, ASpeedThatIsNoPositiveNumberRefusesOk) {
    for (const char* typed : {"fast", "0", "", "-9600", "96 00", "000"}) {
        SpeedCombo()->setEditText(QString::fromLatin1(typed));
        Press(1);
        EXPECT_TRUE(dialog.isVisible()) << typed;
        EXPECT_NE(dialog.result(), QDialog::Accepted) << typed;
    }
    const auto requests = sink.Requests();
    ASSERT_EQ(requests.size(), 6U);
    EXPECT_EQ(requests[0].text, "The speed must be a positive number of at most 6 digits");
    EXPECT_EQ(requests[0].caption, "Telvane");

    SpeedCombo()->setEditText("4800");
    EXPECT_EQ(Confirm().speed, "4800") << "a corrected speed is accepted";
}

TEST_F(ComSettingsDlgTest, CancelClosesWithoutAccepting) {
    Radio(1022)->click();
    Press(2);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

// The IO Settings command with the real dialog, run modally and answered by a timer.
class IoSettingsWithDialogTest : public ::testing::Test {
protected:
    void RunAnswering(const std::function<void(CComSettingsDlg&)>& answer) {
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<CComSettingsDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
        });
        timer.start(0);
        CComSettingsRunner runner(sink, nullptr);
        OnIoSettings(runner, store, port, portSetting, flowSetting);
    }

    SettingsTestDir dir;
    RecordingMessageSink sink;
    RecordingMessageSink portSink;
    CSettingsStore store{sink};
    CComPort port{portSink};
    std::string portSetting;
    int32_t flowSetting = -1;
};

TEST_F(IoSettingsWithDialogTest, OkStoresTheDialogsChoices) {
    RunAnswering([](CComSettingsDlg& dialog) {
        Control<QRadioButton>(dialog, 1022)->click();
        Control<QLineEdit>(dialog, 1011)->insert("ttyUSB1");
        Control<QPushButton>(dialog, 1)->click();
    });
    EXPECT_EQ(store.ReadSetting("COM"), "ttyUSB1:");
    EXPECT_EQ(store.ReadSetting("Baud"), "9600");
    EXPECT_EQ(store.ReadSetting("Data"), "7");
    EXPECT_EQ(store.ReadSetting("Parity"), "0");
    EXPECT_EQ(store.ReadSetting("Flow"), "2");
    EXPECT_EQ(portSetting, "ttyUSB1:");
    EXPECT_EQ(flowSetting, 2);
    EXPECT_EQ(port.PortName(), "ttyUSB1:");
    EXPECT_EQ(ReadPortSettings(store).line.byteSize, 7);
}

TEST_F(IoSettingsWithDialogTest, OpensOnTheStoredValuesSoOneChangeKeepsTheRest) {
    for (auto [name, text] : {std::pair{"COM", "ttyACM0:"},
                              {"Baud", "115200"},
                              {"Data", "7"},
                              {"Parity", "2"},
                              {"Flow", "0"}}) {
        std::string value = text;
        store.WriteSetting(name, value);
    }
    RunAnswering([](CComSettingsDlg& dialog) {
        EXPECT_EQ(Control<QLineEdit>(dialog, 1011)->text(), "ttyACM0");
        EXPECT_TRUE(Control<QRadioButton>(dialog, 1012)->isChecked());
        EXPECT_TRUE(Control<QRadioButton>(dialog, 1013)->isChecked()) << "No flow control";
        EXPECT_TRUE(Control<QRadioButton>(dialog, 1022)->isChecked()) << "7 data bits";
        EXPECT_TRUE(Control<QRadioButton>(dialog, 1023)->isChecked()) << "Parity Even";
        EXPECT_EQ(Control<QComboBox>(dialog, 1018)->currentText(), "115200");
        Control<QRadioButton>(dialog, 1008)->click(); // only the port changes: COM2
        Control<QPushButton>(dialog, 1)->click();
    });
    EXPECT_EQ(store.ReadSetting("COM"), "COM2:");
    EXPECT_EQ(store.ReadSetting("Baud"), "115200");
    EXPECT_EQ(store.ReadSetting("Data"), "7");
    EXPECT_EQ(store.ReadSetting("Parity"), "2");
    EXPECT_EQ(store.ReadSetting("Flow"), "0");

    // A typed speed and a stored COM port come back as they were.
    std::string typed = "250000";
    store.WriteSetting("Baud", typed);
    RunAnswering([](CComSettingsDlg& dialog) {
        EXPECT_TRUE(Control<QRadioButton>(dialog, 1008)->isChecked());
        EXPECT_EQ(Control<QComboBox>(dialog, 1018)->currentText(), "250000");
        Control<QPushButton>(dialog, 1)->click();
    });
    EXPECT_EQ(store.ReadSetting("Baud"), "250000");
}

TEST_F(IoSettingsWithDialogTest, CancelStoresNothingAndReloads) {
    std::string flow = "1";
    store.WriteSetting("Flow", flow);
    RunAnswering([](CComSettingsDlg& dialog) {
        Control<QRadioButton>(dialog, 1009)->click();
        Control<QPushButton>(dialog, 2)->click();
    });
    EXPECT_EQ(store.ReadSetting("COM"), "");
    EXPECT_EQ(store.ReadSetting("Baud"), "");
    EXPECT_EQ(portSetting, "COM1:");
    EXPECT_EQ(flowSetting, 1);
    EXPECT_EQ(port.PortName(), "COM1:");
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
