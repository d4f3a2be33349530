// Saves pictures of the window as it first opens, of the three tabs, of Write SMS holding a
// 300-character text, of the maximised window's three tabs and of both about boxes into a folder,
// to look at the layout.
#include "app/CAboutBox.h"
#include "app/CMainFrame.h"
#include "app/CScrollingAboutBox.h"
#include "app/CTelvaneApp.h"
#include "app/CTelvaneView.h"
#include "app/TabScreenshots.h"
#include "res/form/FormControls.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens"));
    CTelvaneApp app;
    if (!app.InitInstance())
        return 1;
    CMainFrame* frame = app.MainFrame();
    folder.mkpath(QStringLiteral("."));
    QApplication::processEvents();
    bool ok = SaveScreenshot(*frame, folder, QStringLiteral("first-window.png"));
    ok = SaveTabScreenshots(*frame, folder) && ok;
    CTelvaneView* view = frame->View();
    view->OnJumpTo(1);
    if (auto* text = qobject_cast<QPlainTextEdit*>(view->Control(kSmsTextEditId)))
        text->setPlainText(QString(300, QLatin1Char('x')));
    QApplication::processEvents();
    ok = SaveScreenshot(*frame, folder, QStringLiteral("write-sms-300.png")) && ok;
    // Without a window manager nothing maximises: take the screen's room by hand.
    frame->setGeometry(frame->screen()->availableGeometry());
    frame->showMaximized();
    view->OnJumpTo(0);
    QApplication::processEvents();
    ok = SaveScreenshot(*frame, folder, QStringLiteral("maximised.png")) && ok;
    // The other two tabs, whose list and message text take the room too.
    view->OnJumpTo(1);
    QApplication::processEvents();
    ok = SaveScreenshot(*frame, folder, QStringLiteral("maximised-write-sms.png")) && ok;
    view->OnJumpTo(2);
    QApplication::processEvents();
    ok = SaveScreenshot(*frame, folder, QStringLiteral("maximised-phonebook.png")) && ok;
    CAboutBox about(frame);
    about.show();
    ok = SaveScreenshot(about, folder, QStringLiteral("about-box.png")) && ok;
    CScrollingAboutBox scrolling(frame);
    scrolling.show();
    for (int tick = 0; tick < 60; ++tick)
        scrolling.OnTimer();
    ok = SaveScreenshot(scrolling, folder, QStringLiteral("scrolling-about-box.png")) && ok;
    return ok ? 0 : 1;
}
