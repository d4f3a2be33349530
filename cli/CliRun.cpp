#include "cli/CliRun.h"

#include "cli/Interrupt.h"
#include "serial/settings/PortSettings.h"

#include <cstdio>

namespace {

// Line settings the window leaves to the settings file; a file that has none yet gets these.
constexpr uint32_t kDefaultBaud = 115200;
constexpr uint8_t kDefaultDataBits = 8;

} // namespace

bool CliDatabaseDialogs::AskYesNo(const std::string& text, const std::string& caption) {
    sink.ShowMessage({text, caption, BoxButtons::YesNo, BoxIcon::Question, true});
    return false;
}

void CliDatabaseDialogs::ShowInformation(const std::string& text, const std::string& caption) {
    sink.ShowMessage({text, caption, BoxButtons::Ok, BoxIcon::Information, true});
}

void CliDatabaseDialogs::ShowStatus(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

CliRun::CliRun(const CliOptions& commandLine)
    : options(commandLine), sink(commandLine.yes, Interrupted()) {
    databaseView.databasePath = options.database;
    waiter.port = &session.Port();
    // A script waits on the phone, not on the window's pace.
    session.SetPace(SessionPace::Line);
    InstallInterruptHandlers(session.stopRequest);
}

CliRun::~CliRun() {
    // A port that went away is told once, as the window tells it.
    // The workers have been joined: the port is free.
    const PortLease closing = session.TakePort();
    if (sessionOpened && !session.EndLostSession())
        session.CloseSession();
    databaseView.CloseDatabase();
    DetachStopRequest();
}

bool CliRun::OpenDatabase() {
    return databaseView.OpenDatabase() == 0;
}

bool CliRun::OpenPort() {
    StoredPortSettings stored = ReadPortSettings(settings);
    if (options.port)
        stored.portName = *options.port;
    LineSettings& line = stored.line;
    if (options.baud)
        line.baudRate = *options.baud;
    if (line.baudRate == 0)
        line.baudRate = kDefaultBaud;
    if (line.byteSize == 0)
        line.byteSize = kDefaultDataBits;
    CComPort& port = session.Port();
    port.SetPortName(stored.portName);
    port.SetLineSettings(line.baudRate, line.parity, line.byteSize, line.stopBits,
                         line.flowControl);
    const PortLease opening = session.TakePort();
    if (!opening)
        return false;
    sessionOpened = true;
    session.OpenSession();
    return port.IsOpen() && !Interrupted().load();
}

int CliRun::Status() const {
    if (Interrupted().load())
        return kExitInterrupted;
    return sink.Failures() > 0 || session.PortLost() ? kExitRefused : kExitDone;
}

int CliRun::RefusedStatus() const {
    const int status = Status();
    return status == kExitDone ? kExitRefused : status;
}
