#include "serial/Reply.h"

#include "serial/AtFields.h"
#include "serial/CModemSession.h"
#include "serial/serialdata.h"

#include <algorithm>

namespace {

constexpr std::string_view kCmsError = "+CMS ERROR:";
constexpr std::string_view kCmeError = "+CME ERROR:";

// The kind and code of the first error line of the answer.
void ReadError(Reply& reply, const std::vector<std::string>& answer) {
    for (const std::string& line : answer) {
        if (line == "ERROR") {
            reply.result = ReplyResult::Error;
            return;
        }
        for (std::string_view prefix : {kCmsError, kCmeError}) {
            AtFields fields(line);
            if (!fields.Begin(prefix))
                continue;
            reply.result = prefix == kCmsError ? ReplyResult::CmsError : ReplyResult::CmeError;
            reply.errorCode = fields.NextNumber().value_or(-1);
            return;
        }
    }
}

} // namespace

int Reply::Answer() const {
    switch (result) {
    case ReplyResult::Ok:
        return kAnswerOk;
    case ReplyResult::Error:
    case ReplyResult::CmsError:
    case ReplyResult::CmeError:
        return kAnswerError;
    case ReplyResult::Timeout:
    case ReplyResult::PortLost:
        return kAnswerTimeout;
    }
    return kAnswerTimeout;
}

const std::string* Reply::Find(std::string_view prefix) const {
    const auto found = std::ranges::find_if(
        lines, [prefix](const std::string& line) { return line.starts_with(prefix); });
    return found == lines.end() ? nullptr : &*found;
}

bool IsFinalResultLine(std::string_view line) {
    return line == "OK" || line == "ERROR" || line.starts_with(kCmsError) ||
           line.starts_with(kCmeError);
}

Reply ReadReply(serialdata& store, int answer, bool portLost) {
    Reply reply;
    std::vector<std::string> answerLines;
    bool ok = false;
    bool error = false;
    {
        std::lock_guard guard(store.lock);
        ok = store.okReceived.load(std::memory_order_acquire) != 0;
        error = store.errorReceived.load(std::memory_order_acquire) != 0;
        for (const LineNode* node = store.head.get(); node != nullptr; node = node->next.get()) {
            std::vector<std::string>& kept = node->unsolicited ? reply.unsolicited : answerLines;
            kept.push_back(node->text);
        }
    }
    if (answer != kFromFlags) {
        ok = answer == kAnswerOk;
        error = answer == kAnswerError;
    }
    if (ok)
        reply.result = ReplyResult::Ok;
    else if (error)
        ReadError(reply, answerLines);
    else
        reply.result = portLost ? ReplyResult::PortLost : ReplyResult::Timeout;
    for (std::string& line : answerLines)
        if (!IsFinalResultLine(line))
            reply.lines.push_back(std::move(line));
    return reply;
}

std::string ReplyFailureText(const Reply& reply) {
    switch (reply.result) {
    case ReplyResult::Ok:
        return "OK";
    case ReplyResult::Error:
        return "ERROR";
    case ReplyResult::CmsError:
        return "+CMS ERROR: " + std::to_string(reply.errorCode);
    case ReplyResult::CmeError:
        return "+CME ERROR: " + std::to_string(reply.errorCode);
    case ReplyResult::Timeout:
        return "no answer";
    case ReplyResult::PortLost:
        return "the port went away";
    }
    return {};
}
