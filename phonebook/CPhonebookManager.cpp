#include "phonebook/CPhonebookManager.h"

#include "core/TextHelpers.h"
#include "phonebook/PhonebookCharset.h"
#include "phonebook/PhonebookDatabase.h"
#include "phonebook/PhonebookSort.h"
#include "phonebook/PhonebookStore.h"
#include "phonebook/PhonebookText.h"
#include "phonebook/ShowReplyError.h"
#include "serial/CModemSession.h"
#include "serial/serialdata.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr int kPhonebookStopBit = 2;
constexpr std::size_t kEntryTextLimit = 999;

int ProgressValue(long long value) {
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<std::int16_t>::min(),
                                                  std::numeric_limits<std::int16_t>::max()));
}

// Runs the entry dialog; the texts it hands back are kept to the dialog's capacity.
bool RunEntryDialog(IPhonebookForm& form, std::string& name, std::string& number) {
    if (!form.RunEntryDialog(name, number))
        return false;
    name = CutToCharacters(name, kEntryTextLimit);
    number = CutToCharacters(number, kEntryTextLimit);
    return true;
}

} // namespace

CPhonebookManager::CPhonebookManager(CModemSession& modem, CDaoDatabase& db,
                                     IPhonebookForm& phonebookForm, IMessageSink& sink)
    : session(modem), database(db), form(phonebookForm), messages(sink) {}

CPhonebookManager::~CPhonebookManager() {
    JoinWorker();
}

void CPhonebookManager::JoinWorker() {
    phonebookWorker.Join();
}

void CPhonebookManager::OnReadPhonebook() {
    if (reading)
        return;
    if (form.CheckedMemory() == PhonebookMemory::Dbase) {
        LoadPhonebookFromDatabase();
        return;
    }
    if (session.portOpen == 0) {
        ShowOk(messages, "COM is closed!", kAppTitle);
        return;
    }
    if (!StartWorker() && session.PortTaken())
        form.SetStatusText(std::string(kTaskRunningText));
}

bool CPhonebookManager::StartWorker() {
    reading = true;
    const bool started = phonebookWorker.Start(
        [this](std::stop_token token) {
            taskStop = std::move(token);
            ReadPhonebookWorker();
        },
        TaskFlags{true}, [this] { reading = false; });
    if (!started)
        reading = false;
    return started;
}

// The read itself; the thread that StartWorker starts then gives the port back and clears
// `stopRequest` and `busy`.
int CPhonebookManager::ReadPhonebookWorker() {
    {
        std::lock_guard lock(entriesMutex);
        entries.clear();
    }
    session.ClearLines();
    const bool sim = form.CheckedMemory() == PhonebookMemory::Sim;
    SendWithRetry(sim ? R"(AT+CPBS="SM")" : R"(AT+CPBS="ME")");
    session.ClearLines();
    SendWithRetry("AT+CPBR=?");
    const PhonebookRange range = ParsePhonebookRange(session.Store());
    session.ClearLines();
    const ReadCharset charset = SelectUcs2();
    form.SetProgressRange(1, ProgressValue(range.upper));
    if (range.lower <= range.upper)
        ReadPositions(range, charset.inUse);
    RestoreCharset(charset);
    return 0;
}

void CPhonebookManager::SendWithRetry(std::string_view command) {
    for (;;) {
        const int result = session.SendAndWait(command, kSendCommandLine);
        // A port that has gone is reported once, by the end of the session, not per command.
        if (session.PortLost() || ShowReplyError(messages, result) != 1)
            return;
    }
}

bool CPhonebookManager::EndOfPositions(int commandIndex) const {
    // A closed session would only time out, command after command, up to the limit.
    return commandIndex >= kMaxPhonebookCommands ||
           (session.stopRequest & kPhonebookStopBit) != 0 || taskStop.stop_requested() ||
           session.portOpen == 0 || session.PortLost();
}

CPhonebookManager::ReadCharset CPhonebookManager::SelectUcs2() {
    // A phone that does not know +CSCS answers ERROR: the read goes on in whatever it uses.
    ReadCharset charset;
    if (session.SendAndWait("AT+CSCS?", kSendCommandLine) != kAnswerOk)
        return charset;
    charset.previous = ParseCharsetAnswer(SnapshotLines(session.Store())).value_or("");
    charset.inUse = charset.previous;
    if (charset.previous.empty() || charset.previous == kUcs2Charset ||
        session.SendAndWait("AT+CSCS=?", kSendCommandLine) != kAnswerOk ||
        !OffersUcs2(SnapshotLines(session.Store())))
        return charset;
    if (session.SendAndWait(R"(AT+CSCS="UCS2")", kSendCommandLine) == kAnswerOk) {
        charset.inUse = kUcs2Charset;
        charset.switched = true;
    }
    session.ClearLines();
    return charset;
}

