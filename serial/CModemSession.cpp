#include "serial/CModemSession.h"

#include "serial/SerialRead.h"

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
    std::string line(text.substr(0, kMaxSentText));
    line += terminator;
    port.Write(line);
}

int CModemSession::SendAndWait(std::string_view text, int mode) {
    ::ClearLines(store);
    if (mode == kSendCommandLine)
        SendCommand(text);
    else if (mode == kSendPduData)
        SendData(text);
    return PollFor(store.okReceived);
}

int CModemSession::WaitForPrompt() {
    return PollFor(store.promptReceived);
}

int CModemSession::PollFor(const std::atomic<int>& done) {
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
    ::ClearLines(store);
    store.port = &port;
    store.stopReader = 0;
    store.portGone = 0;
    StartReader();

    // A port that goes away meanwhile is reported once, by whoever ends the lost session.
    waiter.Sleep(kReaderStartPause);
    if (SendAndWait("ATE0", kSendCommandLine) != kAnswerOk && !PortLost())
        ShowOk(messages, "Error sending ATE0", kAppTitle);
    waiter.Sleep(kBetweenInitCommands);
    if (SendAndWait("AT+CMGF=0", kSendCommandLine) != kAnswerOk && !PortLost())
        ShowOk(messages, "Error setting SMS Type to PDU (+CMGF=0)", kAppTitle);
    if (PortLost())
        return false;
    form.SetMenuCheck(kOpenComCommand, 1);
    return true;
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
