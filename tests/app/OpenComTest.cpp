// "Open COM" against the phone simulator on a pseudo-terminal, in real time: the session opens
// off the user-interface thread, checks the menu entry and enables the port controls, and the
// window keeps turning its event loop while a silent phone is waited for.
#include "app/CMainFrame.h"
#include "app/CTelvaneApp.h"
#include "app/CTelvaneView.h"
#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "res/form/FormControls.h"
#include "res/form/MenuTable.h"
#include "serial/settings/CSettingsStore.h"
#include "tests/app/ModalAnswer.h"
#include "tests/app/SettingsFolder.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class OpenComTest : public testing::Test {
protected:
    // Points the stored port settings at the simulator and starts the application.
    void Start(const PhoneSim& phone) {
        RecordingMessageSink recorder;
        CSettingsStore store(recorder);
        for (auto [name, text] :
             std::vector<std::pair<const char*, std::string>>{{"COM", phone.LinkPath()},
                                                              {"Baud", "115200"},
                                                              {"Data", "8"},
                                                              {"Parity", "0"},
                                                              {"Flow", "0"}})
            store.WriteSetting(name, text);
        ASSERT_TRUE(app.InitInstance());
        frame = app.MainFrame();
        view = frame->View();
    }

    // Triggers "Open COM" and turns the event loop until the session has opened or closed.
    // Every box shown meanwhile is read and closed (from a timer: a box runs its own loop).
    void ToggleSession() {
        bool done = false;
        const auto connection =
            QObject::connect(view, &CTelvaneView::sessionTaskDone, [&done](bool) { done = true; });
        QTimer answerer;
        QObject::connect(&answerer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.push_back(box->text().toStdString());
                box->accept();
            }
        });
        answerer.start(20);
        frame->Action(kCmdOpenCom)->trigger();
        for (int turn = 0; turn < 3000 && !done; ++turn) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        QObject::disconnect(connection);
        ASSERT_TRUE(done);
    }

    void ExpectPortControlsEnabled(bool enabled) const {
        for (const FormControl& control : FormControlTable()) {
            if (control.needsPort) {
                EXPECT_EQ(view->Control(control.id)->isEnabled(), enabled) << control.id;
            }
        }
    }

    SettingsFolder folder;
    CTelvaneApp app;
    CMainFrame* frame = nullptr;
    CTelvaneView* view = nullptr;
    Texts boxes;
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
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0"}));
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

TEST_F(OpenComTest, WindowKeepsTurningWhileASilentPhoneTimesOut) {
    PhoneSim phone({.extraArgs = {"--silent"}});
    Start(phone);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(100);
    ToggleSession();
    EXPECT_EQ(boxes, (Texts{"Error sending ATE0", "Error setting SMS Type to PDU (+CMGF=0)"}));
    EXPECT_TRUE(frame->Action(kCmdOpenCom)->isChecked());
    // Two waits of 5.2 s passed on the session's thread; the timer went on meanwhile.
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
