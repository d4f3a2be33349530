#include "serial/settings/PortCompleter.h"

#include "common/RecordingMessageSink.h"
#include "serial/FakeSystem.h"
#include "serial/settings/CComSettingsDlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

void Key(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

const std::string kLongLink = "/dev/serial/by-id/usb-HUAWEI_Technology_HUAWEI_Mobile-if02-port0";

// A click on a row of the list, as the mouse makes it.
void Click(QAbstractItemView* list, const QModelIndex& row) {
    const QPointF at = list->visualRect(row).center();
    const QPointF global = list->viewport()->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
    }
}

TEST(PortChoicesTest, ALinkTooLongForTheEditIsOfferedByItsNodeOnce) {
    ASSERT_GT(kLongLink.size(), 50U);
    SerialPortInfo modem{kLongLink, "/dev/ttyUSB2", "12d1", "1001", "HUAWEI", "Mobile", "02"};
    SerialPortInfo node = modem;
    node.path = "/dev/ttyUSB2";
    const SerialPortInfo phone{
        "/dev/serial/by-id/usb-Phone-if00", "/dev/ttyACM0", {}, {}, {}, {}, {}};
    const std::vector<PortChoice> choices = PortChoices({modem, phone, node}, 50);
    ASSERT_EQ(choices.size(), 2U);
    EXPECT_EQ(choices[0].path, "/dev/ttyUSB2");
    EXPECT_EQ(choices[0].label,
              "/dev/ttyUSB2  (" + kLongLink + ")  HUAWEI Mobile (12d1:1001), interface 02");
    EXPECT_EQ(choices[1].path, "/dev/serial/by-id/usb-Phone-if00");
    EXPECT_EQ(choices[1].label, "/dev/serial/by-id/usb-Phone-if00");
}

class PortListInDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys.Node("ttyUSB0");
        sys.Node("ttyACM0");
        sys.Link("../../ttyACM0", "dev/serial/by-id/usb-Phone-if00");
        ::setenv("TELVANE_SYSROOT", sys.Root().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("TELVANE_SYSROOT"); }

    FakeSystem sys;
    RecordingMessageSink sink;
};

TEST_F(PortListInDialogTest, DownListsThePortsAndAChoiceIsStoredAsItsPath) {
    CComSettingsDlg dialog(sink);
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("control1011"));
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(edit->completer(), nullptr);
    // The edit takes a chosen entry only while it has the focus, as it has when a user types.
    QApplication::setActiveWindow(&dialog);
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    Key(edit, Qt::Key_Down);
    QAbstractItemView* popup = edit->completer()->popup();
    ASSERT_TRUE(popup->isVisible());
    ASSERT_EQ(popup->model()->rowCount(), 3);
    EXPECT_EQ(popup->model()->index(0, 0).data().toString(), "/dev/serial/by-id/usb-Phone-if00");

    Click(popup, popup->model()->index(2, 0));
    EXPECT_EQ(edit->text(), "/dev/ttyUSB0");
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("control1012"))->isChecked());
    dialog.findChild<QPushButton*>(QStringLiteral("control1"))->click();
    EXPECT_EQ(dialog.Choice().port, "/dev/ttyUSB0:");
}

TEST_F(PortListInDialogTest, TypingFiltersOnAnyPartOfThePath) {
    CComSettingsDlg dialog(sink);
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("control1011"));
    edit->setFocus();
    for (const QChar c : QStringLiteral("acm"))
        Key(edit, Qt::Key_A + (c.unicode() - 'a'), c);
    QCompleter* completer = edit->completer();
    ASSERT_TRUE(completer->popup()->isVisible());
    EXPECT_EQ(completer->completionCount(), 1);
    EXPECT_EQ(completer->currentCompletion(), "/dev/ttyACM0");
}

TEST_F(PortListInDialogTest, WithoutPortsTheEditHasNoList) {
    ::setenv("TELVANE_SYSROOT", "/nonexistent/telvane-root", 1);
    CComSettingsDlg dialog(sink);
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("control1011"))->completer(), nullptr);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
