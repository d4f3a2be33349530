// The window's side of new messages: the two check items of File, the phone set to tell new
// messages when a session opens, and each message the listener lists named in the status bar
// and on the desktop.

#include "app/CTelvaneView.h"
#include "app/DesktopNotice.h"
#include "serial/NewMessageIndications.h"
#include "sms/DeliveryReports.h"

namespace {

constexpr std::string_view kNotifySetting = "NotifyNewMessages";
constexpr std::string_view kArchiveSetting = "ArchiveNewMessages";

// A check item's stored value: "1" or "0"; anything else (nothing stored yet) is the default.
bool StoredFlag(ISettings& settings, std::string_view name, bool fallback) {
    const std::string value = settings.ReadSetting(name);
    return value == "1" || (value != "0" && fallback);
}

void StoreFlag(ISettings& settings, std::string_view name, bool on) {
    std::string value = on ? "1" : "0";
    settings.WriteSetting(name, value);
}

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void CTelvaneView::LoadNewMessageSettings() {
    notifyNew = StoredFlag(settingsStore, kNotifySetting, true);
    archiveNew = StoredFlag(settingsStore, kArchiveSetting, false);
}

void CTelvaneView::OnNotifyNewMessages(bool on) {
    notifyNew = on;
    StoreFlag(settingsStore, kNotifySetting, on);
}

void CTelvaneView::OnArchiveNewMessages(bool on) {
    archiveNew = on;
    StoreFlag(settingsStore, kArchiveSetting, on);
}

void CTelvaneView::StartListening() {
    if (!notifyNew)
        return;
    const IndicationSetup setup = SetUpIndications(session);
    if (!setup.set) {
        guiPost.Post([this, note = ToQt(setup.note)] { ShowStatus(note); });
        return;
    }
    listener.SetAcknowledge(setup.acknowledge);
    listener.Start();
}

NewMessageHooks CTelvaneView::ListenerHooks() {
    NewMessageHooks hooks;
    hooks.listed = [this](const SmsRow& row) { guiPost.Post([this, row] { OnNewMessage(row); }); };
    // A report is matched to the part it reports on, and told as its record now says.
    hooks.report = [this](const std::string& pdu) {
        const std::string told = HandleStatusReportPdu(viewDatabase.database, pdu)
                                     .value_or(std::string(kReportReceivedText));
        guiPost.Post([this, note = ToQt(told)] { ShowStatus(note); });
    };
    hooks.archive = [this] { return archiveNew.load(); };
    hooks.move = [this] { return smsForm.MoveChecked(); };
    hooks.note = [this](const std::string& text) {
        guiPost.Post([this, note = ToQt(text)] { ShowStatus(note); });
    };
    return hooks;
}

void CTelvaneView::OnNewMessage(const SmsRow& row) {
    const std::string& name = row[kSmsNameColumn];
    const QString sender = ToQt(name.empty() ? row[kSmsSenderColumn] : name);
    const QString title = QStringLiteral("New message from ") + sender;
    ShowStatus(title);
    NotifyDesktop(title, FirstWords(ToQt(row[kSmsTextColumn])));
    emit newMessageListed(sender);
}
