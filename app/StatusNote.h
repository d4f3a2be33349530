#pragma once
// A note in the status bar of the main window that holds `widget`; nothing without one.
// User-interface thread only.

class QString;
class QWidget;

void ShowStatusNote(QWidget* widget, const QString& text);
