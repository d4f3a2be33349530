#include "sms/CSmsReader.h"

#include "core/TextHelpers.h"
#include "sms/DeliveryReports.h"
#include "sms/EraseAllSms.h"
#include "sms/SmsHeader.h"
#include "sms/SmsLogFile.h"
#include "sms/StoredSms.h"

#include <string>

namespace {

constexpr int kReadWorkerStopBit = 1;

std::string_view CountCommand(SmsMemory memory) {
    switch (memory) {
    case SmsMemory::Sim:
        return R"(AT+CPMS="SM")";
    case SmsMemory::Phone:
        return R"(AT+CPMS="ME")";
    }
    return {};
}

std::string_view CountErrorText(SmsMemory memory) {
    switch (memory) {
    case SmsMemory::Sim:
        return "Error reading SMS Count SM";
    case SmsMemory::Phone:
        return "Error reading SMS Count ME";
    }
    return {};
}

} // namespace

CSmsReader::CSmsReader(CModemSession& modemSession, const SmsReadContext& readContext)
    : session(modemSession), context(readContext) {
    // A report the phone stored is matched as a pushed one is; the row names the part it is on.
    if (!context.reportRead)
        context.reportRead = [&database = context.database](const sms_status_report& report,
                                                            SmsRow& row) {
            const StatusReportResult result = RecordStatusReport(database, report);
            if (result.matched && result.record.parts > 1)
                row[kSmsPartColumn] =
                    std::to_string(result.record.part) + "/" + std::to_string(result.record.parts);
        };
}

CSmsReader::~CSmsReader() {
    Join();
}

void CSmsReader::Join() {
    runner.Join();
}

bool CSmsReader::Start(std::function<void()> task, bool setsBusy) {
    const bool started = runner.Start(
        [this, work = std::move(task)](std::stop_token token) {
            taskStop = std::move(token);
            work();
        },
        TaskFlags{setsBusy});
    if (!started && session.PortTaken())
        context.form.SetStatusText(std::string(kTaskRunningText));
    return started;
}

bool CSmsReader::OnReadSmsFromPhone() {
    return Start([this] { ReadSmsWorker(); }, true);
}

bool CSmsReader::StartReadSmsCount() {
    return Start([this] { ReadSmsCount(); }, false);
}

bool CSmsReader::StartReadFromFile(const std::string& path) {
    // A captured log tells of the past: its reports are listed, not matched.
    SmsReadContext fromFile = context;
    fromFile.reportRead = nullptr;
    return Start(
        [this, path, fromFile] {
            listedMemory.reset();
            ReadSmsFromFile(path, session.Store(), fromFile);
        },
        false);
}

bool CSmsReader::OnEraseAllSms() {
    return Start([this] { EraseAllWorker(); }, false);
}

bool CSmsReader::ReadOneCount(SmsMemory memory) {
    session.ClearLines();
    if (session.SendAndWait(CountCommand(memory), kSendCommandLine) != kAnswerOk) {
        if (PortLost())
            return false;
        context.messages.ShowMessage(
            {std::string(CountErrorText(memory)), "Error", BoxButtons::Ok, BoxIcon::Error, true});
        return false;
    }
    const std::string line = FirstAnswerLine(session.Store());
    if (line.empty())
        return true;
    if (!line.starts_with("+CPMS:"))
        context.messages.ShowMessage(
            {"Error reading SMS COUNT. Expected '+CPMS:xxxx' but got '" + line + "'", "ERROR",
             BoxButtons::Ok, BoxIcon::Warning, true});
    const std::string shown = FirstFieldAfterColon(line);
    context.form.SetCountText(memory, shown);
    std::lock_guard guard(countsMutex);
    (memory == SmsMemory::Sim ? counts.sim : counts.phone) = CountAnswerUsed(line);
    return true;
}

SmsCounts CSmsReader::ReadSmsCount() {
    context.form.EnableReadControls(1);
    if (ReadOneCount(SmsMemory::Sim))
        ReadOneCount(SmsMemory::Phone);
    context.form.EnableReadControls(0);
    return Counts();
}

void CSmsReader::SetCounts(const SmsCounts& known) {
    std::lock_guard guard(countsMutex);
    counts = known;
}

SmsCounts CSmsReader::Counts() const {
    std::lock_guard guard(countsMutex);
    return counts;
}

