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

void RaiseFlag(serialdata& data, FinalResult result) {
    switch (result) {
    case FinalResult::None:
        return;
    case FinalResult::Ok:
        data.okReceived.store(1, std::memory_order_release);
        return;
    case FinalResult::Error:
        data.errorReceived.store(1, std::memory_order_release);
        return;
    }
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

int AddString(std::string_view line, serialdata& data) {
    if (line.empty())
        return 0;
    auto node = std::make_unique<LineNode>(LineNode{std::string(line), nullptr});
    LineNode* added = node.get();
    std::lock_guard guard(data.lock);
    if (data.tail != nullptr)
        data.tail->next = std::move(node);
    else
        data.head = std::move(node);
    data.tail = added;
    RaiseFlag(data, ClassifyLine(line));
    return 0;
}

void SplitLines(serialdata& data) {
    constexpr int kMax = static_cast<int>(serialdata::kMaxPending);
    std::string_view rest = data.pending;
    for (int cr = FindChar(rest, '\r'); cr >= 0; cr = FindChar(rest, '\r')) {
        std::string line = CopyTail(rest.substr(0, static_cast<std::size_t>(cr)), kMax);
        StripLineEnd(line);
        AddString(line, data);
        rest.remove_prefix(static_cast<std::size_t>(cr) + 1);
    }
    // Erased in place: `pending` keeps its buffer from pass to pass.
    const std::size_t keep = std::min(rest.size(), serialdata::kMaxPending);
    data.pending.erase(0, data.pending.size() - keep);
    if (IsPrompt(data.pending))
        data.promptReceived.store(1, std::memory_order_release);
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
