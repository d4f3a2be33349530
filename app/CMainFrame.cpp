#include "app/CMainFrame.h"

#include "app/CTelvaneView.h"
#include "app/LockKeys.h"
#include "app/Pictures.h"
#include "modemmanager/ModemManagerClient.h"
#include "res/form/MenuTable.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* NewKeyPane(std::string_view text, QWidget* parent) {
    auto* pane = new QLabel(Text(text), parent);
    pane->setObjectName(QStringLiteral("pane") + Text(text));
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("NUM")) + 12);
    // Greyed until the platform tells the key's state (see LockKeyPanes).
    pane->setEnabled(false);
    return pane;
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), view(new CTelvaneView(this)) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(ProgramIcon());
    setCentralWidget(view);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    ConnectCommands();
}

CMainFrame::~CMainFrame() {
    view->OnDestroy();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    view->OnDestroy();
    event->accept();
}

QAction* CMainFrame::Action(int commandId) const {
    const auto found = actions.find(commandId);
    return found == actions.end() ? nullptr : found->second;
}

QAction* CMainFrame::NewAction(int commandId, const QString& text) {
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("command%1").arg(commandId));
    action->setProperty("commandId", commandId);
    if (const auto prompt = PromptFor(commandId)) {
        action->setStatusTip(Text(prompt->statusPrompt));
        action->setToolTip(Text(prompt->tip));
    }
    actions[commandId] = action;
    return action;
}

void CMainFrame::CreateMenus() {
    for (const MenuDef& def : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(Text(def.title));
        for (const MenuEntry& entry : def.entries) {
            switch (entry.kind) {
            case MenuEntryKind::Separator:
                menu->addSeparator();
                break;
            case MenuEntryKind::Command:
                menu->addAction(NewAction(entry.id, Text(entry.text)));
                break;
            case MenuEntryKind::Checkable:
                menu->addAction(NewAction(entry.id, Text(entry.text)));
                Action(entry.id)->setCheckable(true);
                break;
            case MenuEntryKind::Disabled:
                menu->addAction(NewAction(entry.id, Text(entry.text)));
                Action(entry.id)->setEnabled(false);
                break;
            }
        }
    }
    Action(kCmdOpenDatabase)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::CTRL | Qt::Key_A)});
    Action(kCmdToggleToolbar)->setChecked(true);
    Action(kCmdToggleStatusBar)->setChecked(true);
}

void CMainFrame::CreateToolBar() {
    toolBar = new QToolBar(QStringLiteral("Standard"), this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setIconSize(kToolbarImageSize);
    NewAction(kCmdAboutPlain, Text(kAboutCaption));
    for (int commandId : ToolbarCommands()) {
        if (commandId == 0) {
            toolBar->addSeparator();
            continue;
        }
        QAction* action = Action(commandId);
        action->setIcon(QIcon(ToolbarImage(commandId)));
        toolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, toolBar);
}

void CMainFrame::CreateStatusBar() {
    idlePane = new QLabel(Text(kIdlePrompt), statusBar());
    idlePane->setObjectName(QStringLiteral("idlePane"));
    statusBar()->addWidget(idlePane, 1);
    QLabel* caps = NewKeyPane(kCapsLockPane, statusBar());
    QLabel* num = NewKeyPane(kNumLockPane, statusBar());
    QLabel* scroll = NewKeyPane(kScrollLockPane, statusBar());
    for (QLabel* pane : {caps, num, scroll})
        statusBar()->addPermanentWidget(pane);
    lockKeys = new LockKeyPanes(caps, num, scroll, this);
}

void CMainFrame::ShowInhibitWhileModemManagerRuns() {
    // Without ModemManager the item is not there; looked up again each time the menu opens, as
    // ModemManager may start or stop meanwhile.
    QAction* inhibit = Action(kCmdInhibitModemManager);
    inhibit->setVisible(false);
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        if (menu->actions().contains(inhibit))
            connect(menu, &QMenu::aboutToShow, inhibit,
                    [inhibit] { inhibit->setVisible(ModemManagerClient().Running()); });
    }
}

void CMainFrame::ConnectCommands() {
    CTelvaneView* form = view;
    const auto on = [this](int commandId, auto handler) {
        connect(Action(commandId), &QAction::triggered, this, handler);
    };
    on(kCmdOpenDatabase, [form] { form->OnSelectDatabase(); });
    on(kCmdOpenCom, [this, form] {
        // The check mark follows the session, not the click.
        Action(kCmdOpenCom)->setChecked(form->portOpen != 0);
        form->OnOpenCom();
    });
    on(kCmdIoSettings, [form] { form->OnIoSettings(); });
    connect(Action(kCmdInhibitModemManager), &QAction::toggled, form,
            &CTelvaneView::OnInhibitModemManager);
    ShowInhibitWhileModemManagerRuns();
    Action(kCmdNotifyNewMessages)->setChecked(form->NotifyNewMessages());
    Action(kCmdArchiveNewMessages)->setChecked(form->ArchiveNewMessages());
    connect(Action(kCmdNotifyNewMessages), &QAction::toggled, form,
            &CTelvaneView::OnNotifyNewMessages);
    connect(Action(kCmdArchiveNewMessages), &QAction::toggled, form,
            &CTelvaneView::OnArchiveNewMessages);
    on(kCmdStopTask, [form] { form->OnStopTask(); });
    on(kCmdExit, [this] { close(); });
    on(kCmdJumpRead, [form] { form->OnJumpTo(0); });
    on(kCmdJumpWrite, [form] { form->OnJumpTo(1); });
    on(kCmdJumpPhonebook, [form] { form->OnJumpTo(2); });
    on(kCmdSmsArchive, [form] { form->OnSmsArchive(); });
    on(kCmdAboutScrolling, [form] { form->OnAbout(); });
    on(kCmdSaveDatabaseCopy, [form] { form->OnSaveDatabaseCopy(); });
    on(kCmdConnectDatabaseServer, [form] { form->OnConnectDatabaseServer(); });
    on(kCmdExportSmsList, [form] { form->OnExportSmsList(); });
    on(kCmdExportPhonebookVcard, [form] { form->OnExportPhonebookVcard(); });
    on(kCmdImportPhonebookVcard, [form] { form->OnImportPhonebookVcard(); });
    connect(Action(kCmdToggleToolbar), &QAction::toggled, toolBar, &QWidget::setVisible);
    connect(Action(kCmdToggleStatusBar), &QAction::toggled, statusBar(), &QWidget::setVisible);
    // Closing the toolbar by other means keeps the check mark true to what shows.
    connect(toolBar, &QToolBar::visibilityChanged, Action(kCmdToggleToolbar), [this](bool visible) {
        if (!isHidden())
            Action(kCmdToggleToolbar)->setChecked(visible);
    });
}