void CSmsReader::SelectReadMemory(bool phoneMemory) {
    const int answer = session.SendAndWait(
        CountCommand(phoneMemory ? SmsMemory::Phone : SmsMemory::Sim), kSendCommandLine);
    if (PortLost())
        return;
    if (answer == kAnswerError)
        ShowOk(context.messages, "Error", kAppTitle);
    else if (answer == kAnswerTimeout)
        ShowOk(context.messages, "Timeout", kAppTitle);
}

bool CSmsReader::StopAsked() const {
    return (session.stopRequest.load() & kReadWorkerStopBit) != 0 || session.portOpen.load() == 0 ||
           PortLost() || taskStop.stop_requested();
}

void CSmsReader::DeleteIndex(int index) {
    const std::string command = "AT+CMGD=" + std::to_string(index);
    const int answer = session.SendAndWait(command, kSendCommandLine);
    if (PortLost())
        return;
    if (answer == kAnswerError)
        ShowOk(context.messages, "Error deleting sms", command);
    else if (answer == kAnswerTimeout)
        ShowOk(context.messages, "Error deleting sms TIMEOUT", command);
}

bool CSmsReader::ReadIndex(WalkPosition at) {
    const std::string command = "AT+CMGR=" + std::to_string(at.index);
    const int answer = session.SendAndWait(command, kSendCommandLine);
    context.form.SetProgressPos(at.ordinal);
    if (answer == kAnswerTimeout && !PortLost())
        ShowOk(context.messages, "No answer from phone", command);
    if (answer != kAnswerOk)
        return false;
    if (const auto stored = ParseStoredSms(SnapshotAnswerLines(session.Store()), at.index))
        context.form.MessageRead(*stored);
    const SmsRowsResult rows = AddSmsRows(session.Store(), at.ordinal, context);
    // A message is erased only once it shows, decoded, in the list.
    if (rows.rows > 0 && rows.undecoded == 0 && context.form.MoveChecked())
        DeleteIndex(at.index);
    return true;
}

int CSmsReader::ReadSmsWorker() {
    context.form.DeleteAllSmsRows();
    const SmsCounts known = ReadSmsCount();
    const bool phoneMemory = context.form.MeChecked();
    listedMemory = phoneMemory ? SmsMemory::Phone : SmsMemory::Sim;
    const int count = (phoneMemory ? known.phone : known.sim).value_or(0);
    SelectReadMemory(phoneMemory);
    session.ClearLines();
    context.form.EnableReadControls(1);
    context.form.SetProgressPos(0);
    context.form.SetProgressRange(1, count);
    int ordinal = 1;
    for (int index = 1; count >= 1 && index < kSmsIndexLimit && !StopAsked(); ++index) {
        if (ReadIndex({index, ordinal}))
            ++ordinal;
        if (ordinal > count)
            break;
    }
    context.form.EnableReadControls(0);
    return 0;
}

void CSmsReader::EraseAllWorker() {
    const SmsMemory memory = context.form.MeChecked() ? SmsMemory::Phone : SmsMemory::Sim;
    const auto countOf = [this, memory] {
        const SmsCounts known = Counts();
        return memory == SmsMemory::Phone ? known.phone : known.sim;
    };
    context.form.EnableReadControls(1);
    // A stop asked while no task ran is not meant for this one.
    session.stopRequest = 0;
    // The count command also makes the memory the one that "AT+CMGD" erases in.
    if (!ReadOneCount(memory)) {
        context.form.EnableReadControls(0);
        return;
    }
    const auto capacity = MemoryCapacity(FirstAnswerLine(session.Store()));
    const int before = countOf().value_or(0);
    if (before <= 0) {
        context.form.SetStatusText("No SMS stored in " + MemoryName(memory));
        context.form.EnableReadControls(0);
        return;
    }
    const BoxAnswer answer =
        context.messages.ShowMessage({EraseQuestion(memory, before), std::string(kAppTitle),
                                      BoxButtons::YesNo, BoxIcon::Question, true});
    if (answer == BoxAnswer::Yes) {
        const EraseOutcome outcome =
            EraseStoredSms(session, context.form, capacity.value_or(kSmsIndexLimit - 1),
                           [this] { return StopAsked(); });
        session.stopRequest = 0;
        const std::optional<int> left = ReadOneCount(memory) ? countOf() : std::optional<int>();
        if (left == 0 && listedMemory == memory)
            context.form.DeleteAllSmsRows();
        if (!PortLost())
            context.form.SetStatusText(EraseNote(memory, before, left, outcome));
    }
    context.form.EnableReadControls(0);
}
