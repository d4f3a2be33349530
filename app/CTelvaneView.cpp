#include "app/CTelvaneView.h"

#include "app/CScrollingAboutBox.h"
#include "app/FormBuilder.h"
#include "app/FormGrowth.h"
#include "app/FormKeys.h"
#include "app/GuiThread.h"
#include "app/Pictures.h"
#include "app/StatusNote.h"
#include "archive/CSmsArchiveDlg.h"
#include "phonebook/PhonebookColumns.h"
#include "res/form/ButtonImages.h"
#include "res/form/FormControls.h"
#include "res/form/FormTooltips.h"
#include "res/form/MenuTable.h"
#include "serial/PortName.h"
#include "serial/settings/CComSettingsRunner.h"
#include "serial/settings/CSettingsStore.h"
#include "serial/settings/PortSettings.h"
#include "sms/CopySmsToDatabase.h"
#include "sms/DeliveryReports.h"
#include "sms/MessageView.h"
#include "sms/SmsLogFile.h"
#include "sms/view/CMessageViewDlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <array>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

using Column = PhonebookColumn;

// How long the cause of a failed open, or where a stored message went, stays in the status bar.
constexpr int kPortNoteMs = 60000;
// How often the end of a lost session asks again for the port that a task still holds.
constexpr int kPortGoneRetryMs = 50;

void SetColumns(QTreeWidget* list, std::span<const Column> columns) {
    QStringList headings;
    for (const Column& column : columns)
        headings << QString::fromUtf8(column.heading.data(),
                                      static_cast<qsizetype>(column.heading.size()));
    list->setHeaderLabels(headings);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        list->setColumnWidth(i, columns[static_cast<std::size_t>(i)].width);
}

QAction* FindCommand(const QList<QAction*>& actions, int commandId) {
    for (QAction* action : actions) {
        if (action->property("commandId").toInt() == commandId)
            return action;
        if (QMenu* menu = action->menu()) {
            if (QAction* found = FindCommand(menu->actions(), commandId))
                return found;
        }
    }
    return nullptr;
}

} // namespace

CTelvaneView::CTelvaneView(QWidget* parent)
    : QScrollArea(parent), units(FormFont()), form(new GrowingForm) {
    setObjectName(QStringLiteral("telvaneView"));
    setFrameShape(QFrame::NoFrame);
    form->setObjectName(QStringLiteral("form"));
    form->setFont(FormFont());
    form->resize(units.ToPixels(kFormRect).size());

    tabControl = new QTabWidget(form);
    tabControl->setObjectName(ControlObjectName(kTabControlId));
    tabControl->setGeometry(units.ToPixels(kTabControlRect));
    controls = BuildFormControls(form, units);
    setWidget(form);
    connect(tabControl, &QTabWidget::currentChanged, this, &CTelvaneView::OnTabSelChange);
    AddTabSwitchKeys(*form, *tabControl);
    WireWriteSms();
    WirePhonebook();
    WireReadSms();
    WirePortNotes();
    LoadNewMessageSettings();
    // A larger window gives its room to the lists and the message text; a smaller one scrolls.
    form->KeepNaturalLayout(controls, tabControl);
    setWidgetResizable(true);
}

void CTelvaneView::WirePortNotes() {
    // Why the port did not open, from the opening thread.
    session.Port().SetStatusNote([this](const std::string& cause) { ShowPortNote(cause); });
}

void CTelvaneView::ShowPortNote(const std::string& note) {
    if (note.empty())
        return;
    // From the session's thread; long enough on screen to be read.
    guiPost.Post([this, text = QString::fromStdString(note)] { ShowStatus(text, kPortNoteMs); });
}

void CTelvaneView::OnInhibitModemManager(bool inhibit) {
    modemManager.SetInhibit(inhibit);
}

template <typename Handler> void CTelvaneView::OnClick(int id, Handler handler) {
    connect(qobject_cast<QAbstractButton*>(Control(id)), &QAbstractButton::clicked, this, handler);
}

