// The main window's menu, toolbar, status bar and the menu check of the session.
#include "app/CMainFrame.h"
#include "app/CTelvaneApp.h"
#include "app/CTelvaneView.h"
#include "res/form/MenuTable.h"
#include "tests/app/ModalAnswer.h"
#include "tests/app/SettingsFolder.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

class FrameTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.InitInstance());
        frame = app.MainFrame();
    }

    QStringList MenuTitles() const {
        QStringList titles;
        for (const QAction* action : frame->menuBar()->actions())
            titles << action->text();
        return titles;
    }

    SettingsFolder folder;
    CTelvaneApp app;
    CMainFrame* frame = nullptr;
};

TEST_F(FrameTest, MenuHasItsMenusItemsAndStates) {
    EXPECT_EQ(MenuTitles(), (QStringList{QStringLiteral("&File"), QStringLiteral("&Modifica"),
                                         QStringLiteral("Jump to"), QStringLiteral("&Visualizza"),
                                         QStringLiteral("&?")}));
    QList<QAction*> file = frame->menuBar()->actions().at(0)->menu()->actions();
    // Items added to the menu's first group; without them the menu is as it always was.
    const QList<int> added = {kCmdConnectDatabaseServer, kCmdSaveDatabaseCopy, kCmdExportSmsList,
                              kCmdExportPhonebookVcard, kCmdImportPhonebookVcard};
    ASSERT_GE(file.size(), 5);
    for (int i = 0; i < added.size(); ++i)
        EXPECT_EQ(file.at(1 + i)->property("commandId").toInt(), added.at(i)) << i;
    file.removeIf([&added](const QAction* action) {
        return added.contains(action->property("commandId").toInt());
    });
    // The two check items of new messages follow "Inhibit ModemManager on this port".
    ASSERT_GE(file.size(), 7);
    EXPECT_EQ(file.at(5)->text(), QStringLiteral("Notify new messages"));
    EXPECT_EQ(file.at(6)->text(), QStringLiteral("Archive new messages"));
    EXPECT_TRUE(file.at(5)->isCheckable() && file.at(6)->isCheckable());
    file.remove(5, 2);
    ASSERT_EQ(file.size(), 9);
    EXPECT_EQ(file.at(0)->text(), QStringLiteral("&Apri nuovo DB...\tCtrl+A"));
    EXPECT_TRUE(file.at(1)->isSeparator());
    EXPECT_EQ(file.at(2)->property("commandId").toInt(), 32773);
    EXPECT_EQ(file.at(3)->property("commandId").toInt(), kCmdIoSettings);
    EXPECT_EQ(file.at(4)->text(), QStringLiteral("Inhibit ModemManager on this port"));
    EXPECT_TRUE(file.at(4)->isCheckable());
    EXPECT_FALSE(file.at(4)->isVisible()) << "shown only while ModemManager runs";
    EXPECT_EQ(file.at(8)->text(), QStringLiteral("&Esci"));
    for (int id : {kCmdUndo, kCmdCut, kCmdCopy, kCmdPaste})
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    EXPECT_TRUE(frame->Action(kCmdOpenCom)->isCheckable());
    EXPECT_FALSE(frame->Action(kCmdOpenCom)->isChecked());
    EXPECT_TRUE(frame->Action(kCmdToggleToolbar)->isChecked());
    EXPECT_TRUE(frame->Action(kCmdToggleStatusBar)->isChecked());
    EXPECT_EQ(frame->Action(kCmdOpenDatabase)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+O")),
                                   QKeySequence(QStringLiteral("Ctrl+A"))}));
}

TEST_F(FrameTest, ToolbarAndStatusBarWithPromptsAndToggles) {
    const QList<QAction*> tools = frame->ToolBar()->actions();
    ASSERT_EQ(tools.size(), 3);
    EXPECT_EQ(tools.at(0)->property("commandId").toInt(), kCmdOpenDatabase);
    EXPECT_TRUE(tools.at(1)->isSeparator());
    EXPECT_EQ(tools.at(2)->property("commandId").toInt(), kCmdAboutPlain);
    EXPECT_EQ(tools.at(0)->icon().pixmap(16, 15).size(), QSize(16, 15));
    EXPECT_EQ(tools.at(0)->toolTip(), QStringLiteral("Apri"));
    EXPECT_EQ(tools.at(0)->statusTip(), QStringLiteral("Apre un nuovo database"));
    EXPECT_EQ(frame->Action(kCmdExit)->statusTip(),
              QStringLiteral("Esce dall'applicazione e chiede di salvare i documenti"));

    EXPECT_EQ(frame->IdlePane()->text(), QStringLiteral("Pronto"));
    for (const char* pane : {"MA", "NUM", "BS"})
        EXPECT_NE(frame->statusBar()->findChild<QLabel*>(QStringLiteral("pane") + pane), nullptr)
            << pane;

    frame->Action(kCmdToggleToolbar)->trigger();
    EXPECT_FALSE(frame->ToolBar()->isVisible());
    EXPECT_FALSE(frame->Action(kCmdToggleToolbar)->isChecked());
    frame->Action(kCmdToggleStatusBar)->trigger();
    EXPECT_FALSE(frame->statusBar()->isVisible());
    frame->Action(kCmdToggleToolbar)->trigger();
    frame->Action(kCmdToggleStatusBar)->trigger();
    EXPECT_TRUE(frame->ToolBar()->isVisible());
    EXPECT_TRUE(frame->statusBar()->isVisible());
}

TEST_F(FrameTest, SetMenuCheckFindsTheEntryByItsId) {
    CTelvaneView* view = frame->View();
    view->SetMenuCheck(kCmdOpenCom, 1);
    EXPECT_TRUE(frame->Action(kCmdOpenCom)->isChecked());
    view->SetMenuCheck(kCmdOpenCom, 0);
    EXPECT_FALSE(frame->Action(kCmdOpenCom)->isChecked());
}

TEST_F(FrameTest, StopCurrentTaskSetsBothStopBits) {
    frame->Action(kCmdStopTask)->trigger();
    EXPECT_EQ(frame->View()->stopRequest, 3);
}

TEST_F(FrameTest, AboutCommandsOpenTheirBoxes) {
    QString shown;
    WhenModalShows([&shown](QWidget* box) {
        shown = box->objectName() + QLatin1Char('|') + box->windowTitle();
        box->close();
    });
    frame->ToolBar()->actions().at(2)->trigger();
    EXPECT_EQ(shown, QStringLiteral("aboutBox|Informazioni su Telvane"));
    WhenModalShows([&shown](QWidget* box) {
        shown = box->objectName() + QLatin1Char('|') + box->windowTitle();
        box->close();
    });
    frame->Action(kCmdAboutScrolling)->trigger();
    EXPECT_EQ(shown, QStringLiteral("scrollingAboutBox|About"));
}

TEST(FrameWithoutMenu, SetMenuCheckSaysCannotGetMenu) {
    SettingsFolder folder;
    CTelvaneView view;
    QString text;
    QString caption;
    WhenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        caption = box->windowTitle();
        box->accept();
    });
    view.SetMenuCheck(kCmdOpenCom, 1);
    EXPECT_EQ(text, QStringLiteral("Cannot get menu"));
    EXPECT_EQ(caption, QStringLiteral("Telvane"));
}

} // namespace