void CPhonebookManager::RestoreCharset(const ReadCharset& charset) {
    // Also after a stop; only a closed session or a vanished phone has no phone to tell.
    if (charset.switched && session.portOpen != 0 && !session.PortLost())
        session.SendAndWait("AT+CSCS=\"" + charset.previous + "\"", kSendCommandLine);
}

void CPhonebookManager::ReadPositions(const PhonebookRange& range, std::string_view charset) {
    // Counts the positions answered "OK"; commands always start at index 0.
    long long counter = range.lower;
    int commandIndex = 0;
    do {
        if (EndOfPositions(commandIndex))
            break;
        const std::string command = "AT+CPBR=" + std::to_string(commandIndex++);
        const int result = session.SendAndWait(command, kSendCommandLine);
        form.SetProgressPos(ProgressValue(counter));
        if (result == kAnswerOk) {
            const int position = static_cast<int>(counter);
            std::vector<PhonebookRow> rows =
                AddPhonebookRows(session.Store(), form, position, charset);
            std::lock_guard lock(entriesMutex);
            for (PhonebookRow& row : rows)
                entries.push_back({position, std::move(row)});
            ++counter;
        } else if (result == kAnswerTimeout && session.portOpen != 0 && !session.PortLost()) {
            ShowOk(messages, "No answer from phone", command);
        }
    } while (counter <= range.upper);
}

std::vector<PhonebookReadEntry> CPhonebookManager::Entries() const {
    std::lock_guard lock(entriesMutex);
    return entries;
}

void CPhonebookManager::OnStoreNames() {
    if (reading)
        return;
    if (form.CheckedMemory() == PhonebookMemory::Dbase) {
        CopyPhonebookToDatabase();
        return;
    }
    StoreToPhone();
}

void CPhonebookManager::StoreToPhone() {
    if (session.portOpen == 0) {
        ShowOk(messages, "COM is closed!", kAppTitle);
        return;
    }
    std::vector<PhonebookRow> rows;
    for (int i = 0; i < form.RowCount(); ++i)
        if (const std::optional<PhonebookRow> row = form.Row(i))
            rows.push_back(*row);
    std::vector<PhonebookEntry> toStore = EntriesToStore(rows);
    const PhonebookMemory memory = form.CheckedMemory();
    if (toStore.empty()) {
        messages.ShowMessage({"Nothing to store", "Store", BoxButtons::Ok, BoxIcon::Information});
        return;
    }
    if (messages.ShowMessage({StoreQuestion(toStore, memory), "Store", BoxButtons::YesNo,
                              BoxIcon::Question}) != BoxAnswer::Yes)
        return;
    // The worker's list: the form may change while the phone is written.
    const bool started = phonebookWorker.Start(
        [this, memory, list = std::move(toStore)](std::stop_token /*token*/) {
            const PhonebookWriteReport report = WritePhonebookEntries(session, memory, list);
            const bool done = report.memorySelected && report.failedPositions.empty();
            messages.ShowMessage({StoreReport(report, list.size(), memory), "Store", BoxButtons::Ok,
                                  done ? BoxIcon::Information : BoxIcon::Error});
        },
        TaskFlags{true});
    if (!started && session.PortTaken())
        form.SetStatusText(std::string(kTaskRunningText));
}

void CPhonebookManager::OnAddEntry() {
    if (reading)
        return;
    std::string name;
    std::string number;
    if (!RunEntryDialog(form, name, number))
        return;
    const char* kind = number.starts_with('+') ? "International" : "National";
    form.InsertRow(0, {"NEW", name, number, kind});
}

void CPhonebookManager::OnChangeEntry() {
    if (reading)
        return;
    const int selected = form.FirstSelectedRow();
    if (selected < 0)
        return;
    const std::optional<PhonebookRow> row = form.Row(selected);
    if (!row)
        return;
    std::string name = CutToCharacters((*row)[kNameColumn], kEntryTextLimit);
    std::string number = CutToCharacters((*row)[kNumberColumn], kEntryTextLimit);
    if (!RunEntryDialog(form, name, number))
        return;
    form.SetItemText(selected, kNameColumn, name);
    form.SetItemText(selected, kNumberColumn, number);
}

void CPhonebookManager::OnPhonebookColumnClick() {
    ::OnPhonebookColumnClick(form, messages);
}

int CPhonebookManager::LoadPhonebookFromDatabase() {
    return ::LoadPhonebookFromDatabase(database, form, messages);
}

void CPhonebookManager::CopyPhonebookToDatabase() {
    ::CopyPhonebookToDatabase(database, form, messages);
}
