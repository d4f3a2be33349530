// The window's status bar as a session opens: the cause of a port that does not open, and
// ModemManager managing the port (the fake one on a private bus), inhibited while the session
// is open when the File menu's item is ticked.
#include "modemmanager/ChildProcess.h"
#include "tests/app/PhoneWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <memory>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class StatusNotesWindowTest : public PhoneWindowTest {
protected:
    void Record() {
        QObject::connect(frame->statusBar(), &QStatusBar::messageChanged,
                         [this](const QString& text) {
                             if (!text.isEmpty())
                                 notes.push_back(text.toStdString());
                         });
    }
    // Opens or closes the session, waiting as long as a silent phone takes.
    void Toggle() {
        bool done = false;
        const auto connection =
            QObject::connect(view, &CTelvaneView::sessionTaskDone, [&done](bool) { done = true; });
        frame->Action(kCmdOpenCom)->trigger();
        ASSERT_TRUE(RunUntil([&done] { return done; }, 120000));
        QObject::disconnect(connection);
        // The opening ends with the count read, which holds the port until it is done.
        ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken(); }, 120000));
    }

    Texts notes;
};

TEST_F(StatusNotesWindowTest, APortThatDoesNotOpenHasItsCauseInTheStatusBar) {
    PhoneSim phone;
    Start(phone);
    Record();
    view->Session().Port().SetPortName("/nonexistent/ttyUSB9");
    Toggle();
    EXPECT_THAT(boxes, Contains("cannot create com device")) << "the box stays as it was";
    EXPECT_THAT(notes, Contains(::testing::StartsWith("No such device: /nonexistent/ttyUSB9")));
}

TEST_F(StatusNotesWindowTest, ModemManagerOnThePortIsNamedAndInhibitedForTheSession) {
    if (std::system("command -v dbus-daemon >/dev/null") != 0)
        GTEST_SKIP() << "dbus-daemon is not installed";
    ChildProcess bus({"dbus-daemon", "--session", "--nofork", "--print-address"});
    const std::string address = bus.FirstLine();
    ASSERT_FALSE(address.empty());
    ::setenv("TELVANE_MM_BUS", address.c_str(), 1);
    const auto log = std::filesystem::temp_directory_path() /
                     ("telvane-mm-window-" + std::to_string(::getpid()) + ".log");
    std::filesystem::remove(log);
    PhoneSim phone;
    const std::string node = std::filesystem::canonical(phone.LinkPath()).filename().string();
    ChildProcess manager(
        {TELVANE_FAKE_MM, address, log.string(), "Quectel", "EG25", "/sys/uid", "ttyUSB1", node});
    ASSERT_EQ(manager.FirstLine(), "ready");
    Start(phone);
    Record();

    QAction* inhibit = frame->Action(kCmdInhibitModemManager);
    emit frame->menuBar()->actions().at(0)->menu()->aboutToShow();
    EXPECT_TRUE(inhibit->isVisible()) << "ModemManager runs";
    inhibit->trigger();
    EXPECT_TRUE(inhibit->isChecked());
    Toggle();
    EXPECT_THAT(notes, Contains("ModemManager manages this port's modem (Quectel EG25, port " +
                                node + "): it lets go of it while the session is open."));
    EXPECT_EQ(view->portOpen, 1);
    Toggle();
    std::ifstream in(log);
    Texts calls;
    for (std::string line; std::getline(in, line);)
        calls.push_back(line);
    EXPECT_THAT(calls, ElementsAre("InhibitDevice /sys/uid true", "InhibitDevice /sys/uid false"));
    ::unsetenv("TELVANE_MM_BUS");
    std::filesystem::remove(log);
}

} // namespace
