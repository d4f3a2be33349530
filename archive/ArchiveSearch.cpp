#include "archive/ArchiveSearch.h"

#include "archive/SearchFold.h"

#include <algorithm>
#include <numeric>

namespace {

// The searched columns folded, each ended by a zero byte.
void AppendRowKey(std::string& keys, const SmsRow& row) {
    for (int column : {kSmsTextColumn, kSmsSenderColumn, kSmsNameColumn}) {
        AppendFolded(keys, row[static_cast<std::size_t>(column)]);
        keys += '\0';
    }
}

using Starts = std::vector<std::size_t>::const_iterator;

// The first start after `at`, looked for from `from` on (no start before it is after `at`): the
// hits ascend, so the steps from one hit's row to the next grow only as far as the rows are apart.
Starts FirstStartAfter(Starts from, Starts end, std::size_t at) {
    std::size_t step = 1;
    while (static_cast<std::size_t>(end - from) > step &&
           from[static_cast<std::ptrdiff_t>(step)] <= at) {
        from += static_cast<std::ptrdiff_t>(step);
        step *= 2;
    }
    const auto last = std::min(step + 1, static_cast<std::size_t>(end - from));
    return std::upper_bound(from, from + static_cast<std::ptrdiff_t>(last), at);
}

} // namespace

void ArchiveSearch::Index(std::span<const SmsRow> rows) {
    Clear();
    starts.reserve(rows.size());
    for (const SmsRow& row : rows)
        Add(row);
}

void ArchiveSearch::Clear() {
    keys.clear();
    starts.clear();
}

void ArchiveSearch::Add(const SmsRow& row) {
    starts.push_back(keys.size());
    AppendRowKey(keys, row);
}

void ArchiveSearch::AddFolded(std::string_view foldedTextAndSender, std::string_view name) {
    starts.push_back(keys.size());
    keys.append(foldedTextAndSender);
    keys += '\0';
    AppendFolded(keys, name);
    keys += '\0';
}

ArchiveRowFilter::ArchiveRowFilter(std::string_view typed)
    : needle(FoldForSearch(typed)), never(needle.find('\0') != std::string::npos) {}

bool ArchiveRowFilter::Holds(const SmsRow& row) {
    return Holds(row[kSmsTextColumn], row[kSmsSenderColumn], row[kSmsNameColumn]);
}

bool ArchiveRowFilter::Holds(std::string_view text, std::string_view sender,
                             std::string_view name) {
    if (never)
        return false;
    if (needle.empty())
        return true;
    // The needle holds no zero byte: a match within one field is a match of the row's texts.
    for (const std::string_view field : {text, sender, name}) {
        key.clear();
        AppendFolded(key, field);
        if (key.find(needle) != std::string::npos)
            return true;
    }
    return false;
}

bool ArchiveRowFilter::HoldsFolded(std::string_view folded) const {
    return !never && folded.find(needle) != std::string_view::npos;
}

std::vector<int> ArchiveSearch::Matching(std::string_view needle) const {
    std::vector<int> rows;
    const std::string folded = FoldForSearch(needle);
    if (folded.empty()) {
        rows.resize(starts.size());
        std::iota(rows.begin(), rows.end(), 0);
        return rows;
    }
    // A zero byte can only be typed on purpose; it would match across fields.
    if (folded.find('\0') != std::string::npos)
        return rows;
    const std::string_view all(keys);
    std::size_t from = 0;
    auto row = starts.cbegin();
    while ((from = all.find(folded, from)) != std::string_view::npos) {
        const auto next = FirstStartAfter(row, starts.cend(), from);
        rows.push_back(static_cast<int>(next - starts.begin()) - 1);
        row = next;
        if (next == starts.end())
            break;
        from = *next; // one hit per row is enough
    }
    return rows;
}
