#include "serial/CModemSession.h"

#include "serial/SerialRead.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <system_error>

namespace {

using std::chrono::milliseconds;

constexpr std::size_t kMaxSentText = 998;
constexpr char kCarriageReturn = '\r';
constexpr char kCtrlZ = '\x1a';
constexpr milliseconds kPollStep{200};
constexpr milliseconds kAnswerLimit{5000};
constexpr milliseconds kReaderStartPause{500};
constexpr milliseconds kBetweenInitCommands{100};
// What a phone still says to an abandoned exchange is over once the line has been quiet this
// long; a phone that never falls quiet is waited for no longer than the bound.
constexpr milliseconds kStaleQuiet{250};
constexpr milliseconds kStaleBound{2000};
constexpr milliseconds kStaleSlice{50};
constexpr std::string_view kPrompt = "> ";
constexpr char kEscape = '\x1b';

// While an exchange runs, lines of its answer's name are its own; once it has ended, they are the
// phone's own notices again (a "+CREG: 5" after AT+CREG? is a change of registration).
class AnswerNameScope {
public:
    explicit AnswerNameScope(serialdata& data) : store(data) {}
    ~AnswerNameScope() {
        std::lock_guard guard(store.lock);
        store.answerPrefix.clear();
    }
    AnswerNameScope(const AnswerNameScope&) = delete;
    AnswerNameScope& operator=(const AnswerNameScope&) = delete;

private:
    serialdata& store;
};

} // namespace

CModemSession::CModemSession(IMessageSink& sink, IWaiter& pauses, ISessionForm& sessionForm)
    : messages(sink), waiter(pauses), form(sessionForm), port(sink) {}

CModemSession::~CModemSession() {
    EndReader();
}

int CModemSession::SendCommand(std::string_view text) {
    SendTerminated(text, kCarriageReturn);
    return 0;
}

void CModemSession::SendData(std::string_view text) {
    SendTerminated(text, kCtrlZ);
}

void CModemSession::SendTerminated(std::string_view text, char terminator) {
    {
        // The answer this command waits for is not taken for an unsolicited code of that name.
        std::lock_guard guard(store.lock);
        store.answerPrefix = terminator == kCarriageReturn ? AnswerPrefixOf(text) : std::string();
    }
    std::string line(text.substr(0, kMaxSentText));
    line += terminator;
    port.Write(line);
}

int CModemSession::SendAndWait(std::string_view text, int mode) {
    return Exchange(text, mode).Answer();
}

Reply CModemSession::Exchange(std::string_view text, int mode) {
    const AnswerNameScope answerName(store);
    ::ClearLines(store);
    if (mode == kSendCommandLine)
        SendCommand(text);
    else if (mode == kSendPduData)
        SendData(text);
    // A final result stored after the last poll does not count: the poll's word is the answer.
    const int answer = Counted(PollFor(store.okReceived));
    return ReadReply(store, answer, PortLost());
}

int CModemSession::WaitForPrompt() {
    return Counted(PollFor(store.promptReceived));
}

int CModemSession::Counted(int answer) {
    if (answer == kAnswerTimeout && !PortLost())
        ++silentExchanges;
    else
        silentExchanges = 0;
    return answer;
}

void CModemSession::SetPace(SessionPace sessionPace) {
    pace = sessionPace;
    store.linePace = sessionPace == SessionPace::Line ? 1 : 0;
}

void CModemSession::Pause(milliseconds duration) {
    if (pace == SessionPace::Window)
        waiter.Sleep(duration);
}

int CModemSession::WaitFor(const std::atomic<int>& done) {
    // A port that is not open answers nothing: the exchange ends at once.
    if (!port.IsOpen())
        return kAnswerTimeout;
    auto deadline = std::chrono::steady_clock::now() + kAnswerLimit + kPollStep;
    // A signal cannot wake the condition: the wait looks at the interrupt flag this often.
    constexpr auto kInterruptSlice = std::chrono::milliseconds(50);
    const auto interrupted = [this] {
        const std::atomic<bool>* flag = interruptFlag.load();
        return flag != nullptr && flag->load();
    };
    std::unique_lock guard(store.lock);
    // A port closed meanwhile (CloseSession wakes this wait) brings no answer either.
    bool ended = false;
    // A long answer (a list of hundreds of messages) takes longer than the limit to cross the
    // line: the limit counts from the last line stored (the tail is read under the lock).
    const LineNode* lastLine = store.tail;
    while (!ended && !interrupted() && std::chrono::steady_clock::now() < deadline) {
        if (store.tail != lastLine) {
            lastLine = store.tail;
            deadline = std::chrono::steady_clock::now() + kAnswerLimit + kPollStep;
        }
        ended = store.flagRaised.wait_until(
            guard, std::min(deadline, std::chrono::steady_clock::now() + kInterruptSlice), [&] {
                return done.load(std::memory_order_acquire) != 0 ||
                       store.errorReceived.load(std::memory_order_acquire) != 0 || PortLost() ||
                       !port.IsOpen();
            });
    }
    if (done.load(std::memory_order_acquire) != 0)
        return kAnswerOk;
    const bool error = store.errorReceived.load(std::memory_order_acquire) != 0;
    return ended && error && !PortLost() ? kAnswerError : kAnswerTimeout;
}

