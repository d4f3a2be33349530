#pragma once
// A note in the status bar of the main window that holds `widget`; nothing without one.
// User-interface thread only.

class QString;
class QWidget;

// How long a note stays, unless a caller says otherwise.
inline constexpr int kStatusNoteMs = 5000;

void ShowStatusNote(QWidget* widget, const QString& text, int shownMs = kStatusNoteMs);
