#pragma once
// Pictures of the main window, one per tab, saved as PNG files into a folder: for looking at the
// layout, and for the demo run without a display (TELVANE_SCREENSHOTS).

#include <QDir>
#include <QString>

class CMainFrame;
class QWidget;

// Saves the widget as it is drawn now into folder/name; prints the path, or an error on stderr.
bool SaveScreenshot(QWidget& widget, const QDir& folder, const QString& name);

// Sizes the window so that the whole form shows, without scroll bars.
void ShowWholeForm(CMainFrame& frame);

// Sizes the window to show the whole form, then selects each tab and saves it
// ("tab0-read-sms.png", "tab1-write-sms.png", "tab2-phonebook.png"). True when all were saved.
bool SaveTabScreenshots(CMainFrame& frame, const QDir& folder);
