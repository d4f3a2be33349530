// libFuzzer target over the vCard reader: any file must be read or refused cleanly, and what the
// interface promises must hold - a refusal names a line of the file and gives no rows; a read
// gives rows marked "NEW", in valid UTF-8, that the writer turns into a file reading back the same.

#include "core/Utf8.h"
#include "fuzz/FuzzCheck.h"
#include "phonebook/Vcard.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Lines as the reader counts them: ended by CR LF, LF or a lone CR.
int LineCount(std::string_view text) {
    int lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

// What the writer cannot carry exactly: a lone carriage return (written as a line break), a type
// holding a quote or a control character, a number that reads as a tel URI.
bool WritesExactly(const PhonebookRow& row) {
    for (const std::string& cell : row) {
        if (cell.find('\r') != std::string::npos)
            return false;
    }
    const std::string& type = row[kTypeColumn];
    if (std::ranges::any_of(type, [](char c) {
            return c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        }))
        return false;
    std::string number = row[kNumberColumn];
    number.erase(0, number.find_first_not_of(" \t"));
    return !(number.size() >= 4 && (number[0] | 0x20) == 't' && (number[1] | 0x20) == 'e' &&
             (number[2] | 0x20) == 'l' && number[3] == ':');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = FuzzText(data, size);
    const VcardReadResult read = ReadVcards(text);
    if (read.error) {
        FuzzRequire(read.rows.empty());
        FuzzRequire(read.error->line >= 1 && read.error->line <= LineCount(text));
        FuzzRequire(!read.error->message.empty());
        return 0;
    }
    // A file without cards is refused; cards without a number are skipped and counted.
    if (read.rows.empty()) {
        FuzzRequire(read.skippedCards > 0);
        return 0;
    }
    bool exact = true;
    for (const PhonebookRow& row : read.rows) {
        FuzzRequire(row[kPosColumn] == "NEW");
        for (const std::string& cell : row)
            FuzzRequire(is_utf8(cell));
        exact = exact && WritesExactly(row);
    }
    const std::string written = WriteVcards(read.rows);
    const VcardReadResult again = ReadVcards(written);
    FuzzRequire(!again.error);
    FuzzRequire(again.rows.size() == read.rows.size());
    if (exact)
        FuzzRequire(again.rows == read.rows);
    return 0;
}
