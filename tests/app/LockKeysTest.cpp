// The status bar's "MA", "NUM", "BS" panes: lit from the lock keys' state where the platform
// tells it, greyed where it does not.
#include "app/LockKeys.h"

#include "app/CMainFrame.h"
#include "app/CTelvaneApp.h"
#include "app/CTelvaneView.h"
#include "tests/app/SettingsFolder.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

// X11's core state bits of the lock keys, as a key event from the X server carries them.
constexpr quint32 kX11LockMask = 0x2;
constexpr quint32 kX11Mod2Mask = 0x10;

// A platform whose keys the test sets.
class FakeLockKeys : public ILockKeySource {
public:
    explicit FakeLockKeys(LockKeyState* keys) : state(keys) {}
    LockKeyState Read() override { return *state; }

private:
    LockKeyState* state;
};

class LockKeysTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.InitInstance());
        frame = app.MainFrame();
    }

    bool Lit(const char* pane) const {
        const auto* label = frame->statusBar()->findChild<QLabel*>(QStringLiteral("pane") + pane);
        return label != nullptr && label->isEnabled();
    }

    // A key as the X server reports it, with the lock keys on in its native modifiers.
    void PressKey(QWidget* target, quint32 nativeModifiers) const {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent key(type, Qt::Key_A, Qt::NoModifier, 38, 0x61, nativeModifiers,
                          QStringLiteral("a"));
            QCoreApplication::sendEvent(target, &key);
        }
    }

    SettingsFolder folder;
    CTelvaneApp app;
    CMainFrame* frame = nullptr;
};

TEST_F(LockKeysTest, PlatformThatCannotTellLeavesThePanesGreyed) {
    // The tests run on the offscreen platform, which knows nothing of the keyboard's locks.
    for (const char* pane : {"MA", "NUM", "BS"})
        EXPECT_FALSE(Lit(pane)) << pane;
    PressKey(frame->View(), kX11LockMask | kX11Mod2Mask);
    QEvent activate(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &activate);
    for (const char* pane : {"MA", "NUM", "BS"})
        EXPECT_FALSE(Lit(pane)) << pane;
}

TEST_F(LockKeysTest, PanesFollowTheKeysOnEveryKeyAndActivation) {
    LockKeyState keys{true, false, std::nullopt};
    frame->LockKeys()->SetSource(std::make_unique<FakeLockKeys>(&keys));
    EXPECT_TRUE(Lit("MA"));
    EXPECT_FALSE(Lit("NUM"));
    EXPECT_FALSE(Lit("BS")) << "a key the platform cannot tell stays greyed";

    // Caps lock off and num lock on: the next key typed anywhere in the window shows it.
    keys = {false, true, false};
    PressKey(frame->View(), 0);
    EXPECT_FALSE(Lit("MA"));
    EXPECT_TRUE(Lit("NUM"));
    EXPECT_FALSE(Lit("BS"));

    // Changed while another program had the keyboard: shown when the application comes back.
    keys = {true, true, true};
    QEvent activate(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &activate);
    EXPECT_TRUE(Lit("MA"));
    EXPECT_TRUE(Lit("NUM"));
    EXPECT_TRUE(Lit("BS"));

    keys = {};
    PressKey(frame->View(), 0);
    for (const char* pane : {"MA", "NUM", "BS"})
        EXPECT_FALSE(Lit(pane)) << pane;
}

} // namespace
