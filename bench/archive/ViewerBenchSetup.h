#pragma once
// What the viewer's benchmarks share: one offscreen application for the whole run, made on
// first use, a sink that answers every box at once, the viewer opened as a user opens it, and
// the clocks and the memory gauge they read.

#include "archive/CSmsArchiveDlg.h"
#include "core/MessageSink.h"

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>

inline void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "telvane_archive_bench";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QApplication application(argc, argv);
    }
}

class SilentSink final : public IMessageSink {
public:
    BoxAnswer ShowMessage(const MessageBoxRequest& /*request*/) override { return BoxAnswer::Ok; }
};

// The process's peak resident memory so far (VmHWM), in MiB.
inline double PeakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

template <class Work> double Seconds(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// "SMS View" opened on the database and its list shown; with `both`, OUT clicked as well.
inline std::unique_ptr<CSmsArchiveDlg> OpenViewer(CDaoDatabase& database, IMessageSink& sink,
                                                  bool both) {
    auto dialog = std::make_unique<CSmsArchiveDlg>(&database, nullptr, &sink);
    dialog->show();
    if (both)
        dialog->findChild<QCheckBox*>(QStringLiteral("control1104"))->click();
    QApplication::processEvents(); // the first layout and paint of the list
    return dialog;
}

// The longest the user-interface thread went without turning its event loop while `until` was
// false: a 10 ms timer ticks, and each gap past its period is time the window was frozen.
template <class Until> double LongestStallMs(Until&& until) {
    QTimer tick;
    tick.start(10);
    double longest = 0;
    auto last = std::chrono::steady_clock::now();
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const auto now = std::chrono::steady_clock::now();
        longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    });
    while (!until())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return std::max(0.0, longest - 10);
}
