#include "app/StatusNote.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QString>
#include <QWidget>

void ShowStatusNote(QWidget* widget, const QString& text, int shownMs) {
    if (auto* frame = qobject_cast<QMainWindow*>(widget->window()))
        frame->statusBar()->showMessage(text, shownMs);
}
