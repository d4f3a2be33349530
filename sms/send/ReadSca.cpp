#include "sms/send/ReadSca.h"

#include "serial/serialdata.h"

#include <charconv>
#include <optional>
#include <system_error>
#include <utility>

namespace {

constexpr std::string_view kCscaPrefix = "+CSCA:";
constexpr int kInternationalType = 145;

// The type after the closing quote (", 145"); -1 when there is none.
int TypeAfter(std::string_view rest) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos)
        return -1;
    std::string_view digits = rest.substr(comma + 1);
    while (!digits.empty() && digits.front() == ' ')
        digits.remove_prefix(1);
    int type = -1;
    std::from_chars(digits.data(), digits.data() + digits.size(), type);
    return type;
}

} // namespace

std::optional<std::string> ParseCscaAnswer(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (!line.starts_with(kCscaPrefix))
            continue;
        const std::size_t open = line.find('"');
        const std::size_t close =
            open == std::string::npos ? std::string::npos : line.find('"', open + 1);
        if (close == std::string::npos || close == open + 1)
            continue;
        std::string number = line.substr(open + 1, close - open - 1);
        if (TypeAfter(std::string_view(line).substr(close + 1)) == kInternationalType &&
            !number.starts_with('+'))
            number.insert(0, "+");
        return number;
    }
    return std::nullopt;
}

ReadScaResult ReadServiceCentre(CModemSession& session) {
    switch (session.SendAndWait("AT+CSCA?", kSendCommandLine)) {
    case kAnswerOk:
        break;
    case kAnswerError:
        return {ReadScaStatus::Error, {}};
    default:
        return {ReadScaStatus::Timeout, {}};
    }
    if (auto number = ParseCscaAnswer(SnapshotLines(session.Store())))
        return {ReadScaStatus::Read, std::move(*number)};
    return {ReadScaStatus::NoNumber, {}};
}

std::string ReadScaNote(const ReadScaResult& result) {
    switch (result.status) {
    case ReadScaStatus::Read:
        return {};
    case ReadScaStatus::Error:
        return "Read SCA: the phone answered with an error";
    case ReadScaStatus::Timeout:
        return "Read SCA: no answer from the phone";
    case ReadScaStatus::NoNumber:
        return "Read SCA: the phone has no service centre address";
    }
    return {};
}

bool CReadScaWorker::Start(DoneCallback done) {
    PortLease lease = session.TakePort();
    if (!lease)
        return false;
    Join();
    running.store(true, std::memory_order_release);
    try {
        thread = std::thread([this, held = std::move(lease), callback = std::move(done)]() mutable {
            const ReadScaResult result = ReadServiceCentre(session);
            held.Release();
            running.store(false, std::memory_order_release);
            if (callback)
                callback(result);
        });
    } catch (const std::system_error&) {
        running.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void CReadScaWorker::Join() {
    if (thread.joinable())
        thread.join();
}
