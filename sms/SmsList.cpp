#include "sms/SmsList.h"

#include <algorithm>

const std::array<SmsColumn, kSmsListColumnCount>& SmsListColumns() {
    static const std::array<SmsColumn, kSmsListColumnCount> columns = {{
        {"N", 20},
        {"TYPE", 40},
        {"STAT", 40},
        {"SMS", 400},
        {"DATE", 100},
        {"TIME.", 100},
        {"MITT./DEST.", 100},
        {"Assoc. rubrica.", 100},
        {"SCA.", 100},
        {"PART", 50},
    }};
    return columns;
}

std::string DisplayText(std::string_view text) {
    std::string shown(text);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return shown;
}

void SmsList::Insert(int position, const std::vector<SmsRow>& newRows) {
    const auto at =
        std::clamp<std::ptrdiff_t>(position, 0, static_cast<std::ptrdiff_t>(rows.size()));
    rows.insert(rows.begin() + at, newRows.begin(), newRows.end());
}

std::string SmsList::DisplayCell(int index, int column) const {
    if (index < 0 || index >= Count() || column < 0 || column >= kSmsListColumnCount)
        return {};
    const std::string& text = Row(index)[static_cast<std::size_t>(column)];
    return column == kSmsTextColumn ? DisplayText(text) : text;
}
