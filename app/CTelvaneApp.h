#pragma once
// The application object: creates the main window and its form, names and places the window,
// and handles the toolbar's about command. Needs a QApplication.

#include "app/QtMessageSink.h"

#include <QObject>
#include <memory>

class CMainFrame;

class CTelvaneApp : public QObject {
    Q_OBJECT
public:
    CTelvaneApp();
    ~CTelvaneApp() override;

    CTelvaneApp(const CTelvaneApp&) = delete;
    CTelvaneApp& operator=(const CTelvaneApp&) = delete;

    // Start-up: true to run the application, false to end it.
    bool InitInstance();
    void OnAppAbout();

    CMainFrame* MainFrame() const { return frame.get(); }

private:
    // True when a saved placement was restored.
    bool PlaceMainWindow();

    QtMessageSink sink; // boxes before the main window exists: no owner
    std::unique_ptr<CMainFrame> frame;
};
