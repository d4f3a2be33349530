#pragma once
// What every command of telvane-cli works with: the boxes (standard error), the settings file
// the window uses, the modem session and the database. The port is opened for the commands
// that talk to the phone and closed - like the database - when the run ends, Ctrl+C or not.
// Each exchange with the phone happens under the session's lease, as in the window: the
// opening and closing here, the workers' own, and the send's.

#include "cli/CliMessageSink.h"
#include "cli/CliOptions.h"
#include "db/CViewDatabase.h"
#include "serial/CModemSession.h"
#include "serial/settings/CSettingsStore.h"

#include <string>

// The exit statuses of telvane-cli.
inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1; // the phone or the database refused or timed out
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130; // Ctrl+C, as shells report SIGINT

// The command line has no controls to enable and no menu to check.
class NoSessionForm final : public ISessionForm {
public:
    void EnablePortControls(int /*enable*/) override {}
    void SetMenuCheck(int /*commandId*/, int /*checked*/) override {}
    // The run holds the port to its end: the session ends there (CliRun's destructor), and the
    // exchanges under way end at once meanwhile.
    void PortGone() override {}
};

// The database boxes as lines: no other file can be chosen here (--db names it), so the
// question whether to choose one is told and answered No.
class CliDatabaseDialogs final : public IDatabaseDialogs {
public:
    explicit CliDatabaseDialogs(IMessageSink& messageSink) : sink(messageSink) {}
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& /*request*/) override {
        return std::nullopt;
    }
    void ShowInformation(const std::string& text, const std::string& caption) override;
    // The window's status-bar notes ("Database is read-only: ...") go to standard error.
    void ShowStatus(const std::string& text) override;

private:
    IMessageSink& sink;
};

// Real pauses while the port is open. A port that did not open can bring no answer: its
// exchanges end at once instead of keeping a script waiting through every time-out.
class OpenPortWaiter final : public IWaiter {
public:
    void Sleep(std::chrono::milliseconds duration) override {
        if (port != nullptr && port->IsOpen())
            real.Sleep(duration);
    }
    const CComPort* port = nullptr;

private:
    RealWaiter real;
};

class CliRun {
public:
    explicit CliRun(const CliOptions& commandLine);
    ~CliRun();
    CliRun(const CliRun&) = delete;
    CliRun& operator=(const CliRun&) = delete;

    // Opens --db (default telvane.mdb in the working directory) as the window does: exclusive,
    // read-write, never created. False when it did not open.
    bool OpenDatabase();
    // For the commands that only read it: read-only, shared, so that a read-only file or a
    // database another Telvane holds still serves; else as OpenDatabase.
    bool OpenDatabaseToRead();
    // Takes the port, applies the stored settings and the options, and opens the session (echo
    // off, PDU mode). False when the port did not open or Ctrl+C came meanwhile.
    bool OpenPort();
    // The path of the port this run uses (after OpenPort).
    std::string PortPath() const { return portPath; }
    // One line "telvane-cli: PORT: COMMAND: CAUSE" on standard error; the status for it
    // (kExitInterrupted after Ctrl+C, else kExitRefused).
    int Refuse(const std::string& command, const std::string& cause) const;

    // The status the run ends with: Ctrl+C, then any failure box shown, decide it.
    int Status() const;
    // The status of a run that could not do its work: as Status, but never kExitDone.
    int RefusedStatus() const;

    CDaoDatabase& Database() { return databaseView.database; }

    const CliOptions& options;
    CliMessageSink sink;
    CSettingsStore settings{sink};
    OpenPortWaiter waiter;
    NoSessionForm sessionForm;
    CModemSession session{sink, waiter, sessionForm};

private:
    CliDatabaseDialogs databaseDialogs{sink};
    CViewDatabase databaseView{databaseDialogs};
    bool sessionOpened = false;
    std::string portPath;
};

// Why the port cannot be a phone's before anything is opened: a path that does not exist or is
// not a terminal device. Empty when it may be one.
std::string PortPathProblem(const std::string& path);
