#include "app/CMainFrame.h"
#include "app/CTelvaneApp.h"
#include "app/DemoTour.h"
#include "app/TabScreenshots.h"

#include <QApplication>
#include <QTimer>

namespace {

// With TELVANE_SCREENSHOTS=<folder> the application saves a picture of each tab there once it
// has settled after the start, and ends: the demo's way of showing itself without a display.
constexpr int kSettleMs = 1500;

void ScheduleScreenshots(CTelvaneApp& app, const QString& folder) {
    QTimer::singleShot(kSettleMs, [&app, folder] {
        const bool saved = SaveTabScreenshots(*app.MainFrame(), QDir(folder));
        app.MainFrame()->close();
        QApplication::exit(saved ? 0 : 1);
    });
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    CTelvaneApp app;
    if (!app.InitInstance())
        return 0;
    const QString screenshots = qEnvironmentVariable("TELVANE_SCREENSHOTS");
    const QString tour = qEnvironmentVariable("TELVANE_DEMO_TOUR");
    if (!tour.isEmpty())
        StartDemoTour(*app.MainFrame(), QDir(tour)); // the demo without a display
    else if (!screenshots.isEmpty())
        ScheduleScreenshots(app, screenshots);
    return QApplication::exec();
}
