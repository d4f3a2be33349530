#include "sms/send/ReadSca.h"

#include "serial/AtFields.h"

#include <memory>
#include <optional>
#include <utility>

namespace {

constexpr std::string_view kCscaPrefix = "+CSCA:";
constexpr int kInternationalType = 145;

} // namespace

std::optional<std::string> ParseCscaAnswer(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        AtFields fields(line);
        if (!fields.Begin(kCscaPrefix))
            continue;
        std::optional<std::string> number = fields.NextString();
        if (!number || number->empty())
            continue;
        if (fields.NextNumber() == kInternationalType && !number->starts_with('+'))
            number->insert(0, "+");
        return number;
    }
    return std::nullopt;
}

ReadScaResult ReadServiceCentre(CModemSession& session) {
    const Reply reply = session.Exchange("AT+CSCA?", kSendCommandLine);
    switch (reply.Answer()) {
    case kAnswerOk:
        break;
    case kAnswerError:
        return {ReadScaStatus::Error, {}};
    default:
        return {ReadScaStatus::Timeout, {}};
    }
    if (auto number = ParseCscaAnswer(reply.lines))
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
    auto result = std::make_shared<ReadScaResult>();
    return runner.Start([this, result](std::stop_token) { *result = ReadServiceCentre(session); },
                        {}, {},
                        [result, callback = std::move(done)] {
                            if (callback)
                                callback(*result);
                        });
}

void CReadScaWorker::Join() {
    runner.Join();
}
