#include "app/StatusNote.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QString>
#include <QWidget>

namespace {

constexpr int kStatusNoteMs = 5000;

} // namespace

void ShowStatusNote(QWidget* widget, const QString& text) {
    if (auto* frame = qobject_cast<QMainWindow*>(widget->window()))
        frame->statusBar()->showMessage(text, kStatusNoteMs);
}
