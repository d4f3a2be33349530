#include "app/TabScreenshots.h"

#include "app/CMainFrame.h"
#include "app/CTelvaneView.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>

bool SaveScreenshot(QWidget& widget, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void ShowWholeForm(CMainFrame& frame) {
    // The form's natural size: a larger window would give its lists the room.
    const QSize form = frame.View()->widget()->minimumSize();
    frame.resize(form.width() + 40, form.height() + 120);
}

bool SaveTabScreenshots(CMainFrame& frame, const QDir& folder) {
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return false;
    }
    CTelvaneView* view = frame.View();
    ShowWholeForm(frame);
    const char* names[] = {"tab0-read-sms.png", "tab1-write-sms.png", "tab2-phonebook.png"};
    bool ok = true;
    for (int tab = 0; tab < 3; ++tab) {
        view->OnJumpTo(tab);
        QApplication::processEvents();
        ok = SaveScreenshot(frame, folder, QString::fromLatin1(names[tab])) && ok;
    }
    return ok;
}
