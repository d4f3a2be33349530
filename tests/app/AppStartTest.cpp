// Start-up and end of the application: placement from the settings, title, and the placement
// saved when the window closes.
#include "app/CMainFrame.h"
#include "app/CTelvaneApp.h"
#include "app/CTelvaneView.h"
#include "common/RecordingMessageSink.h"
#include "res/form/MenuTable.h"
#include "serial/settings/CSettingsStore.h"
#include "tests/app/ModalAnswer.h"
#include "tests/app/SettingsFolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

void Store(const std::map<std::string, std::string>& values) {
    RecordingMessageSink sink;
    CSettingsStore store(sink);
    for (auto [name, text] : values)
        store.WriteSetting(name, text);
}

std::string Stored(const char* name) {
    RecordingMessageSink sink;
    return CSettingsStore(sink).ReadSetting(name);
}

QRect PlacementAtStart() {
    CTelvaneApp app;
    EXPECT_TRUE(app.InitInstance());
    return {app.MainFrame()->pos(), app.MainFrame()->size()};
}

// A first start: at 10,10, at least 580x460 and large enough for the whole form.
void ExpectFirstStartPlacement() {
    CTelvaneApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    EXPECT_EQ(frame->pos(), QPoint(10, 10));
    EXPECT_GE(frame->width(), 580);
    EXPECT_GE(frame->height(), 460);
    const CTelvaneView* view = frame->View();
    const QSize room = view->viewport()->size();
    EXPECT_GE(room.width(), view->widget()->width()) << "no horizontal scrolling";
    EXPECT_GE(room.height(), view->widget()->height()) << "no vertical scrolling";
}

TEST(AppStart, FirstStartPlacesTheWindowAt10x10LargeEnoughForTheWholeForm) {
    SettingsFolder folder;
    ASSERT_TRUE(folder.Valid());
    ExpectFirstStartPlacement();
}

TEST(AppStart, SavedPlacementIsRestoredAndZeroLeftTopAreKept) {
    SettingsFolder folder;
    Store({{"top", "0"}, {"bottom", "300"}, {"left", "0"}, {"right", "400"}});
    EXPECT_EQ(PlacementAtStart(), QRect(0, 0, 400, 300));
    Store({{"top", "25"}, {"bottom", "425"}, {"left", "40"}, {"right", "640"}});
    EXPECT_EQ(PlacementAtStart(), QRect(40, 25, 600, 400));
}

TEST(AppStart, ZeroOrUnreadableFarCornerCountsAsNoPlacement) {
    SettingsFolder folder;
    Store({{"top", "25"}, {"bottom", "425"}, {"left", "40"}, {"right", "0"}});
    ExpectFirstStartPlacement();
    Store({{"right", "640"}, {"bottom", "abc"}});
    ExpectFirstStartPlacement();
}

TEST(AppStart, TitleAndInitialFormState) {
    SettingsFolder folder;
    CTelvaneApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.MainFrame()->windowTitle(), QStringLiteral("Telvane 0.01b"));
    const CTelvaneView* view = app.MainFrame()->View();
    EXPECT_EQ(view->busy, 0);
    EXPECT_EQ(view->stopRequest, 0);
    EXPECT_EQ(view->portOpen, 0);
    EXPECT_EQ(view->currentTab, 0);
    EXPECT_EQ(view->databasePath, "telvane.mdb");
    EXPECT_TRUE(view->database.IsOpen());
}

TEST(AppStartWithoutDatabase, AsksForAnotherFileAndGoesOnWithoutOne) {
    SettingsFolder folder;
    QTemporaryDir empty;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(empty.path()));
    QString asked;
    WhenModalShows([&asked](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr)
            return;
        asked = box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(QMessageBox::No)->click();
    });
    CTelvaneApp app;
    EXPECT_TRUE(app.InitInstance());
    QDir::setCurrent(previous);
    EXPECT_EQ(asked,
              QStringLiteral("Question|Cannot open DB, do you want to select another file ?"));
    EXPECT_FALSE(app.MainFrame()->View()->database.IsOpen());
}

TEST(AppStart, ExitSavesThePlacementThatTheNextStartRestores) {
    SettingsFolder folder;
    {
        CTelvaneApp app;
        ASSERT_TRUE(app.InitInstance());
        app.MainFrame()->move(33, 44);
        app.MainFrame()->resize(610, 470);
        app.MainFrame()->Action(kCmdExit)->trigger();
        EXPECT_FALSE(app.MainFrame()->isVisible());
        EXPECT_EQ(app.MainFrame()->View()->stopRequest, 255);
    }
    EXPECT_EQ(Stored("top"), "44");
    EXPECT_EQ(Stored("bottom"), "514");
    EXPECT_EQ(Stored("left"), "33");
    EXPECT_EQ(Stored("right"), "643");
    EXPECT_EQ(PlacementAtStart(), QRect(33, 44, 610, 470));
}

} // namespace
