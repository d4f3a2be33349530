// telvane-cli serve: the gateway. At start, rows left "sending" become "uncertain", and every
// message stored in both memories is archived once and erased; then the phone tells of new
// messages and reports, each notice brings a new sweep of the memories (and a sweep runs every
// minute in any case, every ten seconds while the database refuses rows), the outbox is looked
// at twice a second, and each complete message runs --on-receive. A port that goes away is
// waited for and, once back, both memories are swept again; so is a database server. SIGTERM or
// Ctrl+C: the exchange under way ends, the database is committed, and the service exits 0.

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/ServeHealth.h"
#include "cli/ServeInbox.h"
#include "cli/ServeLog.h"
#include "cli/ServeModem.h"
#include "cli/ServeModemIdentity.h"
#include "cli/ServeOutbox.h"
#include "cli/ServeServerLink.h"
#include "db/BusyWait.h"
#include "db/CDaoDatabase.h"
#include "pdu/StatusReport.h"
#include "sms/DeliveryReports.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kTick{100};
constexpr std::chrono::milliseconds kOutboxEvery{500};
// A long outbox is sent in turns of this long, so that the messages that come meanwhile are
// archived and the reports recorded as they come rather than once the outbox is empty.
constexpr std::chrono::milliseconds kOutboxTurn{1000};
constexpr std::chrono::seconds kSweepEvery{60};
constexpr std::chrono::seconds kSweepWhileRefused{10};
// How long a statement waits for another program's lock on the file before it fails.
constexpr std::chrono::milliseconds kBusyLimit{3000};
constexpr std::chrono::milliseconds kHookGrace{2000};

// What the listener's threads hand to the main thread.
struct Arrivals {
    std::atomic<bool> message{false};
    std::mutex mutex;
    std::vector<std::string> reports; // status report PDUs
    std::vector<std::string> pushed;  // message PDUs the phone pushed without storing them
    std::vector<std::string> notices; // "+CREG:" lines

