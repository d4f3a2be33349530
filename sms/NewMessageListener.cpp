#include "sms/NewMessageListener.h"

#include "serial/AtFields.h"
#include "sms/CopySmsToDatabase.h"

#include <optional>

namespace {

constexpr std::chrono::milliseconds kTakeWait{100};

std::string MemoryCommand(const std::string& memory) {
    return "AT+CPMS=\"" + memory + "\"";
}

// <mem1> of "+CPMS: "SM",3,30,...", the memory reads and erases go to now.
std::optional<std::string> ReadMemory(const Reply& reply) {
    const std::string* line = reply.Ok() ? reply.Find("+CPMS:") : nullptr;
    if (line == nullptr)
        return std::nullopt;
    AtFields fields(*line);
    if (!fields.Begin("+CPMS:"))
        return std::nullopt;
    return fields.NextString();
}

// The PDU line of a +CMGR answer: the line after its header.
std::optional<std::string> PduOf(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].starts_with("+CMGR:"))
            return lines[i + 1];
    return std::nullopt;
}

} // namespace

std::optional<StoredNotice> ReadStoredNotice(std::string_view line, std::string_view prefix) {
    AtFields fields(line);
    if (!fields.Begin(prefix))
        return std::nullopt;
    StoredNotice notice;
    const std::optional<std::string> memory = fields.NextString();
    const std::optional<int> index = fields.NextNumber();
    if (!memory || memory->empty() || !index || *index < 0)
        return std::nullopt;
    notice.memory = *memory;
    notice.index = *index;
    return notice;
}

CNewMessageListener::CNewMessageListener(CModemSession& modemSession,
                                         const SmsReadContext& readContext,
                                         NewMessageHooks newHooks)
    : session(modemSession), context(readContext), hooks(std::move(newHooks)) {}

CNewMessageListener::~CNewMessageListener() {
    Stop();
}

void CNewMessageListener::Start() {
    if (thread.joinable() && !thread.get_stop_token().stop_requested())
        return;
    Stop(); // one asked to end (a session lost meanwhile) is waited for and started afresh
    ended = false;
    try {
        thread = std::jthread([this](const std::stop_token& stop) { Run(stop); });
    } catch (const std::system_error&) {
        if (hooks.note)
            hooks.note("New messages are not listened for: no thread to be had");
    }
}

void CNewMessageListener::Stop() {
    if (!thread.joinable())
        return;
    thread.request_stop();
    thread.join();
    thread = std::jthread();
}

void CNewMessageListener::Run(const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        if (std::optional<UnsolicitedLine> line = session.Unsolicited().Take(kTakeWait))
            Serve(*line, stop);
    }
    runner.Join();
    ended = true;
}

bool CNewMessageListener::RunTask(const std::function<void()>& work, const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        if (runner.Start([&work](const std::stop_token&) { work(); })) {
            runner.Join();
            return true;
        }
        std::this_thread::sleep_for(kRetryMs);
    }
    return false;
}

void CNewMessageListener::Serve(const UnsolicitedLine& line, const std::stop_token& stop) {
    if (const std::optional<StoredNotice> message = ReadStoredNotice(line.text, "+CMTI:")) {
        if (!hooks.stored || !hooks.stored(*message))
            RunTask([this, &message] { ReadStored(*message, false); }, stop);
    } else if (const std::optional<StoredNotice> report = ReadStoredNotice(line.text, "+CDSI:")) {
        RunTask([this, &report] { ReadStored(*report, true); }, stop);
    } else if (line.text.starts_with("+CMT:") && !line.data.empty() && hooks.pushed &&
               hooks.pushed(line.data)) {
        if (acknowledgeDirect)
            RunTask([this] { session.Exchange("AT+CNMA"); }, stop);
    } else if (line.text.starts_with("+CMT:") && !line.data.empty()) {
        // The pushed message as a +CMGR answer of a received unread one: the same row.
        ListMessage({"+CMGR: 0,,0", line.data}, context.form.SmsRowCount() + 1);
        if (acknowledgeDirect)
            RunTask([this] { session.Exchange("AT+CNMA"); }, stop);
    } else if (line.text.starts_with("+CDS:") && !line.data.empty() && hooks.report) {
        hooks.report(line.data);
    } else if (hooks.other) {
        hooks.other(line.text);
    }
}

void CNewMessageListener::ReadStored(const StoredNotice& notice, bool report) {
    const std::optional<std::string> before = ReadMemory(session.Exchange("AT+CPMS?"));
    const bool switched = before != notice.memory;
    if (switched && !session.Exchange(MemoryCommand(notice.memory)).Ok())
        return;
    const std::string index = std::to_string(notice.index);
    const Reply read = session.Exchange("AT+CMGR=" + index);
    if (read.Ok() && report) {
        if (const std::optional<std::string> pdu = PduOf(read.lines); pdu && hooks.report)
            hooks.report(*pdu);
    } else if (read.Ok() && ListMessage(read.lines, notice.index)) {
        session.Exchange("AT+CMGD=" + index);
    }
    if (switched && before)
        session.Exchange(MemoryCommand(*before));
}

bool CNewMessageListener::ListMessage(const std::vector<std::string>& lines, int ordinal) {
    const SmsRowsResult rows = AddSmsRowsFromLines(lines, ordinal, context);
    if (rows.listed.empty())
        return false;
    ++listed;
    bool erase = false;
    std::string failure;
    if (hooks.archive && hooks.archive()) {
        failure = AppendReceivedRows(rows.listed, context);
        erase = failure.empty() && rows.undecoded == 0 && hooks.move && hooks.move();
    }
    if (hooks.listed)
        hooks.listed(rows.listed.front());
    // After the news of the message, so that the status bar ends on why it stayed.
    if (!failure.empty() && hooks.note)
        hooks.note("New message not archived, left on the phone: " + failure);
    return erase;
}
