#include "serial/serialdata.h"

#include "core/TextHelpers.h"

#include <algorithm>
#include <array>

namespace {

enum class FinalResult { None, Ok, Error };

struct FinalResultText {
    std::string_view text;
    bool wholeLine; // false: the line only has to begin with the text
    FinalResult result;
};

// The modem's final result codes; comparisons are case-sensitive. "+CME ERROR:" ends a failed
// command as "+CMS ERROR:" ends a failed SMS command (3GPP TS 27.007 9.2).
constexpr std::array<FinalResultText, 4> kFinalResults = {{
    {"OK", true, FinalResult::Ok},
    {"ERROR", true, FinalResult::Error},
    {"+CMS ERROR:", false, FinalResult::Error},
    {"+CME ERROR:", false, FinalResult::Error},
}};

FinalResult ClassifyLine(std::string_view line) {
    for (const auto& entry : kFinalResults) {
        const bool match = entry.wholeLine ? line == entry.text : line.starts_with(entry.text);
        if (match)
            return entry.result;
    }
    return FinalResult::None;
}

// Called with the store's lock held.
bool RaiseResultFlag(serialdata& data, FinalResult result) {
    switch (result) {
    case FinalResult::None:
        return false;
    case FinalResult::Ok:
        data.okReceived.store(1, std::memory_order_release);
        return true;
    case FinalResult::Error:
        data.errorReceived.store(1, std::memory_order_release);
        return true;
    }
    return false;
}

// The phone's "> " prompt for a PDU: what follows the last line end, line feeds aside.
bool IsPrompt(std::string_view rest) {
    const std::size_t start = rest.find_first_not_of('\n');
    if (start == std::string_view::npos)
        return false;
    const std::string_view text = rest.substr(start);
    return text == ">" || text == "> ";
}

// Frees a list node by node: letting the unique_ptr chain unwind would recurse once per line.
void FreeLines(std::unique_ptr<LineNode> lines) {
    while (lines)
        lines = std::move(lines->next);
}

} // namespace

serialdata::~serialdata() {
    FreeLines(std::move(head));
}

namespace {

// Answer prefixes of the commands the program sends; none of them ever comes unsolicited.
constexpr std::array<std::string_view, 16> kCommandAnswers = {
    "+CMGR:", "+CMGL:", "+CPMS:", "+CPBR:", "+CPBS:", "+CPBF:", "+CSCA:", "+CMGS:",
    "+CMGW:", "+CMGD:", "+CSQ:",  "+COPS:", "+CSCS:", "+CMGF:", "+CNMI:", "+CPBW:",
};

// Under the store's lock. True when a stored answer line is the answer of another command
// than the one in flight: then the final result that ends it was meant for that command too
// (a slow phone's late answer to an exchange that gave up waiting).
bool HoldsAnotherCommandsAnswer(const serialdata& data) {
    if (data.answerPrefix.empty())
        return false;
    for (const LineNode* node = data.head.get(); node != nullptr; node = node->next.get()) {
        if (node->unsolicited || node->text.starts_with(data.answerPrefix))
            continue;
        const std::string_view text = node->text;
        if (std::ranges::any_of(kCommandAnswers, [text](std::string_view prefix) {
                return text.starts_with(prefix);
            }))
            return true;
    }
    return false;
}

// Stores a non-empty line; an unsolicited one raises no flag (a "+CMT:" PDU is no result). At
// line pace a final result that ends another command's answer drops that answer instead.
void StoreLine(std::string_view line, serialdata& data, bool unsolicited) {
    if (line.empty())
        return;
    auto node = std::make_unique<LineNode>(LineNode{std::string(line), nullptr, unsolicited});
    LineNode* added = node.get();
    bool raised = false;
    std::unique_ptr<LineNode> stale;
    {
        std::lock_guard guard(data.lock);
        const FinalResult result = unsolicited ? FinalResult::None : ClassifyLine(line);
        if (result != FinalResult::None && data.linePace.load(std::memory_order_acquire) != 0 &&
            HoldsAnotherCommandsAnswer(data)) {
            stale = std::move(data.head);
            data.tail = nullptr;
        } else {
            if (data.tail != nullptr)
                data.tail->next = std::move(node);
            else
                data.head = std::move(node);
            data.tail = added;
            raised = RaiseResultFlag(data, result);
        }
    }
    FreeLines(std::move(stale));
    if (raised)
        data.flagRaised.notify_all();
}

bool TakenForUnsolicited(std::string_view line, serialdata& data) {
    std::lock_guard guard(data.lock);
    return IsUnsolicitedLine(line, data.answerPrefix);
}

// A line from the phone: an unsolicited code goes to the queue as well as to the store.
void StoreReceivedLine(std::string_view line, serialdata& data) {
    if (line.empty())
        return;
    if (data.nextLineUnsolicited) {
        data.nextLineUnsolicited = false;
        StoreLine(line, data, true);
        data.unsolicited.Push({std::move(data.heldCode), std::string(line)});
        return;
    }
    if (!TakenForUnsolicited(line, data)) {
        StoreLine(line, data, false);
        return;
    }
    StoreLine(line, data, true);
    if (TakesNextLine(line)) {
        data.nextLineUnsolicited = true;
        data.heldCode = std::string(line);
        return;
    }
    data.unsolicited.Push({std::string(line), {}});
}

} // namespace