void CTelvaneView::WireWriteSms() {
    OnClick(kSendButtonId, [this] { OnSendSms(); });
    OnClick(kStoreSmsButtonId, [this] { OnStoreSms(); });
    // A send that asked for a report leaves a record of each part, for the report to find.
    sendWorker.SetSentCallback([this](const SubmitParts& parts, const SendReport& report) {
        std::string why;
        if (!RecordSentParts(viewDatabase.database, PdusOf(parts), report.references, &why))
            guiPost.Post([this, why] {
                ShowStatus(QString::fromStdString(std::string(kDeliveryNotRecorded) + why));
            });
    });
    OnClick(kReadScaButtonId, [this] { OnReadSca(); });
    OnClick(kValidityCheckId, [this] { writeTab.UpdateValidityControls(); });
    WireSubmitRadios();
    auto* text = qobject_cast<QPlainTextEdit*>(Control(kSmsTextEditId));
    LetTabLeaveText(*text);
    connect(text, &QPlainTextEdit::textChanged, this, [this] { writeTab.OnTextChange(); });
    auto* recipient = qobject_cast<QComboBox*>(Control(kRecipientComboId));
    connect(recipient, &QComboBox::editTextChanged, this,
            [this] { writeTab.OnRecipientEditChange(); });
    for (int id : {kDcsComboId, kClassComboId})
        connect(qobject_cast<QComboBox*>(Control(id)), &QComboBox::currentTextChanged, this,
                [this] { writeTab.ShowSendPlan(); });
}

void CTelvaneView::WireSubmitRadios() {
    // The operations set each radio button of these groups on its own (a relative validity may
    // stand checked beside an absolute one). Whatever way the user changes one (mouse, keyboard,
    // accessibility), it ends checked and its partner unchecked.
    for (const auto& ids : {std::array{kStandardSubmitRadioId, kAdvancedSubmitRadioId},
                            std::array{kAbsoluteRadioId, kRelativeRadioId}}) {
        for (int id : ids) {
            auto* radio = qobject_cast<QAbstractButton*>(Control(id));
            if (QButtonGroup* group = radio->group())
                group->removeButton(radio);
            radio->setAutoExclusive(false);
            connect(radio, &QAbstractButton::toggled, this,
                    [this, ids, id] { OnUserRadio(ids, id); });
        }
    }
}

void CTelvaneView::OnUserRadio(const std::array<int, 2>& pair, int chosen) {
    if (writeForm.SettingChecks() || pairingRadios)
        return;
    pairingRadios = true;
    for (int id : pair)
        qobject_cast<QAbstractButton*>(Control(id))->setChecked(id == chosen);
    pairingRadios = false;
    if (chosen == kStandardSubmitRadioId)
        writeTab.OnStandardSubmit();
    else if (chosen == kAdvancedSubmitRadioId)
        writeTab.OnAdvancedSubmit();
}

void CTelvaneView::WirePhonebook() {
    const std::pair<int, void (CPhonebookManager::*)()> buttons[] = {
        {kReadNamesButtonId, &CPhonebookManager::OnReadPhonebook},
        {kStoreNamesButtonId, &CPhonebookManager::OnStoreNames},
        {kAddEntryButtonId, &CPhonebookManager::OnAddEntry},
        {kChangeEntryButtonId, &CPhonebookManager::OnChangeEntry},
        {kEraseEntryButtonId, &CPhonebookManager::OnEraseEntry},
    };
    for (const auto& [id, handler] : buttons) {
        connect(qobject_cast<QAbstractButton*>(Control(id)), &QAbstractButton::clicked, this,
                [this, run = handler] { (phonebook.*run)(); });
    }
    QHeaderView* header = qobject_cast<QTreeWidget*>(Control(kPhonebookListId))->header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this] { phonebook.OnPhonebookColumnClick(); });
}

