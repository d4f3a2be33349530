// Saves pictures of the three tabs and of both about boxes into a folder, to look at the layout.
#include "app/CAboutBox.h"
#include "app/CMainFrame.h"
#include "app/CScrollingAboutBox.h"
#include "app/CTelvaneApp.h"
#include "app/CTelvaneView.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <cstdio>

namespace {

bool Save(QWidget& widget, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens"));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    CTelvaneApp app;
    if (!app.InitInstance())
        return 1;
    CMainFrame* frame = app.MainFrame();
    // Large enough for the whole form, so nothing hides behind the scroll bars.
    frame->resize(frame->View()->widget()->width() + 40, frame->View()->widget()->height() + 120);
    bool ok = true;
    const char* names[] = {"tab0-read-sms.png", "tab1-write-sms.png", "tab2-phonebook.png"};
    for (int tab = 0; tab < 3; ++tab) {
        frame->View()->OnJumpTo(tab);
        QApplication::processEvents();
        ok = Save(*frame, folder, QString::fromLatin1(names[tab])) && ok;
    }
    CAboutBox about(frame);
    about.show();
    ok = Save(about, folder, QStringLiteral("about-box.png")) && ok;
    CScrollingAboutBox scrolling(frame);
    scrolling.show();
    for (int tick = 0; tick < 60; ++tick)
        scrolling.OnTimer();
    ok = Save(scrolling, folder, QStringLiteral("scrolling-about-box.png")) && ok;
    return ok ? 0 : 1;
}