void RaiseFlag(serialdata& data, std::atomic<int>& flag) {
    {
        std::lock_guard guard(data.lock);
        flag.store(1, std::memory_order_release);
    }
    data.flagRaised.notify_all();
}

int AddString(std::string_view line, serialdata& data) {
    StoreLine(line, data, false);
    return 0;
}

void SplitLines(serialdata& data) {
    constexpr int kMax = static_cast<int>(serialdata::kMaxPending);
    std::string_view rest = data.pending;
    for (int cr = FindChar(rest, '\r'); cr >= 0; cr = FindChar(rest, '\r')) {
        std::string line = CopyTail(rest.substr(0, static_cast<std::size_t>(cr)), kMax);
        StripLineEnd(line);
        StoreReceivedLine(line, data);
        rest.remove_prefix(static_cast<std::size_t>(cr) + 1);
    }
    // Erased in place: `pending` keeps its buffer from pass to pass.
    const std::size_t keep = std::min(rest.size(), serialdata::kMaxPending);
    data.pending.erase(0, data.pending.size() - keep);
    if (IsPrompt(data.pending) && data.promptReceived.load(std::memory_order_acquire) == 0)
        RaiseFlag(data, data.promptReceived);
}

void ClearLines(serialdata& data) {
    std::unique_ptr<LineNode> lines;
    {
        std::lock_guard guard(data.lock);
        data.okReceived.store(0, std::memory_order_release);
        data.errorReceived.store(0, std::memory_order_release);
        data.promptReceived.store(0, std::memory_order_release);
        lines = std::move(data.head);
        data.tail = nullptr;
    }
    FreeLines(std::move(lines));
}

void WalkLines(serialdata& data, const std::function<bool(const LineNode&)>& visit) {
    std::lock_guard guard(data.lock);
    for (const LineNode* node = data.head.get(); node != nullptr; node = node->next.get())
        if (!visit(*node))
            return;
}

std::vector<std::string> SnapshotLines(serialdata& data) {
    std::vector<std::string> lines;
    WalkLines(data, [&lines](const LineNode& node) {
        lines.push_back(node.text);
        return true;
    });
    return lines;
}

std::vector<std::string> SnapshotAnswerLines(serialdata& data) {
    std::vector<std::string> lines;
    WalkLines(data, [&lines](const LineNode& node) {
        if (!node.unsolicited)
            lines.push_back(node.text);
        return true;
    });
    return lines;
}

std::string FirstAnswerLine(serialdata& data) {
    std::string first;
    WalkLines(data, [&first](const LineNode& node) {
        if (node.unsolicited)
            return true;
        first = node.text;
        return false;
    });
    return first;
}
