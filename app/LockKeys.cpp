#include "app/LockKeys.h"

#include <QCoreApplication>
#include <QLabel>

namespace {

void ShowKey(QLabel* pane, std::optional<bool> on) {
    pane->setEnabled(on.value_or(false));
}

} // namespace

LockKeyPanes::LockKeyPanes(QLabel* caps, QLabel* num, QLabel* scroll, QObject* parent)
    : QObject(parent), source(NewPlatformLockKeySource()), capsPane(caps), numPane(num),
      scrollPane(scroll) {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
    Refresh();
}

void LockKeyPanes::SetSource(std::unique_ptr<ILockKeySource> newSource) {
    source = std::move(newSource);
    Refresh();
}

void LockKeyPanes::Refresh() {
    const LockKeyState state = source->Read();
    ShowKey(capsPane, state.capsLock);
    ShowKey(numPane, state.numLock);
    ShowKey(scrollPane, state.scrollLock);
}

bool LockKeyPanes::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        // A key from the platform comes to its window first and then goes from widget to
        // widget: reading it once, at the window, is enough.
        if (!event->spontaneous() || watched->isWindowType())
            Refresh();
    } else if (type == QEvent::ApplicationActivate) {
        Refresh();
    }
    return false;
}
