#include "cli/CliRun.h"

#include "cli/Interrupt.h"
#include "serial/PortDiagnosis.h"
#include "serial/PortName.h"
#include "serial/SerialPorts.h"
#include "serial/settings/PortSettings.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    session.SetInterruptFlag(&Interrupted());
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

bool CliRun::OpenDatabaseToRead() {
    if (Database().Open(options.database, false, true))
        return true;
    return OpenDatabase();
}

std::string PortPathProblem(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        const int error = errno;
        return "cannot create com device: " + DescribeOpenFailure(path, error, SystemRoot());
    }
    const std::string notTerminal =
        "cannot create com device / 2: " + path + " is not a terminal device; nothing was sent";
    if (!S_ISCHR(status.st_mode))
        return notTerminal;
    // A character device that is no terminal (/dev/null, a sound card): opened without
    // becoming our terminal and without waiting for a carrier, asked, closed.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {}; // the real open tells why
    const bool terminal = ::isatty(fd) != 0;
    ::close(fd);
    return terminal ? std::string() : notTerminal;
}

int CliRun::Refuse(const std::string& command, const std::string& cause) const {
    if (Interrupted().load())
        return kExitInterrupted;
    std::fprintf(stderr, "telvane-cli: %s: %s: %s\n", portPath.c_str(), command.c_str(),
                 cause.c_str());
    return kExitRefused;
}

bool CliRun::OpenPort() {
    StoredPortSettings stored = ReadPortSettings(settings);
    if (options.port) {
        stored.portName = *options.port;
    } else if (settings.ReadSetting("COM").empty()) {
        std::fprintf(stderr, "telvane-cli: no port given (--port PATH) and none stored in the "
                             "settings (File, \"IO Settings\" in the window)\n");
        return false;
    }
    portPath = stored.portName;
    if (const std::string problem = PortPathProblem(DevicePath(stored.portName));
        !problem.empty()) {
        std::fprintf(stderr, "telvane-cli: %s\n", problem.c_str());
        return false;
    }
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
    const bool opened = session.OpenSession();
    return opened && port.IsOpen() && !Interrupted().load();
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
