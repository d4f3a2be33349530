// The phonebook answers: "+CPBR: (1-250),40,14" ranges and "+CPBR: <pos>,"<number>",<type>,
// "<name>"" lines of any shape. A row comes only from a +CPBR line with a comma behind its tag,
// a plain position is the text up to that comma, and every row of the store reaches the list.

#include "fuzz/FuzzCheck.h"
#include "phonebook/FakePhonebookForm.h"
#include "phonebook/PhonebookAnswers.h"
#include "serial/serialdata.h"

namespace {

constexpr std::size_t kTagLength = 6; // "+CPBR:"

std::string_view CutTrailingBlanks(std::string_view text) {
    while (text.ends_with(' '))
        text.remove_suffix(1);
    return text;
}

void CheckLine(const std::string& line) {
    const std::optional<PhonebookRow> row = ParsePhonebookLine(line);
    const std::string_view rest = std::string_view(line).substr(std::min(kTagLength, line.size()));
    const std::size_t comma = rest.find(',');
    const bool tagged = line.starts_with("+CPBR");
    if (row)
        FuzzRequire(tagged && comma != std::string_view::npos);
    // A plain first field (no quote or bracket) is the position, up to its comma.
    if (comma != std::string_view::npos &&
        rest.substr(0, comma).find_first_of("\"()") == std::string_view::npos) {
        FuzzRequire(row.has_value() == tagged);
        if (row)
            FuzzRequire((*row)[kPosColumn] == CutTrailingBlanks(rest.substr(0, comma)));
    }

    const PhonebookRange range = ParsePhonebookRange(line);
    const std::size_t open = line.find('(');
    if (open == std::string::npos || line.find(')', open) == std::string::npos)
        FuzzRequire(range.lower == 0 && range.upper == 100);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    serialdata store;
    std::size_t entries = 0;
    for (const std::string& line : FuzzLines(FuzzText(data, size))) {
        CheckLine(line);
        if (line.empty())
            continue;
        AddString(line, store);
        entries += ParsePhonebookLine(line).has_value() ? 1 : 0;
    }
    FuzzRequire(CollectPhonebookRows(store).size() == entries);
    FakePhonebookForm form;
    AddPhonebookRows(store, form, size > 0 ? data[0] % 8 - 2 : 0);
    FuzzRequire(form.Rows().size() == entries);
    return 0;
}