void CTelvaneView::WireReadSms() {
    MakeSmsListView();
    OnClick(kReadSmsButtonId, [this] { reader.OnReadSmsFromPhone(); });
    OnClick(kCopySmsButtonId, [this] { OnCopySmsToDatabase(); });
    OnClick(kEraseAllSmsButtonId, [this] { reader.OnEraseAllSms(); });
    OnClick(kReadFromFileButtonId, [this] { OnReadFromFile(); });
}

void CTelvaneView::MakeSmsListView() {
    // The form builder made an item list; the SMS list is a view over the window's rows so that
    // thousands of them stay fast. The view takes the place, name and id of the list.
    QWidget* built = Control(kSmsListId);
    auto* list = new QTableView(form);
    list->setObjectName(built->objectName());
    list->setProperty("controlId", built->property("controlId"));
    list->setAccessibleName(built->accessibleName());
    list->setGeometry(built->geometry());
    list->setEnabled(built->isEnabled());
    list->setModel(&smsModel);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->verticalHeader()->hide();
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setStretchLastSection(false);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    controls[kSmsListId] = list;
    delete built;
    // Double-click or Enter on a row.
    connect(list, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        MessageView message = MessageViewOf(smsModel.List(), index.row());
        if (index.row() < smsModel.List().Count())
            AddDeliveryLines(viewDatabase.database, smsModel.List().Row(index.row()), message);
        OpenMessageView(message, this);
    });
}

CTelvaneView::~CTelvaneView() {
    OnDestroy();
}

