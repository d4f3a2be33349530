// telvane-cli serve: the gateway. At start, rows left "sending" become "uncertain", and every
// message stored in both memories is archived once and erased; then the phone tells of new
// messages and reports, each notice brings a new sweep of the memories (and a sweep runs every
// minute in any case), the outbox is looked at twice a second, and each complete message runs
// --on-receive. SIGTERM or Ctrl+C: the exchange under way ends, the database is committed, and
// the service exits 0.

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/ServeHealth.h"
#include "cli/ServeInbox.h"
#include "cli/ServeLog.h"
#include "cli/ServeModem.h"
#include "cli/ServeOutbox.h"
#include "cli/ServeReadForm.h"
#include "db/CDaoDatabase.h"
#include "pdu/StatusReport.h"
#include "serial/NewMessageIndications.h"
#include "sms/DeliveryReports.h"
#include "sms/NewMessageListener.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kTick{100};
constexpr std::chrono::milliseconds kOutboxEvery{500};
constexpr std::chrono::seconds kSweepEvery{60};
constexpr std::chrono::milliseconds kHookGrace{2000};

// What the listener's threads hand to the main thread.
struct Arrivals {
    std::atomic<bool> message{false};
    std::mutex mutex;
    std::vector<std::string> reports; // status report PDUs
    std::vector<std::string> notices; // "+CREG:" lines

    std::vector<std::string> TakeReports() { return Take(reports); }
    std::vector<std::string> TakeNotices() { return Take(notices); }

private:
    std::vector<std::string> Take(std::vector<std::string>& lines) {
        const std::lock_guard lock(mutex);
        std::vector<std::string> taken;
        taken.swap(lines);
        return taken;
    }
};

bool OpenShared(CDaoDatabase& database, const std::string& file) {
    if (database.Open(file))
        return true;
    ServeLog("the database " + file + " did not open: " + database.OpenErrorText());
    return false;
}

NewMessageHooks ListenerHooks(Arrivals& arrivals) {
    NewMessageHooks hooks;
    // The sweep archives: one way in for every message, whether told of or found.
    hooks.listed = [&arrivals](const SmsRow& /*row*/) { arrivals.message = true; };
    hooks.report = [&arrivals](const std::string& pdu) {
        const std::lock_guard lock(arrivals.mutex);
        arrivals.reports.push_back(pdu);
    };
    hooks.archive = [] { return false; };
    hooks.move = [] { return false; };
    hooks.note = [](const std::string& text) { ServeLog(text); };
    hooks.other = [&arrivals](const std::string& line) {
        if (ServeHealth::IsNotice(line)) {
            const std::lock_guard lock(arrivals.mutex);
            arrivals.notices.push_back(line);
        }
    };
    return hooks;
}

class Service {
public:
    Service(CliRun& cliRun, CDaoDatabase& archive)
        : run(cliRun), database(archive),
          outbox(run.session, database, run.settings, Policy(run.options)),
          inbox(InboxSetup(), std::chrono::seconds(run.options.partTimeoutSeconds)) {
        if (run.options.onReceive)
            hooks = std::make_unique<HookRunner>(
                *run.options.onReceive, std::chrono::seconds(run.options.hookTimeoutSeconds));
    }

    void Start() {
        outbox.MarkInterrupted();
        Sweep();
    }

    // One turn of the loop.
    void Turn() {
        const auto now = std::chrono::steady_clock::now();
        if (arrivals.message.exchange(false) || now - lastSweep >= kSweepEvery)
            Sweep();
        for (const std::string& pdu : arrivals.TakeReports())
            Report(pdu);
        if (now - lastOutbox >= kOutboxEvery || outbox.NewQueued()) {
            while (!Interrupted().load() && outbox.SendNext())
                health.Alive();
            lastOutbox = std::chrono::steady_clock::now();
        }
        inbox.ExpireParts();
        if (hooks)
            hooks->Poll();
        for (const std::string& line : arrivals.TakeNotices())
            health.Notice(line);
        health.Turn();
    }

    void Finish() {
        if (hooks)
            hooks->Finish(kHookGrace);
        health.Finish();
    }

    Arrivals arrivals;

private:
    static OutboxPolicy Policy(const CliOptions& options) {
        OutboxPolicy policy;
        policy.tries = options.sendTries;
        policy.firstDelay = std::chrono::seconds(options.retrySeconds);
        return policy;
    }

    ServeInboxSetup InboxSetup() {
        return {database, sink, run.options.keep,
                [this](const HookMessage& message) {
                    if (hooks)
                        hooks->Start(message);
                },
                ModemIdentity(run.session, run.PortPath())};
    }

    // Matched to the part it reports on, and to its outbox row.
    void Report(const std::string& pdu) {
        std::optional<sms_status_report> report = parse_status_report(pdu);
        if (!report)
            report = parse_status_report("00" + pdu); // a phone that gave no centre field
        if (!report) {
            ServeLog("a status report that did not decode: " + pdu);
            return;
        }
        const StatusReportResult result = RecordStatusReport(database, *report);
        ServeLog(result.note);
        if (result.matched)
            outbox.RecordDelivery(result.record);
    }

    void Sweep() {
        const PortLease lease = run.session.TakePort();
        inbox.Sweep(run.session);
        lastSweep = std::chrono::steady_clock::now();
    }

    CliRun& run;
    CDaoDatabase& database;
    ServeSink sink;
    ServeOutbox outbox;
    ServeInbox inbox;
    std::unique_ptr<HookRunner> hooks;
    std::chrono::steady_clock::time_point lastSweep{};
    std::chrono::steady_clock::time_point lastOutbox{};
    ServeHealth health{run.session, std::chrono::seconds(run.options.healthSeconds),
                       "serving " + run.PortPath()};
};

} // namespace

int RunServe(CliRun& run) {
    CDaoDatabase database;
    CDaoDatabase listenerDatabase; // the listener's threads read names on a connection of theirs
    if (!OpenShared(database, run.options.database) ||
        !OpenShared(listenerDatabase, run.options.database))
        return kExitRefused;
    if (!run.OpenPort()) {
        ServeLog("the port did not open");
        return run.RefusedStatus();
    }
    ServeLog("serving " + run.options.database);
    Service service(run, database);
    service.Start();
    IndicationSetup setup;
    {
        const PortLease lease = run.session.TakePort();
        setup = SetUpIndications(run.session);
    }
    if (!setup.set)
        ServeLog(setup.note + "; the memories are read every minute instead");
    ServeReadForm form;
    const SmsReadContext context{listenerDatabase, run.sink, form};
    CNewMessageListener listener(run.session, context, ListenerHooks(service.arrivals));
    listener.Start();
    while (!Interrupted().load() && !run.session.PortLost()) {
        service.Turn();
        std::this_thread::sleep_for(kTick);
    }
    listener.Stop();
    service.Finish();
    const bool lost = run.session.PortLost();
    ServeLog(lost ? "the port went away; stopping" : "stopped");
    return lost ? kExitRefused : kExitDone;
}
