#pragma once
// The main window: menu, toolbar, status bar, and the form view in the middle.

#include <QMainWindow>
#include <map>

class CTelvaneView;
class LockKeyPanes;
class QAction;
class QLabel;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    CTelvaneView* View() const { return view; }
    // The action of a command id (menu or toolbar); nullptr for an id the frame does not have.
    QAction* Action(int commandId) const;
    QToolBar* ToolBar() const { return toolBar; }
    QLabel* IdlePane() const { return idlePane; }
    LockKeyPanes* LockKeys() const { return lockKeys; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* NewAction(int commandId, const QString& text);
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void ShowInhibitWhileModemManagerRuns();
    void ConnectCommands();

    CTelvaneView* view = nullptr;
    QToolBar* toolBar = nullptr;
    QLabel* idlePane = nullptr;
    LockKeyPanes* lockKeys = nullptr;
    std::map<int, QAction*> actions;
};
