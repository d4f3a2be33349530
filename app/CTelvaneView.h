#pragma once
// The form view: the tab control with the controls of the three tabs, the modem session, and
// the state the operations share. User-interface thread only, except where a member says
// otherwise.

#include "app/DialogUnits.h"
#include "app/GuiPost.h"
#include "app/InterruptibleWaiter.h"
#include "app/QtDatabaseDialogs.h"
#include "app/QtMessageSink.h"
#include "app/QtPhonebookForm.h"
#include "app/QtSmsReadForm.h"
#include "app/QtWriteSmsForm.h"
#include "app/SmsListModel.h"
#include "app/StatusNote.h"
#include "db/CViewDatabase.h"
#include "modemmanager/ModemManagerGuard.h"
#include "phonebook/CPhonebookManager.h"
#include "serial/CModemSession.h"
#include "serial/ISessionForm.h"
#include "serial/TaskRunner.h"
#include "serial/settings/CSettingsStore.h"
#include "sms/CSmsReader.h"
#include "sms/NewMessageListener.h"
#include "sms/send/CSendSmsWorker.h"
#include "sms/send/CWriteSmsTab.h"
#include "sms/send/ReadSca.h"

#include <QScrollArea>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <thread>

class GrowingForm;
class QTabWidget;

class CTelvaneView : public QScrollArea, public ISessionForm {
    Q_OBJECT
public:
    explicit CTelvaneView(QWidget* parent = nullptr);
    ~CTelvaneView() override;

    CTelvaneView(const CTelvaneView&) = delete;
    CTelvaneView& operator=(const CTelvaneView&) = delete;

    // Runs once, after the main window has been created and before it is placed.
    void OnInitialUpdate();
    // Saves the window placement, asks running workers to stop and closes the session; runs once
    // (the frame calls it when the window closes, and the destructor as a last resort).
    void OnDestroy();

    // Room up to which the form keeps the control table's layout (at least its natural size);
    // beyond it, the lists and the message text take the extra.
    void KeepTableLayoutWithin(QSize room);

    void SelectTab(int index);
    void ActivateTab(int index);
    void ShowTabControls(int tab, bool show);
    // Enables (non-zero) or disables the controls that need the open serial port; any thread.
    void EnablePortControls(int enable) override;
    // Enables (0) or disables (non-zero) the twelve Read SMS controls; any thread.
    void EnableReadControls(int readBusy);
    void LoadButtonImages();
    // Checks (non-zero) or unchecks the menu entry of a command; "Cannot get menu" without a
    // menu. Any thread.
    void SetMenuCheck(int commandId, int checked) override;
    // The port has gone under the open session (reader's thread): the session ends on the
    // user-interface thread once the task under way has stopped.
    void PortGone() override;
    // The tip of a form control; empty when the tooltip table does not list it.
    static QString OnToolTipText(int controlId);

    // Handlers of the tab header and the menu.
    void OnTabSelChange(int index);
    void OnJumpTo(int tab);
    // Opens or closes the session on a thread of its own, so that the window keeps answering
    // while a silent phone is waited for; a click while that runs is ignored, and one while
    // another task holds the port is refused with a status-bar note.
    void OnOpenCom();
    void OnIoSettings();
    // "Inhibit ModemManager on this port": takes effect when the next session opens.
    void OnInhibitModemManager(bool inhibit);
    void OnStopTask();
    // "Notify new messages" and "Archive new messages" (File), kept in the settings file. The
    // first takes effect when the next session opens.
    bool NotifyNewMessages() const { return notifyNew.load(); }
    bool ArchiveNewMessages() const { return archiveNew.load(); }
    void OnNotifyNewMessages(bool on);
    void OnArchiveNewMessages(bool on);
    CNewMessageListener& Listener() { return listener; }
    // "Apri nuovo DB...": refused with a status-bar note while a task runs.
    void OnSelectDatabase();
    // "Connect to database server...": asks for the URI (the last one offered), keeps it in the
    // settings and opens that database in place of the file, as "Apri nuovo DB..." would.
    void OnConnectDatabaseServer();
    // Replaces the URI question (for tests): given the last URI, the one to open or nothing.
    void
    SetServerUriChooser(std::function<std::optional<std::string>(const std::string&)> chooser) {
        serverUriChooser = std::move(chooser);
    }
    void OnSmsArchive();
    void OnAbout();

    // The "&File" menu's export and import commands: each asks for a file, then calls the
    // function after it, which writes (asking before a file is replaced) and reports.
    void OnSaveDatabaseCopy();
    bool SaveDatabaseCopyTo(const std::string& path);
    void OnExportSmsList();
    int ExportSmsListTo(const std::string& path);
    void OnExportPhonebookVcard();
    void OnImportPhonebookVcard();
    // Replaces the open-file dialog of the import (for tests); null restores the dialog.
    void SetImportFileChooser(std::function<std::optional<std::string>()> chooser) {
        importFileChooser = std::move(chooser);
    }

    QWidget* Control(int id) const;
    QTabWidget* TabControl() const { return tabControl; }
    IMessageSink& Sink() { return sink; }
    CModemSession& Session() { return session; }
    const DialogUnits& Units() const { return units; }
    // True while "Open COM" opens or closes the session.
    bool SessionTaskRunning() const { return sessionTaskRunning; }
    CWriteSmsTab& WriteTab() { return writeTab; }
    IWriteSmsForm& WriteForm() { return writeForm; }
    CSendSmsWorker& SendWorker() { return sendWorker; }
    CPhonebookManager& Phonebook() { return phonebook; }
    CSmsReader& Reader() { return reader; }
    ISmsReadForm& SmsForm() { return smsForm; }
    const SmsList& SmsRows() const { return smsModel.List(); }

