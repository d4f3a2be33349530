// One task at a time on the real window against the phone simulator: starts refused while
// "Open COM" sets the phone up, `busy` set only by the two read workers, the database kept while
// a task runs, "+CME ERROR:" taken as the phone's answer, and a phone that goes away mid-read.
#include "res/form/FormControls.h"
#include "tests/app/PhoneWindow.h"

#include <QFileDialog>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>

namespace {

std::string ThirtyMessages() {
    // SMS-DELIVER from +12345678901, "hello".
    std::string fixture;
    for (int index = 1; index <= 30; ++index)
        fixture += "sms SM " + std::to_string(index) +
                   " 1 07912143658709F1040B912143658709F100009930925161958005e8329bfd06\n";
    return fixture;
}

class TaskExclusionTest : public PhoneWindowTest {
protected:
    void Click(int id) const { qobject_cast<QAbstractButton*>(view->Control(id))->click(); }
    QString Status() const { return frame->statusBar()->currentMessage(); }
    void ClearStatus() const { frame->statusBar()->clearMessage(); }
    int SmsRows() const {
        return qobject_cast<QTableView*>(view->Control(kSmsListId))->model()->rowCount();
    }
    bool PortControlsEnabled() const {
        return view->Control(kReadSmsButtonId)->isEnabled() &&
               view->Control(kSendButtonId)->isEnabled();
    }
    static constexpr const char* kRefused = "Another task is running: wait or stop it";
};

TEST_F(TaskExclusionTest, NothingStartsWhileOpenComSetsUpThePhone) {
    PhoneSim phone({.extraArgs = {"--delay-ms", "300"}});
    Start(phone);
    bool opened = false;
    QObject::connect(view, &CTelvaneView::sessionTaskDone, [&opened](bool) { opened = true; });
    frame->Action(kCmdOpenCom)->trigger();
    // The session enables the port controls before its first command.
    ASSERT_TRUE(RunUntil([this] { return PortControlsEnabled(); }));
    ASSERT_FALSE(opened);
    Click(kReadSmsButtonId);
    EXPECT_EQ(Status(), kRefused);
    ClearStatus();
    frame->Action(kCmdJumpRead)->trigger();
    EXPECT_EQ(Status(), kRefused) << "the count read of the Read SMS tab";
    ClearStatus();
    view->OnJumpTo(2);
    qobject_cast<QAbstractButton*>(view->Control(kPhonebookSimRadioId))->click();
    Click(kReadNamesButtonId);
    EXPECT_EQ(Status(), kRefused);
    ClearStatus();
    frame->Action(kCmdOpenDatabase)->trigger();
    EXPECT_EQ(Status(), kRefused) << "no file dialog while a task runs";
    EXPECT_EQ(view->busy, 0);
    ASSERT_TRUE(RunUntil([&opened] { return opened; }));
    ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken(); }));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", R"(AT+CPMS="SM")", R"(AT+CPMS="ME")"}));
}

TEST_F(TaskExclusionTest, TheCountReadLeavesBusyAndAStopRequestAlone) {
    PhoneSim phone({.fixture = "sms SM 1 1 "
                               "07912143658709F1040B912143658709F100009930925161958005e8329bfd06\n",
                    .extraArgs = {"--delay-ms", "300"}});
    Start(phone);
    view->OnStopTask(); // given while nothing runs: it waits for the next read
    bool opened = false;
    QObject::connect(view, &CTelvaneView::sessionTaskDone, [&opened](bool) { opened = true; });
    frame->Action(kCmdOpenCom)->trigger();
    ASSERT_TRUE(RunUntil([&opened] { return opened; }));
    ASSERT_TRUE(view->Session().PortTaken()) << "the counts are being asked";
    EXPECT_EQ(view->busy, 0);
    view->TabControl()->setCurrentIndex(1);
    EXPECT_EQ(view->currentTab, 1) << "a tab click during the count read is no longer ignored";
    ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken(); }));
    EXPECT_EQ(view->stopRequest, 3);

    view->OnJumpTo(0);
    ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken(); }));
    Click(kReadSmsButtonId);
    EXPECT_EQ(view->busy, 1);
    ASSERT_TRUE(RunUntil([this] { return view->busy == 0; }));
    EXPECT_EQ(view->stopRequest, 0) << "the read worker clears it";
    EXPECT_EQ(SmsRows(), 0) << "stopped before its first index";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TaskExclusionTest, APhonebookReadTakesCmeErrorAsTheAnswer) {
    PhoneSim phone({.fixture = "cmee 1\nrange SM 1 3\n"
                               "phonebook SM 1 129 \"0123\" \"Anna\"\n"});
    Start(phone);
    ToggleSession();
    view->OnJumpTo(2);
    qobject_cast<QAbstractButton*>(view->Control(kPhonebookSimRadioId))->click();
    Click(kReadNamesButtonId);
    ASSERT_TRUE(RunUntil([this] { return !view->Phonebook().Reading(); }, 60000));
    // AT+CPBR=0 is outside the range: the phone says "+CME ERROR: 21" at once.
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    const auto* list = qobject_cast<QTreeWidget*>(view->Control(kPhonebookListId));
    ASSERT_GE(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Anna"));
}

TEST_F(TaskExclusionTest, APhoneThatVanishesDuringAReadEndsTheSessionOnce) {
    PhoneSim phone({.fixture = ThirtyMessages() + "vanish AT+CMGR=5\n"});
    Start(phone);
    ToggleSession();
    Click(kReadSmsButtonId);
    ASSERT_TRUE(RunUntil([this] { return view->busy == 0 && view->portOpen == 0; }, 60000));
    ASSERT_TRUE(RunUntil([this] { return !boxes.empty(); }));
    RunUntil([] { return false; }, 500); // no second box follows
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0],
              "The phone's port " + phone.LinkPath() + " is gone: the session has been closed");
    EXPECT_EQ(SmsRows(), 4) << "the messages read before stay listed";
    EXPECT_FALSE(frame->Action(kCmdOpenCom)->isChecked());
    EXPECT_FALSE(PortControlsEnabled());
    EXPECT_FALSE(view->Session().PortTaken());
}

TEST_F(TaskExclusionTest, APhoneThatVanishesDuringAPhonebookReadEndsTheSessionOnce) {
    PhoneSim phone({.fixture = "range SM 1 250\nphonebook SM 1 129 \"0123\" \"Anna\"\n"
                               "vanish AT+CPBR=3\n"});
    Start(phone);
    ToggleSession();
    view->OnJumpTo(2);
    qobject_cast<QAbstractButton*>(view->Control(kPhonebookSimRadioId))->click();
    Click(kReadNamesButtonId);
    ASSERT_TRUE(
        RunUntil([this] { return !view->Phonebook().Reading() && view->portOpen == 0; }, 60000));
    ASSERT_TRUE(RunUntil([this] { return !boxes.empty(); }));
    RunUntil([] { return false; }, 500);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_TRUE(boxes[0].starts_with("The phone's port ")) << boxes[0];
    EXPECT_EQ(qobject_cast<QTreeWidget*>(view->Control(kPhonebookListId))->topLevelItemCount(), 1);
    EXPECT_FALSE(frame->Action(kCmdOpenCom)->isChecked());
    EXPECT_FALSE(PortControlsEnabled());
    EXPECT_EQ(view->busy, 0);
}

} // namespace
