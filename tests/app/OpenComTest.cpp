// "Open COM" against the phone simulator on a pseudo-terminal, in real time: the session opens
// off the user-interface thread, checks the menu entry and enables the port controls, and the
// window keeps turning its event loop while a silent phone is waited for.
#include "res/form/FormControls.h"
#include "tests/app/PhoneWindow.h"

#include <QStatusBar>
#include <fstream>

namespace {

class OpenComTest : public PhoneWindowTest {
protected:
    void ExpectPortControlsEnabled(bool enabled) const {
        for (const FormControl& control : FormControlTable()) {
            if (control.needsPort) {
                EXPECT_EQ(view->Control(control.id)->isEnabled(), enabled) << control.id;
            }
        }
    }
};

TEST_F(OpenComTest, OpensOnThePhoneChecksTheEntryAndClosesAgain) {
    PhoneSim phone;
    Start(phone);
    view->OnJumpTo(2);
    std::vector<int> activated;
    QObject::connect(view, &CTelvaneView::tabActivated,
                     [&activated](int tab) { activated.push_back(tab); });
    ToggleSession();
    EXPECT_TRUE(boxes.empty());
    // The session's two commands, then the counts of both memories.
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", R"(AT+CPMS="SM")", R"(AT+CPMS="ME")"}));
    EXPECT_EQ(view->portOpen, 1);
    EXPECT_TRUE(frame->Action(kCmdOpenCom)->isChecked());
    ExpectPortControlsEnabled(true);
    // The counts are asked from the first tab's activation, though the phonebook shows.
    EXPECT_EQ(activated, std::vector<int>{0});
    EXPECT_EQ(view->currentTab, 2);

    ToggleSession();
    EXPECT_EQ(view->portOpen, 0);
    EXPECT_FALSE(frame->Action(kCmdOpenCom)->isChecked());
    ExpectPortControlsEnabled(false);
}

TEST_F(OpenComTest, APortThatDoesNotOpenStaysClosedWithItsOneBoxAndItsCause) {
    PhoneSim phone;
    Start(phone);
    view->Session().Port().SetPortName("/dev/ttyUSB7-none");
    ToggleSession();
    EXPECT_EQ(boxes, Texts{"cannot create com device"});
    EXPECT_EQ(view->portOpen, 0);
    EXPECT_FALSE(frame->Action(kCmdOpenCom)->isChecked());
    ExpectPortControlsEnabled(false);
    const QString cause = frame->statusBar()->currentMessage();
    EXPECT_NE(cause.indexOf(QStringLiteral("ttyUSB7-none")), -1) << cause.toStdString();
    RunUntil([] { return false; }, 1500);
    EXPECT_EQ(frame->statusBar()->currentMessage(), cause) << "the cause stays to be read";
}

TEST_F(OpenComTest, AFileGivenAsThePortIsRefusedUntouched) {
    PhoneSim phone;
    Start(phone);
    const std::string file = folder.Path() + "/telvane.mdb";
    const std::string content = "SQLite format 3";
    std::ofstream(file) << content;
    view->Session().Port().SetPortName(file);
    ToggleSession();
    EXPECT_EQ(boxes, Texts{"cannot create com device / 2"});
    EXPECT_EQ(view->portOpen, 0);
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
}

TEST_F(OpenComTest, WindowKeepsTurningWhileASilentPhoneTimesOut) {
    PhoneSim phone({.extraArgs = {"--silent"}});
    Start(phone);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(100);
    ToggleSession();
    EXPECT_EQ(boxes, (Texts{"Error sending ATE0", "Error setting SMS Type to PDU (+CMGF=0)",
                            "Error reading SMS Count SM"}));
    EXPECT_TRUE(frame->Action(kCmdOpenCom)->isChecked());
    // Three waits of 5.2 s passed on the workers' threads; the timer went on meanwhile.
    EXPECT_GT(ticks, 50);
}

TEST_F(OpenComTest, ClosingTheWindowWhileASilentPhoneIsWaitedForEndsTheSession) {
    PhoneSim phone({.extraArgs = {"--silent"}});
    Start(phone);
    frame->Action(kCmdOpenCom)->trigger();
    for (int turn = 0; turn < 500 && phone.Received().empty(); ++turn) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(phone.Received(), Texts{"ATE0"});
    EXPECT_TRUE(view->SessionTaskRunning());
    frame->close(); // must neither hang nor show a box
    EXPECT_EQ(view->stopRequest, 255);
    EXPECT_EQ(view->portOpen, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(OpenComTest, ClosingRightAfterOpenComServesTheSessionsPendingFormCalls) {
    PhoneSim phone({.extraArgs = {"--silent"}});
    Start(phone);
    frame->Action(kCmdOpenCom)->trigger();
    // No event turned: the session's thread waits on its first form call, which the close
    // must carry out rather than wait for.
    frame->close();
    EXPECT_EQ(view->portOpen, 0);
    EXPECT_FALSE(frame->Action(kCmdOpenCom)->isChecked());
}

} // namespace