    std::vector<std::string> TakeNotices() { return Take(notices); }
    std::vector<std::string> Take(std::vector<std::string>& pdus) {
        const std::lock_guard lock(mutex);
        std::vector<std::string> taken;
        taken.swap(pdus);
        return taken;
    }
    void Add(std::vector<std::string>& pdus, const std::string& pdu) {
        const std::lock_guard lock(mutex);
        pdus.push_back(pdu);
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
    // The sweep archives: one way in for every message, whether told of or found. A notice
    // needs no read of its own (nor the database, which may be held by another program).
    hooks.stored = [&arrivals](const StoredNotice& /*notice*/) {
        arrivals.message = true;
        return true;
    };
    hooks.listed = [&arrivals](const SmsRow& /*row*/) { arrivals.message = true; };
    hooks.report = [&arrivals](const std::string& pdu) { arrivals.Add(arrivals.reports, pdu); };
    // On no phone's memory: archived from here, and kept until the database takes it.
    hooks.pushed = [&arrivals](const std::string& pdu) {
        arrivals.Add(arrivals.pushed, pdu);
        return true;
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
    Service(CliRun& cliRun, CDaoDatabase& archive, CDaoDatabase& names)
        : run(cliRun), database(archive),
          outbox(run.session, database, run.settings, Policy(run.options)),
          inbox(InboxSetup(), std::chrono::seconds(run.options.partTimeoutSeconds)),
          busyWait(database, kBusyLimit, Interrupted()),
          modem(run, names, ListenerHooks(arrivals), run.options.resetAfter),
          serverLink({&archive, &names}) {
        if (run.options.onReceive)
            hooks = std::make_unique<HookRunner>(
                *run.options.onReceive, std::chrono::seconds(run.options.hookTimeoutSeconds));
    }

    void Start() {
        outbox.MarkInterrupted();
        Sweep();
        modem.Start();
    }

    // One turn of the loop; true when rows are left to send at once (no pause before the next).
    bool Turn() {
        const ServeModem::State state = modem.Check();
        if (state == ServeModem::State::Reopened)
            health.Reopened();
        const ServeServerLink::State link = serverLink.Check();
        // What came while the server was away is archived now.
        if (link == ServeServerLink::State::Back)
            arrivals.message = true;
        if (state != ServeModem::State::Down)
            TalkToPhone(state == ServeModem::State::Reopened, link != ServeServerLink::State::Down);
        inbox.ExpireParts();
        if (hooks)
            hooks->Poll();
        for (const std::string& line : arrivals.TakeNotices())
            health.Notice(line);
        // While the port is down the watchdog still hears the loop turn.
        if (modem.IsDown())
            health.Alive();
        else
            health.Turn();
        return outboxBacklog;
    }

    void Finish() {
        modem.Stop();
        if (hooks)
            hooks->Finish(kHookGrace);
        health.Finish();
    }

private:
    static OutboxPolicy Policy(const CliOptions& options) {
        OutboxPolicy policy;
        policy.tries = options.sendTries;
        policy.firstDelay = std::chrono::seconds(options.retrySeconds);
        policy.claim = std::chrono::seconds(options.claimSeconds);
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

    void TalkToPhone(bool reopened, bool databaseUp) {
        if (!databaseUp) {
            // Nothing is taken from the phone that the database cannot keep: what comes waits
            // on it (its reports too), and the memories are read once the server is back.
            outboxBacklog = false;
            arrivals.message = arrivals.message || reopened;
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        const auto sweepEvery = inbox.DatabaseRefusing() ? kSweepWhileRefused : kSweepEvery;
        const bool sweep =
            arrivals.message.exchange(false) || reopened || now - lastSweep >= sweepEvery;
        if (sweep)
            Sweep();
        for (const std::string& pdu : arrivals.Take(arrivals.reports))
            Report(pdu);
        std::ranges::move(arrivals.Take(arrivals.pushed), std::back_inserter(pushed));
        // While the file refuses rows, the pushed ones are tried again with the sweeps.
        if (!inbox.DatabaseRefusing() || sweep)
            ArchivePushed();
        if (outboxBacklog || now - lastOutbox >= kOutboxEvery || outbox.NewQueued())
            SendDue(now + kOutboxTurn);
    }

    // Until no row is due, or until `until` (outboxBacklog tells which).
    void SendDue(std::chrono::steady_clock::time_point until) {
        outboxBacklog = false;
        while (!Interrupted().load() && !run.session.PortLost() && outbox.SendNext()) {
            health.Alive();
            if (std::chrono::steady_clock::now() >= until) {
                outboxBacklog = true;
                break;
            }
        }
        lastOutbox = std::chrono::steady_clock::now();
    }

    // In the order they came, up to the first the database refuses.
    void ArchivePushed() {
        std::size_t done = 0;
        while (done < pushed.size() && !Interrupted().load() && inbox.ArchivePushed(pushed[done]))
            ++done;
        pushed.erase(pushed.begin(), pushed.begin() + static_cast<std::ptrdiff_t>(done));
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
    Arrivals arrivals;
    ServeOutbox outbox;
    ServeInbox inbox;
    BusyWait busyWait; // after the outbox, whose table sets a plain time-out
    ServeModem modem;
    ServeServerLink serverLink;
    std::unique_ptr<HookRunner> hooks;
    std::vector<std::string> pushed; // pushed messages the database has not taken yet
    std::chrono::steady_clock::time_point lastSweep{};
    std::chrono::steady_clock::time_point lastOutbox{};
    bool outboxBacklog = false;
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
    Service service(run, database, listenerDatabase);
    service.Start();
    while (!Interrupted().load()) {
        if (!service.Turn())
            std::this_thread::sleep_for(kTick);
    }
    service.Finish();
    ServeLog("stopped");
    return kExitDone;
}
