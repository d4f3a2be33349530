#pragma once
// What the viewer's benchmarks share: one offscreen application for the whole run, made on
// first use, and a sink that answers every box at once.

#include "core/MessageSink.h"

#include <QApplication>

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
