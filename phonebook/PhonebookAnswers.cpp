#include "phonebook/PhonebookAnswers.h"

#include "core/TextHelpers.h"
#include "phonebook/PhonebookCharset.h"
#include "phonebook/PhonebookText.h"
#include "serial/AtFields.h"
#include "serial/serialdata.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::string_view kEntryTag = "+CPBR";
// The tag and its colon.
constexpr std::size_t kEntryPrefix = 6;

// A number or name as the row shows it: a quoted field loses its quotes (by StripQuotes' rule,
// so an empty name stays two quote marks); an unquoted one, such as the hex name some phones
// send under UCS2, stays whole.
std::string FieldText(std::string_view raw) {
    std::string text(raw);
    if (raw.starts_with('"'))
        StripQuotes(text);
    return text;
}

} // namespace

PhonebookRange ParsePhonebookRange(std::string_view line) {
    // "(a-b)" as the first field; anything else inside the brackets is not a range.
    const std::size_t colon = line.find(':');
    AtFields fields(colon == std::string_view::npos ? line : line.substr(colon + 1));
    fields.Begin("");
    PhonebookRange range;
    if (!fields.OpenList())
        return range;
    const std::optional<AtRange> read = fields.NextRange();
    if (!read || !fields.CloseList())
        return range;
    range.lower = read->lower;
    if (!read->single)
        range.upper = read->upper;
    return range;
}

PhonebookRange ParsePhonebookRange(serialdata& store) {
    return ParsePhonebookRange(FirstAnswerLine(store));
}

std::optional<PhonebookRow> ParsePhonebookLine(std::string_view line) {
    if (!line.starts_with(kEntryTag))
        return std::nullopt;
    // Read from right behind the colon, so that the position keeps the blank the phone put there.
    AtFields fields(line.substr(std::min(kEntryPrefix, line.size())));
    const std::optional<std::string_view> position = fields.NextRaw();
    if (!position || !fields.CommaBehind())
        return std::nullopt;
    PhonebookRow row;
    row[kPosColumn] = std::string(*position);
    // A line cut short keeps only the fields a comma ends; the name is the last field.
    const std::optional<std::string_view> number = fields.NextRaw();
    if (!number || !fields.CommaBehind())
        return row;
    row[kNumberColumn] = FieldText(*number);
    const std::optional<std::string_view> type = fields.NextRaw();
    if (!type || !fields.CommaBehind())
        return row;
    row[kTypeColumn] = std::string(*type);
    row[kNameColumn] = FieldText(fields.NextRaw().value_or(""));
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

std::vector<PhonebookRow> AddPhonebookRows(serialdata& store, IPhonebookForm& form, int counter,
                                           std::string_view charset) {
    // Every row goes to the counter's position: where the list reaches that far, a later line
    // of the same answer lands above the earlier ones.
    std::vector<PhonebookRow> rows = CollectPhonebookRows(store);
    for (PhonebookRow& row : rows) {
        if (!charset.empty())
            DecodePhonebookRow(row, charset);
        form.InsertRow(std::max(counter, 0), row);
    }
    return rows;
}

std::vector<PhonebookRow> PhonebookListRows(const std::vector<PhonebookReadEntry>& entries) {
    std::vector<PhonebookRow> rows;
    rows.reserve(entries.size());
    for (const PhonebookReadEntry& entry : entries) {
        const auto at = std::clamp<std::ptrdiff_t>(entry.counter, 0, std::ssize(rows));
        rows.insert(rows.begin() + at, entry.row);
    }
    return rows;
}
