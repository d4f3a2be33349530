#include "app/CTelvaneApp.h"

#include "app/CAboutBox.h"
#include "app/CMainFrame.h"
#include "app/CTelvaneView.h"
#include "core/TextToInt.h"
#include "res/form/MenuTable.h"
#include "serial/settings/CSettingsStore.h"

#include <QAction>

CTelvaneApp::CTelvaneApp() = default;

CTelvaneApp::~CTelvaneApp() = default;

bool CTelvaneApp::InitInstance() {
    frame = std::make_unique<CMainFrame>();
    frame->View()->OnInitialUpdate();
    connect(frame->Action(kCmdAboutPlain), &QAction::triggered, this, &CTelvaneApp::OnAppAbout);
    frame->setWindowTitle(
        QString::fromUtf8(kWindowTitle.data(), static_cast<qsizetype>(kWindowTitle.size())));
    PlaceMainWindow();
    frame->show();
    frame->repaint();
    return true;
}

void CTelvaneApp::PlaceMainWindow() {
    frame->move(10, 10);
    frame->resize(500, 400);
    const auto value = [this](const char* name) { return TextToInt(ReadAppSetting(name, sink)); };
    int top = value("top");
    int bottom = value("bottom");
    int left = value("left");
    int right = value("right");
    // Nothing saved yet, or a rectangle without its far corner.
    if (bottom == 0 || right == 0) {
        left = 10;
        top = 10;
        right = 590;
        bottom = 470;
    }
    frame->move(left, top);
    frame->resize(right - left, bottom - top);
}

void CTelvaneApp::OnAppAbout() {
    CAboutBox box(frame.get());
    box.exec();
}
