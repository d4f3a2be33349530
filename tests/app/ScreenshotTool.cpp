// Saves pictures of the three tabs and of both about boxes into a folder, to look at the layout.
#include "app/CAboutBox.h"
#include "app/CMainFrame.h"
#include "app/CScrollingAboutBox.h"
#include "app/CTelvaneApp.h"
#include "app/TabScreenshots.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens"));
    CTelvaneApp app;
    if (!app.InitInstance())
        return 1;
    CMainFrame* frame = app.MainFrame();
    bool ok = SaveTabScreenshots(*frame, folder);
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
