#include "app/CTelvaneApp.h"

#include "app/CAboutBox.h"
#include "app/CMainFrame.h"
#include "app/CTelvaneView.h"
#include "core/TextToInt.h"
#include "res/form/MenuTable.h"
#include "serial/settings/CSettingsStore.h"

#include <QAction>
#include <QScreen>
#include <QScrollArea>

CTelvaneApp::CTelvaneApp() = default;

CTelvaneApp::~CTelvaneApp() = default;

namespace {

// A first window shows the whole form without scroll bars, as far as the screen has room; a
// placement the user saved is left as it is. Called once the window is shown, when its view's
// viewport has its size.
void FitWholeForm(CMainFrame& frame) {
    const QScrollArea* view = frame.View();
    const QSize chrome = frame.size() - view->viewport()->size();
    QSize wanted = (view->widget()->size() + chrome).expandedTo(frame.size());
    if (const QScreen* screen = frame.screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size());
    frame.resize(wanted);
}

} // namespace

bool CTelvaneApp::InitInstance() {
    frame = std::make_unique<CMainFrame>();
    frame->View()->OnInitialUpdate();
    connect(frame->Action(kCmdAboutPlain), &QAction::triggered, this, &CTelvaneApp::OnAppAbout);
    frame->setWindowTitle(
        QString::fromUtf8(kWindowTitle.data(), static_cast<qsizetype>(kWindowTitle.size())));
    const bool placed = PlaceMainWindow();
    frame->show();
    if (!placed)
        FitWholeForm(*frame);
    frame->repaint();
    return true;
}

bool CTelvaneApp::PlaceMainWindow() {
    frame->move(10, 10);
    frame->resize(500, 400);
    const auto value = [this](const char* name) { return TextToInt(ReadAppSetting(name, sink)); };
    int top = value("top");
    int bottom = value("bottom");
    int left = value("left");
    int right = value("right");
    // Nothing saved yet, or a rectangle without its far corner.
    const bool saved = bottom != 0 && right != 0;
    if (!saved) {
        left = 10;
        top = 10;
        right = 590;
        bottom = 470;
    }
    frame->move(left, top);
    frame->resize(right - left, bottom - top);
    return saved;
}

void CTelvaneApp::OnAppAbout() {
    CAboutBox box(frame.get());
    box.exec();
}
