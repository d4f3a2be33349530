#include "serial/Unsolicited.h"

#include <algorithm>
#include <array>

namespace {

// Codes that end with their prefix or go on with ": ..."; compared case-sensitively.
constexpr std::array<std::string_view, 18> kUnsolicitedPrefixes = {
    "+CMTI:",  "+CMT:",   "+CDSI:", "+CDS:",  "+CBMI:", "+CBM:",  "RING",   "+CRING:", "+CREG:",
    "+CGREG:", "+CEREG:", "+CUSD:", "+CLIP:", "+CCWA:", "+CSSI:", "+CSSU:", "+CIEV:",  "+CGEV:",
};

constexpr std::array<std::string_view, 3> kWithNextLine = {"+CMT:", "+CDS:", "+CBM:"};

bool Matches(std::string_view line, std::string_view prefix) {
    if (prefix == "RING")
        return line == prefix;
    return line.starts_with(prefix);
}

} // namespace

bool IsUnsolicitedLine(std::string_view line, std::string_view answerPrefix) {
    if (!answerPrefix.empty() && line.starts_with(answerPrefix))
        return false;
    return std::ranges::any_of(kUnsolicitedPrefixes,
                               [line](std::string_view prefix) { return Matches(line, prefix); });
}

bool TakesNextLine(std::string_view line) {
    return std::ranges::any_of(
        kWithNextLine, [line](std::string_view prefix) { return line.starts_with(prefix); });
}

std::string AnswerPrefixOf(std::string_view command) {
    if (!command.starts_with("AT+") && !command.starts_with("at+"))
        return {};
    std::string_view name = command.substr(2);
    const std::size_t end = name.find_first_of("=?");
    name = name.substr(0, end);
    if (name.size() < 2)
        return {};
    return std::string(name) + ":";
}

void UnsolicitedQueue::Push(UnsolicitedLine line) {
    {
        std::lock_guard guard(mutex);
        if (lines.size() >= kMaxQueued) {
            lines.pop_front();
            ++dropped;
        }
        lines.push_back(std::move(line));
    }
    arrived.notify_all();
}

std::optional<UnsolicitedLine> UnsolicitedQueue::Take(std::chrono::milliseconds wait) {
    std::unique_lock guard(mutex);
    if (!arrived.wait_for(guard, wait, [this] { return !lines.empty(); }))
        return std::nullopt;
    UnsolicitedLine line = std::move(lines.front());
    lines.pop_front();
    return line;
}

std::size_t UnsolicitedQueue::Size() const {
    std::lock_guard guard(mutex);
    return lines.size();
}

std::size_t UnsolicitedQueue::Dropped() const {
    std::lock_guard guard(mutex);
    return dropped;
}