    // "Send" (1066): hands the form's message to the send worker; while another task holds the
    // port, says so in the status bar instead.
    void OnSendSms();
    // "Store" (1067): writes the form's message into the phone's memory on the send worker and
    // tells in the status bar where it went; while another task holds the port, says so instead.
    void OnStoreSms();
    // "Read SCA" (1068): asks the phone's service centre on a worker and puts it into the edit;
    // while another task holds the port, says so in the status bar instead.
    void OnReadSca();
    // "Read From File" (1055): asks for a log file, then loads it on the reader's thread.
    void OnReadFromFile();
    // "Copy SMS to database" (1038): archives the SMS list's rows.
    void OnCopySmsToDatabase();

private:
    // Calls from the session's and the workers' threads to this window: first, so that it
    // outlives every thread that posts.
    CGuiPost guiPost;
    QtMessageSink sink;
    InterruptibleWaiter waiter;
    // Before the session, so that it outlives it: the device goes back once the port is shut.
    ModemManagerGuard modemManager;
    CModemSession session{sink, waiter, *this};
    QtDatabaseDialogs databaseDialogs{sink};
    CViewDatabase viewDatabase{databaseDialogs};

public:
    // The session's flags, shared with the worker threads.
    std::atomic<int>& busy = session.busy;
    std::atomic<int>& stopRequest = session.stopRequest;
    std::atomic<int>& portOpen = session.portOpen;

    int currentTab = 0;
    // The form's one database and the file it opens.
    CDaoDatabase& database = viewDatabase.database;
    std::string& databasePath = viewDatabase.databasePath;
    std::string portSetting;
    int32_t flowSetting = 0;

signals:
    // A tab's activation step has run.
    void tabActivated(int index);
    // "Open COM" has finished: true when a session was opened, false when it was closed or
    // could not be opened.
    void sessionTaskDone(bool opened);
    // A send started by "Send" has ended (its outcome box has been answered).
    void sendDone(SendOutcome outcome);
    // A store started by "Store" has ended and its note is shown.
    void storeDone(bool stored);
    // "Read SCA" has ended and its result is shown.
    void readScaDone();
    // A new message has been listed (and archived when asked); the status bar names its sender.
    void newMessageListed(const QString& sender);

private:
    void EnableToolTips();
    void SetupSmsListColumns();
    void SetupPhonebookColumns();
    void SavePlacement();
    void LoadPortSettings();
    void OnSessionTaskDone(bool opened);
    void EndSessionTask();
    void EndWorkers();
    void JoinReader();
    void WireWriteSms();
    void WireSubmitRadios();
    // A radio button of a pair changed by the user: it stays checked, its partner not.
    void OnUserRadio(const std::array<int, 2>& pair, int chosen);
    void WirePhonebook();
    void WirePortNotes();
    void ShowPortNote(const std::string& note);
    void WireReadSms();
    // Runs handler when the button `id` is clicked.
    template <typename Handler> void OnClick(int id, Handler handler);
    void MakeSmsListView();
    void ShowStatus(const QString& text, int shownMs = kStatusNoteMs);
    static QString TaskRunningNote();
    void OnPortGone();
    // New messages (NewMessages.cpp).
    void LoadNewMessageSettings();
    // After the session has opened, on the session task's thread: the phone is set to tell new
    // messages and the listener starts, when "Notify new messages" is checked.
    void StartListening();
    NewMessageHooks ListenerHooks();
    void OnNewMessage(const SmsRow& row);
    // Form calls from a worker are dropped once the window closes: nobody turns the event loop
    // that would carry them.
    bool DropFormCall() const;

    DialogUnits units;
    GrowingForm* form = nullptr;
    QTabWidget* tabControl = nullptr;
    std::map<int, QWidget*> controls;
    std::atomic<bool> sessionTaskRunning{false};
    std::atomic<bool> sessionOpened{false}; // what the last opening or closing gave
    std::atomic<bool> closing{false};
    std::function<std::optional<std::string>()> importFileChooser;
    bool phonebookColumnsMade = false;
    bool pairingRadios = false;
    bool initialised = false;
    bool destroyed = false;

    // The operations of the Write SMS and Phonebook Manager tabs, on the controls above; they go
    // before the controls and the session (the phonebook's destructor joins its worker).
    CSettingsStore settingsStore{sink};
    std::function<std::optional<std::string>(const std::string&)> serverUriChooser;
    QtWriteSmsForm writeForm{controls};
    CWriteSmsTab writeTab{writeForm, sink, settingsStore, viewDatabase.database, session.portOpen};
    CSendSmsWorker sendWorker{session, sink};
    CReadScaWorker scaWorker{session};
    QtPhonebookForm phonebookForm{controls, closing, this};
    CPhonebookManager phonebook{session, viewDatabase.database, phonebookForm, sink};
    // The Read SMS tab: the reader goes after the session and the database, so that it is
    // destroyed first (its destructor joins its worker).
    SmsListModel smsModel;
    QtSmsReadForm smsForm{controls, closing, this, smsModel};
    CSmsReader reader{session, SmsReadContext{viewDatabase.database, sink, smsForm}};
    // "Open COM": opening and closing the session, as every other task, through a runner.
    CTaskRunner sessionRunner{session};
    std::atomic<bool> notifyNew{true};
    std::atomic<bool> archiveNew{false};
    // Destroyed before the reader and the form it lists into; stopped before the session closes.
    CNewMessageListener listener{session, SmsReadContext{viewDatabase.database, sink, smsForm},
                                 ListenerHooks()};
};
