#include "phonebook/PhonebookStore.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace {

std::optional<int> PositionOf(const std::string& text) {
    int position = 0;
    const char* first = text.data();
    while (first != text.data() + text.size() && *first == ' ')
        ++first;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), position);
    if (error != std::errc() || end != text.data() + text.size() || position < 1)
        return std::nullopt;
    return position;
}

std::string MemoryWords(PhonebookMemory memory) {
    return memory == PhonebookMemory::Phone ? "the phone" : "the SIM";
}

std::string Entries(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

} // namespace

std::vector<PhonebookEntry> EntriesToStore(std::span<const PhonebookRow> rows) {
    std::set<int> taken;
    for (const PhonebookRow& row : rows)
        if (const auto position = PositionOf(row[kPosColumn]))
            taken.insert(*position);
    std::vector<PhonebookEntry> entries;
    int free = 1;
    for (const PhonebookRow& row : rows) {
        if (row[kNumberColumn].empty())
            continue;
        std::optional<int> position = PositionOf(row[kPosColumn]);
        if (!position) {
            while (taken.contains(free))
                ++free;
            position = free;
            taken.insert(free);
        }
        entries.push_back({*position, row[kNumberColumn], row[kNameColumn]});
    }
    return entries;
}

std::string StoreQuestion(const std::vector<PhonebookEntry>& entries, PhonebookMemory memory) {
    const auto [lowest, highest] =
        std::ranges::minmax_element(entries, {}, &PhonebookEntry::position);
    return "Write the " + Entries(entries.size()) + " of the list to " + MemoryWords(memory) +
           ", positions " + std::to_string(lowest->position) + " to " +
           std::to_string(highest->position) + "?";
}

std::string StoreReport(const PhonebookWriteReport& report, std::size_t tried,
                        PhonebookMemory memory) {
    if (!report.memorySelected)
        return "Nothing written: " + report.firstFailure;
    std::string text = (static_cast<std::size_t>(report.written) == tried
                            ? Entries(tried)
                            : std::to_string(report.written) + " of " + Entries(tried)) +
                       " written to " + MemoryWords(memory);
    if (report.failedPositions.empty())
        return text;
    text += "; not written: position";
    text += report.failedPositions.size() == 1 ? " " : "s ";
    for (std::size_t i = 0; i < report.failedPositions.size(); ++i)
        text += (i == 0 ? "" : ", ") + std::to_string(report.failedPositions[i]);
    return text + " (" + report.firstFailure + ")";
}