int CModemSession::PollFor(const std::atomic<int>& done) {
    if (pace == SessionPace::Line)
        return WaitFor(done);
    for (milliseconds waited{0};;) {
        if (done.load(std::memory_order_acquire) != 0)
            return kAnswerOk;
        if (store.errorReceived.load(std::memory_order_acquire) != 0)
            return kAnswerError;
        if (PortLost())
            return kAnswerTimeout;
        waiter.Sleep(kPollStep);
        waited += kPollStep;
        if (waited > kAnswerLimit)
            return kAnswerTimeout;
    }
}

bool CModemSession::OpenSession() {
    EndReader(); // the store goes to a new reader only once the old one has returned
    // A port that did not open is no session: nothing is sent, and its box is the only one.
    if (!port.Switch(1))
        return false;
    portOpen = 1;
    form.EnablePortControls(1);

    store.pending.clear();
    store.nextLineUnsolicited = false;
    ::ClearLines(store);
    store.port = &port;
    store.stopReader = 0;
    store.portGone = 0;
    silentExchanges = 0;
    if (pace == SessionPace::Line)
        DrainStaleAnswer();
    StartReader();

    // A port that goes away meanwhile is reported once, by whoever ends the lost session.
    Pause(kReaderStartPause);
    const int echoAnswer = SendAndWait("ATE0", kSendCommandLine);
    // At the line's pace a phone silent to its first command is told once and asked no more.
    if (echoAnswer == kAnswerTimeout && pace == SessionPace::Line && !PortLost()) {
        ShowOk(messages, "No answer from the phone on " + port.PortName() + " (ATE0)", kAppTitle);
        return false;
    }
    if (echoAnswer != kAnswerOk && !PortLost())
        ShowOk(messages, "Error sending ATE0", kAppTitle);
    Pause(kBetweenInitCommands);
    if (SendAndWait("AT+CMGF=0", kSendCommandLine) != kAnswerOk && !PortLost())
        ShowOk(messages, "Error setting SMS Type to PDU (+CMGF=0)", kAppTitle);
    if (PortLost())
        return false;
    form.SetMenuCheck(kOpenComCommand, 1);
    return true;
}

std::string CModemSession::ReadUntilQuiet() {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto lastByte = start;
    std::string said;
    std::string portion;
    const std::atomic<bool>* flag = interruptFlag.load();
    while (!port.Gone() && (flag == nullptr || !flag->load())) {
        const auto now = Clock::now();
        if (now - lastByte >= kStaleQuiet || now - start >= kStaleBound)
            break;
        port.ReadAvailable(portion, kStaleSlice);
        if (!portion.empty()) {
            said += portion;
            lastByte = Clock::now();
        }
    }
    return said;
}

void CModemSession::DrainStaleAnswer() {
    std::string said = ReadUntilQuiet();
    // An abandoned AT+CMGS left the phone waiting for its PDU: Escape ends that wait unsent.
    if (said.ends_with(kPrompt)) {
        port.Write(std::string(1, kEscape));
        said += ReadUntilQuiet();
    }
    // The unsolicited codes among it are news all the same; the answers are nobody's.
    store.pending = std::move(said);
    SplitLines(store);
    store.pending.clear();
    store.nextLineUnsolicited = false;
    ::ClearLines(store);
}

bool CModemSession::EndLostSession() {
    if (!PortLost() || portOpen == 0)
        return false;
    const std::string device = port.PortName();
    CloseSession();
    ShowOk(messages, "The phone's port " + device + " is gone: the session has been closed",
           kAppTitle);
    return true;
}

void CModemSession::CloseSession() {
    store.stopReader = 1;
    form.EnablePortControls(0);
    form.SetMenuCheck(kOpenComCommand, 0);
    if (portOpen != 0)
        port.Switch(0);
    portOpen = 0;
    {
        std::lock_guard guard(store.lock); // a line-pace wait sees the closed port at once
    }
    store.flagRaised.notify_all();
    EndReader();
}

void CModemSession::OnStopTask() {
    stopRequest = 3;
}

void CModemSession::ClearLines() {
    ::ClearLines(store);
}

void CModemSession::StartReader() {
    std::lock_guard guard(readerMutex);
    readerRunning = true;
    try {
        reader = std::thread([this] {
            SerialRead(&store);
            if (PortLost())
                form.PortGone();
            readerRunning = false;
        });
    } catch (const std::system_error&) {
        // No thread to be had: nothing is read, and every exchange ends in its time-out.
        readerRunning = false;
    }
}

void CModemSession::EndReader() {
    store.stopReader = 1;
    std::lock_guard guard(readerMutex);
    if (reader.joinable())
        reader.join();
}
