#include "phonebook/PhonebookAnswers.h"

#include "core/TextHelpers.h"
#include "core/TextToInt.h"
#include "phonebook/PhonebookCharset.h"
#include "phonebook/PhonebookText.h"
#include "serial/serialdata.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::string_view kEntryTag = "+CPBR";
// The tag and its colon.
constexpr std::size_t kEntryPrefix = 6;

// Cuts `rest` at its first comma: the field before it, and `rest` becomes the text behind it.
// Nothing (and `rest` unchanged) when there is no comma.
std::optional<std::string> TakeField(std::string_view& rest) {
    const int comma = FindChar(rest, ',');
    if (comma < 0)
        return std::nullopt;
    std::string field = CopyHead(rest, comma);
    rest.remove_prefix(static_cast<std::size_t>(comma) + 1);
    return field;
}

} // namespace

PhonebookRange ParsePhonebookRange(std::string_view line) {
    PhonebookRange range;
    const int open = FindChar(line, '(');
    if (open < 0)
        return range;
    const std::string_view behind = line.substr(static_cast<std::size_t>(open) + 1);
    const int close = FindChar(behind, ')');
    if (close < 0)
        return range;
    const std::string_view inside = behind.substr(0, static_cast<std::size_t>(close));
    range.lower = TextToInt(inside);
    const int dash = FindChar(inside, '-');
    if (dash >= 0)
        range.upper = TextToInt(inside.substr(static_cast<std::size_t>(dash) + 1));
    return range;
}

PhonebookRange ParsePhonebookRange(serialdata& store) {
    return ParsePhonebookRange(FirstAnswerLine(store));
}

std::optional<PhonebookRow> ParsePhonebookLine(std::string_view line) {
    if (!line.starts_with(kEntryTag))
        return std::nullopt;
    std::string_view rest = line.substr(std::min(kEntryPrefix, line.size()));
    std::optional<std::string> position = TakeField(rest);
    if (!position)
        return std::nullopt;
    PhonebookRow row;
    row[kPosColumn] = std::move(*position);
    std::optional<std::string> number = TakeField(rest);
    if (!number)
        return row;
    StripQuotes(*number);
    row[kNumberColumn] = std::move(*number);
    std::optional<std::string> type = TakeField(rest);
    if (!type)
        return row;
    row[kTypeColumn] = std::move(*type);
    std::string name(rest);
    StripQuotes(name);
    row[kNameColumn] = std::move(name);
    return row;
}

std::vector<PhonebookRow> CollectPhonebookRows(serialdata& store) {
    std::vector<PhonebookRow> rows;
    WalkLines(store, [&rows](const LineNode& node) {
        if (node.unsolicited)
            return true;
        if (std::optional<PhonebookRow> row = ParsePhonebookLine(node.text))
            rows.push_back(std::move(*row));
        return true;
    });
    return rows;
}

void AddPhonebookRows(serialdata& store, IPhonebookForm& form, int counter,
                      std::string_view charset) {
    // Every row goes to the counter's position: where the list reaches that far, a later line
    // of the same answer lands above the earlier ones.
    for (PhonebookRow& row : CollectPhonebookRows(store)) {
        if (!charset.empty())
            DecodePhonebookRow(row, charset);
        form.InsertRow(std::max(counter, 0), row);
    }
}
