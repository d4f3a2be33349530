#include "cli/ServeModem.h"

#include "cli/CliRun.h"
#include "cli/Interrupt.h"
#include "cli/ServeLog.h"
#include "serial/NewMessageIndications.h"
#include "serial/PortName.h"

namespace {

// A port that is down is looked for this often: a link that came back is opened within it.
constexpr std::chrono::milliseconds kRetryEvery{500};

} // namespace

ServeModem::ServeModem(CliRun& cliRun, CDaoDatabase& names, NewMessageHooks hooks, int reset)
    : run(cliRun), context{names, cliRun.sink, form},
      listener(cliRun.session, context, std::move(hooks)), resetAfter(reset) {}

ServeModem::~ServeModem() {
    Stop();
}

void ServeModem::Start() {
    path = run.PortPath();
    SetUp();
}

void ServeModem::SetUp() {
    IndicationSetup setup;
    {
        const PortLease lease = run.session.TakePort();
        setup = SetUpIndications(run.session);
    }
    if (!setup.set)
        ServeLog(setup.note + "; the memories are read every minute instead");
    listener.SetAcknowledge(setup.acknowledge);
    listener.Start();
}

void ServeModem::Stop() {
    listener.Stop();
}

ServeModem::State ServeModem::Check() {
    CModemSession& session = run.session;
    if (!down && session.PortLost()) {
        TakeDown("", true);
    } else if (!down && session.SilentExchanges() >= resetAfter) {
        TakeDown("the phone did not answer " + std::to_string(session.SilentExchanges()) +
                     " exchanges in a row: resetting the port " + path,
                 false);
    }
    if (!down)
        return State::Up;
    if (Clock::now() < nextTry || Interrupted().load())
        return State::Down;
    nextTry = Clock::now() + kRetryEvery;
    return TryReopen() ? State::Reopened : State::Down;
}

void ServeModem::TakeDown(const std::string& why, bool lost) {
    listener.Stop();
    run.sink.Hold(true);
    {
        const PortLease lease = run.session.TakePort();
        if (!lost || !run.session.EndLostSession())
            run.session.CloseSession();
    }
    run.sink.Hold(false);
    const std::string told = run.sink.TakeHeld();
    ServeLog((lost ? (told.empty() ? "the port " + path + " went away" : told) : why) +
             "; waiting for " + path + " to answer again");
    down = true;
    toldTry = false;
    nextTry = Clock::now();
}

bool ServeModem::TryReopen() {
    // Not a terminal (yet): the link is not back, and nothing is opened.
    if (!PortPathProblem(DevicePath(path)).empty())
        return false;
    run.sink.Hold(true);
    bool opened = false;
    {
        const PortLease lease = run.session.TakePort();
        opened = run.session.OpenSession() && run.session.Port().IsOpen();
        if (!opened)
            run.session.CloseSession();
    }
    run.sink.Hold(false);
    const std::string told = run.sink.TakeHeld();
    if (!opened) {
        if (!toldTry)
            ServeLog("the port " + path + " did not open yet" +
                     (told.empty() ? std::string() : ": " + told) + "; trying again");
        toldTry = true;
        return false;
    }
    down = false;
    ServeLog("the port " + path + " is open again" + (told.empty() ? "" : " (" + told + ")"));
    SetUp();
    return true;
}
