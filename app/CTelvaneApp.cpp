#include "app/CTelvaneApp.h"

#include "app/CAboutBox.h"
#include "app/CMainFrame.h"
#include "app/CTelvaneView.h"
#include "core/TextToInt.h"
#include "res/form/MenuTable.h"
#include "serial/settings/CSettingsStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>

CTelvaneApp::CTelvaneApp() = default;

CTelvaneApp::~CTelvaneApp() = default;

namespace {

// The first window's size when nothing is saved.
constexpr QSize kFirstWindowSize(580, 460);

// What the window takes around the form's room: menu, tool and status bars. Not the scroll bars:
// those of a window too small go once the form fits.
QSize FrameChrome(CMainFrame& frame) {
    if (QLayout* layout = frame.layout())
        layout->activate();
    return frame.size() - frame.View()->maximumViewportSize();
}

// A first window shows the whole form without scroll bars, as far as the screen has room; a
// placement the user saved is left as it is.
void FitWholeForm(CMainFrame& frame, QSize chrome) {
    QSize wanted = (frame.View()->widget()->minimumSize() + chrome).expandedTo(frame.size());
    if (const QScreen* screen = frame.screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size());
    frame.resize(wanted);
    // The view takes its new size now, and its scroll bars go (a queued call of its own),
    // before the first paint.
    if (QLayout* layout = frame.layout())
        layout->activate();
    QCoreApplication::sendPostedEvents(frame.View(), QEvent::MetaCall);
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
    // Once the window is shown its bars have their sizes. In the first window's room the form
    // keeps the control table's layout; only more room makes the lists grow.
    const QSize chrome = FrameChrome(*frame);
    frame->View()->KeepTableLayoutWithin(kFirstWindowSize - chrome);
    if (!placed)
        FitWholeForm(*frame, chrome);
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
        right = left + kFirstWindowSize.width();
        bottom = top + kFirstWindowSize.height();
    }
    frame->move(left, top);
    frame->resize(right - left, bottom - top);
    return saved;
}

void CTelvaneApp::OnAppAbout() {
    CAboutBox box(frame.get());
    box.exec();
}
