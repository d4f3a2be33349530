#include "cli/ServeHealth.h"

#include "cli/ServeLog.h"
#include "serial/CModemSession.h"
#include "serial/NetworkStatus.h"

#include <utility>

namespace {

std::string StatText(int stat) {
    const std::string word = RegistrationWord(stat);
    return word.empty() ? "status " + std::to_string(stat) : word;
}

std::string SignalText(const Reply& reply) {
    if (!reply.Ok())
        return "signal not read (" + ReplyFailureText(reply) + ")";
    const std::optional<SignalQuality> quality = ReadSignalQuality(reply.lines);
    if (!quality)
        return "signal not read (no +CSQ in the answer)";
    const std::string raw =
        "(+CSQ: " + std::to_string(quality->rssi) + "," + std::to_string(quality->ber) + ")";
    const std::optional<int> dbm = RssiDbm(quality->rssi);
    return dbm ? "signal " + std::to_string(*dbm) + " dBm " + raw : "signal not known " + raw;
}

// The answer of AT+CREG?: the registration (nothing when not read) and the words for the log.
struct RegistrationAnswer {
    std::optional<Registration> registration;
    std::string text;
};

RegistrationAnswer ReadRegistrationAnswer(const Reply& reply) {
    if (!reply.Ok())
        return {std::nullopt, "registration not read (" + ReplyFailureText(reply) + ")"};
    const std::optional<Registration> registration = ReadRegistration(reply.lines);
    if (!registration)
        return {std::nullopt, "registration not read (no +CREG in the answer)"};
    return {registration, "registration " + StatText(registration->stat)};
}

} // namespace

ServeHealth::ServeHealth(CModemSession& modemSession, std::chrono::seconds healthEvery,
                         std::string servingText)
    : session(modemSession), every(healthEvery), serving(std::move(servingText)) {}

void ServeHealth::Turn() {
    const auto now = std::chrono::steady_clock::now();
    // A phone that let its last exchange time out is asked nothing more here: the modem's own
    // reset sees to it, and a turn does not wait out three more time-outs.
    if (!Silent()) {
        if (!setUp)
            setUp = SetUp();
        else if (every.count() > 0 && now - lastHealth >= every)
            Poll(true);
        else if (!notices && now - lastRegistration >= kRegistrationEvery)
            Poll(false);
    }
    if (setUp && !ready) {
        ready = true;
        notify.Ready(serving);
    }
    notify.Alive();
}

bool ServeHealth::SetUp() {
    {
        const PortLease lease = session.TakePort();
        if (!lease || session.PortLost())
            return false;
        notices = AskForNotices();
    }
    if (Silent())
        return false;
    if (!notices && !session.PortLost())
        ServeLog("the phone does not tell changes of registration (AT+CREG=1); it is asked "
                 "every minute instead");
    return Poll(true);
}

bool ServeHealth::Silent() const {
    return session.SilentExchanges() > 0;
}

bool ServeHealth::AskForNotices() {
    return session.Exchange("AT+CREG=1").Ok();
}

bool ServeHealth::Poll(bool signal) {
    const PortLease lease = session.TakePort();
    if (!lease || session.PortLost())
        return false;
    const auto now = std::chrono::steady_clock::now();
    lastRegistration = now;
    if (signal)
        lastHealth = now;
    const std::string signalText = signal ? SignalText(session.Exchange("AT+CSQ")) : "";
    if (Silent())
        return true;
    const RegistrationAnswer answer = ReadRegistrationAnswer(session.Exchange("AT+CREG?"));
    // A phone reset meanwhile forgot that it was to tell changes.
    if (notices && answer.registration && answer.registration->reports == 0)
        notices = AskForNotices();
    if (session.PortLost())
        return true;
    if (answer.registration)
        Registered(answer.registration->stat);
    if (signal) {
        ServeLog("health: " + signalText + ", " + answer.text);
        notify.Status(serving + "; " + signalText + ", " + answer.text);
    }
    return true;
}

void ServeHealth::Notice(const std::string& line) {
    if (const std::optional<int> stat = ReadRegistrationNotice(line))
        Registered(*stat);
}

void ServeHealth::Registered(int stat) {
    if (known && *known != stat)
        ServeLog("registration changed: " + StatText(*known) + " -> " + StatText(stat));
    known = stat;
}