void CTelvaneView::OnInitialUpdate() {
    initialised = true;
    sink.SetOwner(window());
    databaseDialogs.SetOwner(window());
    // Stays until the next note: it tells why no database is open.
    databaseDialogs.SetStatusBar([this](const QString& text) {
        if (auto* frame = qobject_cast<QMainWindow*>(window()))
            frame->statusBar()->showMessage(text);
    });
    stopRequest = 0;
    busy = 0;
    LoadButtonImages();
    EnableToolTips();
    portOpen = 0;
    LoadPortSettings();
    EnablePortControls(0);
    session.ClearLines();
    if (auto* sim = qobject_cast<QAbstractButton*>(Control(kReadSimRadioId)))
        sim->setChecked(true);
    writeTab.writeTabFilling = 0;
    currentTab = 0;
    {
        const QSignalBlocker blocker(tabControl);
        for (std::string_view name : kTabNames)
            tabControl->addTab(new QWidget,
                               QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        tabControl->setCurrentIndex(0);
    }
    ShowTabControls(1, false);
    ShowTabControls(2, false);
    SetupSmsListColumns();
    databasePath = "telvane.mdb";
    viewDatabase.OpenDatabase();
}

void CTelvaneView::OnDestroy() {
    // A form that was never shown has no placement to keep and no session to close.
    if (destroyed || !initialised)
        return;
    destroyed = true;
    SavePlacement();
    stopRequest = 255;
    listener.RequestStop();
    EndSessionTask();
    EndWorkers();
    listener.Stop();
    session.CloseSession();
    modemManager.AfterClose();
}

void CTelvaneView::EndWorkers() {
    // The waiter is interrupted and the sink silent: a running read or send ends after the
    // exchange under way. A form call or box it asked for just before the close is served here.
    WaitServingGuiCalls([this] {
        return !phonebook.Reading() && !sendWorker.Running() && !scaWorker.Running() &&
               listener.Ended();
    });
    phonebook.JoinWorker();
    sendWorker.Join();
    scaWorker.Join();
    JoinReader();
}

void CTelvaneView::JoinReader() {
    // The reader has no running flag of its own: a helper thread joins it while this one serves
    // the form calls it may be waiting on.
    std::atomic<bool> joined{false};
    try {
        std::thread joiner([this, &joined] {
            reader.Join();
            joined = true;
        });
        WaitServingGuiCalls([&joined] { return joined.load(); });
        joiner.join();
    } catch (const std::system_error&) {
        // No thread to be had: the form calls are dropped now, so the reader cannot wait on one
        // that started after this point; serve for the one that may be under way, then join.
        WaitServingGuiCalls([this] { return busy == 0; });
        reader.Join();
    }
}

void CTelvaneView::EndSessionTask() {
    // An opening session still running ends at once: its pauses stop, its boxes are not shown
    // and its form calls are dropped. It must end before the session object goes.
    closing = true;
    waiter.Interrupt();
    sink.Silence();
    sessionRunner.Stop();
    WaitServingGuiCalls([this] { return !sessionRunner.Running(); });
    sessionRunner.Join();
}

bool CTelvaneView::DropFormCall() const {
    return closing && QThread::currentThread() != thread();
}

void CTelvaneView::LoadPortSettings() {
    CSettingsStore store(sink);
    ::LoadPortSettings(store, session.Port(), portSetting, flowSetting);
}

void CTelvaneView::SavePlacement() {
    // The frame's top-left corner and the window's own size: moving to the corner and sizing to
    // the difference puts the window back exactly where it was.
    const QWidget* frame = window();
    const QPoint corner = frame->pos();
    const QSize size = frame->size();
    CSettingsStore store(sink);
    const std::pair<const char*, int> values[] = {
        {"top", corner.y()},
        {"bottom", corner.y() + size.height()},
        {"left", corner.x()},
        {"right", corner.x() + size.width()},
    };
    for (const auto& [name, value] : values) {
        std::string text = std::to_string(value);
        store.WriteSetting(name, text);
    }
}

void CTelvaneView::KeepTableLayoutWithin(QSize room) {
    form->KeepTableLayoutWithin(room);
}

QWidget* CTelvaneView::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

void CTelvaneView::SelectTab(int index) {
    if (index < 0 || index >= kTabCount)
        return;
    if (index != currentTab) {
        ShowTabControls(index, true);
        ShowTabControls(currentTab, false);
        if (currentTab == 1)
            writeForm.HideStatus();
        currentTab = index;
    }
    ActivateTab(index);
}

void CTelvaneView::ActivateTab(int index) {
    if (index == 2) {
        if (auto* dbase = qobject_cast<QAbstractButton*>(Control(kDbaseRadioId)))
            dbase->setChecked(true);
        if (!phonebookColumnsMade) {
            SetupPhonebookColumns();
            phonebookColumnsMade = true;
        }
    }
    if (index == 1)
        writeTab.ActivateWriteTab();
    // Tab 0 asks the message counts while the port is open, on the reader's thread.
    if (index == 0 && portOpen != 0)
        reader.StartReadSmsCount();
    emit tabActivated(index);
}

void CTelvaneView::ShowTabControls(int tab, bool show) {
    form->setUpdatesEnabled(false);
    for (const FormControl& control : FormControlTable()) {
        if (control.tab == tab)
            controls.at(control.id)->setVisible(show);
    }
    form->setUpdatesEnabled(true);
    form->update();
}

void CTelvaneView::EnablePortControls(int enable) {
    if (DropFormCall())
        return;
    RunOnGuiThread([this, enable] {
        for (const FormControl& control : FormControlTable()) {
            if (control.needsPort)
                controls.at(control.id)->setEnabled(enable != 0);
        }
    });
}

void CTelvaneView::EnableReadControls(int readBusy) {
    smsForm.EnableReadControls(readBusy);
}

void CTelvaneView::LoadButtonImages() {
    for (const FormControl& control : FormControlTable()) {
        const auto picture = ButtonPictureFor(control.id);
        auto* button = qobject_cast<QAbstractButton*>(Control(control.id));
        if (!picture || button == nullptr)
            continue;
        button->setText({});
        button->setIcon(ButtonImage(*picture));
        button->setIconSize({kButtonImageSize, kButtonImageSize});
    }
}

QString CTelvaneView::OnToolTipText(int controlId) {
    const auto tip = TooltipFor(controlId);
    if (!tip)
        return {};
    return QString::fromUtf8(tip->data(), static_cast<qsizetype>(tip->size()));
}

void CTelvaneView::EnableToolTips() {
    for (const auto& [id, widget] : controls)
        widget->setToolTip(OnToolTipText(id));
}

void CTelvaneView::SetupSmsListColumns() {
    auto* list = qobject_cast<QTableView*>(Control(kSmsListId));
    const auto& columns = SmsListColumns();
    for (int i = 0; i < kSmsListColumnCount; ++i)
        list->setColumnWidth(i, columns[static_cast<std::size_t>(i)].width);
}

void CTelvaneView::SetupPhonebookColumns() {
    SetColumns(qobject_cast<QTreeWidget*>(Control(kPhonebookListId)), kPhonebookColumns);
}

void CTelvaneView::SetMenuCheck(int commandId, int checked) {
    if (DropFormCall())
        return;
    RunOnGuiThread([this, commandId, checked] {
        auto* frame = qobject_cast<QMainWindow*>(window());
        auto* menuBar = frame == nullptr ? nullptr : qobject_cast<QMenuBar*>(frame->menuWidget());
        if (menuBar == nullptr) {
            ShowOk(sink, kCannotGetMenu, kAppTitle);
            return;
        }
        if (QAction* action = FindCommand(menuBar->actions(), commandId))
            action->setChecked(checked != 0);
    });
}

void CTelvaneView::OnTabSelChange(int index) {
    // While a worker runs, the header shows the new tab but the controls stay.
    if (busy != 0)
        return;
    SelectTab(index);
}

void CTelvaneView::OnJumpTo(int tab) {
    {
        const QSignalBlocker blocker(tabControl);
        tabControl->setCurrentIndex(tab);
    }
    SelectTab(tab);
}

void CTelvaneView::OnOpenCom() {
    if (sessionTaskRunning || closing)
        return;
    // Opening and closing exchange with the phone and reset the line store: they wait for no
    // task, and no task starts while they run.
    const bool open = portOpen == 0;
    const std::string port = DevicePath(session.Port().PortName());
    // True when a session was opened.
    const auto task = [this, open, port] {
        if (open) {
            ShowPortNote(modemManager.BeforeOpen(port));
            const bool opened = session.OpenSession();
            if (opened)
                StartListening();
            return opened;
        }
        listener.Stop();
        session.CloseSession();
        modemManager.AfterClose();
        return false;
    };
    // Tasks start on this thread only: a port free now is still free when the runner takes it.
    if (session.PortTaken()) {
        ShowStatus(TaskRunningNote());
        return;
    }
    sessionTaskRunning = true;
    // The end is told once the port is free: the end of an opening starts the count read.
    if (sessionRunner.Start([this, task](std::stop_token) { sessionOpened = task(); }, {}, {},
                            [this] {
                                guiPost.Post([this, opened = sessionOpened.load()] {
                                    OnSessionTaskDone(opened);
                                });
                            }))
        return;
    // No thread to be had: do the work here, the window waiting with it.
    PortLease lease = session.TakePort();
    const bool opened = task();
    lease.Release();
    OnSessionTaskDone(opened);
}

void CTelvaneView::OnSessionTaskDone(bool opened) {
    sessionTaskRunning = false;
    // The first tab's activation asks the message counts, whichever tab is shown.
    if (opened && !closing)
        ActivateTab(0);
    emit sessionTaskDone(opened);
}

void CTelvaneView::OnSendSms() {
    if (sendWorker.Busy()) {
        ShowStatus(TaskRunningNote());
        return;
    }
    writeTab.OnSendSms(sendWorker, [this](SendOutcome outcome) {
        const std::string note = FailedPartNote(sendWorker.LastReport(), outcome);
        guiPost.Post([this, outcome, note] {
            if (!note.empty())
                ShowStatus(QString::fromStdString(note));
            emit sendDone(outcome);
        });
    });
}

void CTelvaneView::OnStoreSms() {
    if (sendWorker.Busy()) {
        ShowStatus(TaskRunningNote());
        return;
    }
    writeTab.OnStoreSms(sendWorker, [this](const StoreReport& report) {
        guiPost.Post([this, report] {
            const QString note = QString::fromStdString(StoreNote(report));
            ShowStatus(note, kPortNoteMs);
            if (report.failedPart != 0 && !closing)
                sink.ShowMessage({note.toStdString(), std::string(kAppTitle), BoxButtons::Ok,
                                  BoxIcon::Warning, true});
            emit storeDone(report.failedPart == 0);
        });
    });
}

void CTelvaneView::OnReadSca() {
    const bool started = scaWorker.Start([this](const ReadScaResult& result) {
        guiPost.Post([this, result] {
            if (result.status == ReadScaStatus::Read)
                writeForm.SetControlText(kScaEditId, result.number);
            else
                ShowStatus(QString::fromStdString(ReadScaNote(result)));
            emit readScaDone();
        });
    });
    if (!started)
        ShowStatus(TaskRunningNote());
}

void CTelvaneView::ShowStatus(const QString& text, int shownMs) {
    ShowStatusNote(this, text, shownMs);
}

QString CTelvaneView::TaskRunningNote() {
    return QString::fromUtf8(kTaskRunningText.data(),
                             static_cast<qsizetype>(kTaskRunningText.size()));
}

void CTelvaneView::PortGone() {
    // The reader's thread: the session ends on this one, once the port is free.
    if (closing)
        return;
    guiPost.Post([this] { OnPortGone(); });
}

void CTelvaneView::OnPortGone() {
    if (closing)
        return;
    // The task under way stops after its exchange (which ends at once); then the port is free.
    PortLease lease = session.TakePort();
    if (!lease) {
        QTimer::singleShot(kPortGoneRetryMs, this, [this] { OnPortGone(); });
        return;
    }
    // Not waited for here: its form calls are served on this thread. The next opening waits.
    listener.RequestStop();
    session.EndLostSession();
}

void CTelvaneView::OnIoSettings() {
    // The dialog changes the port object's settings, which an opening session is reading.
    if (sessionTaskRunning)
        return;
    CSettingsStore store(sink);
    CComSettingsRunner dialog(sink, window());
    ::OnIoSettings(dialog, store, session.Port(), portSetting, flowSetting);
}

void CTelvaneView::OnStopTask() {
    session.OnStopTask();
}

void CTelvaneView::OnSelectDatabase() {
    // Every task may use the database (names looked up, rows archived): none may see it go.
    if (session.PortTaken()) {
        ShowStatus(TaskRunningNote());
        return;
    }
    viewDatabase.SelectDatabase();
}

void CTelvaneView::OnSmsArchive() {
    CSmsArchiveDlg dlg(&viewDatabase.database, this, &sink);
    dlg.exec();
}

void CTelvaneView::OnReadFromFile() {
    // "a|b|c|d||" becomes "a (b);;c (d)": Qt wants the patterns blank-separated in brackets.
    const QStringList parts =
        QString::fromUtf8(kLogFileFilter.data(), static_cast<qsizetype>(kLogFileFilter.size()))
            .split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        filters << parts[i] + QStringLiteral(" (") +
                       patterns.replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    }
    const QString path = QFileDialog::getOpenFileName(window(), QString(), QString(),
                                                      filters.join(QStringLiteral(";;")));
    if (!path.isEmpty())
        reader.StartReadFromFile(path.toStdString());
}

void CTelvaneView::OnCopySmsToDatabase() {
    ::OnCopySmsToDatabase(SmsReadContext{viewDatabase.database, sink, smsForm});
}

void CTelvaneView::OnAbout() {
    CScrollingAboutBox box(window());
    box.exec();
}
