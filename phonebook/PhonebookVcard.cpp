#include "phonebook/PhonebookVcard.h"

#include "core/ExportFile.h"
#include "core/MessageSink.h"
#include "core/TextHelpers.h"
#include "core/Utf8.h"
#include "db/CDaoRecordset.h"
#include "phonebook/IPhonebookForm.h"
#include "phonebook/Vcard.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

// The whole file, at most one byte past the reader's limit (so that it can say "too large").
std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    std::vector<char> chunk(64 * 1024);
    while (text.size() <= kMaxVcardFileSize && in.read(chunk.data(), std::ssize(chunk)))
        text.append(chunk.data(), chunk.size());
    if (in.bad())
        return std::nullopt;
    text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    return text;
}

// Names cut to what the database's name column holds; how many were longer.
int ShortenNames(std::vector<PhonebookRow>& rows) {
    int shortened = 0;
    for (PhonebookRow& row : rows) {
        std::string cut = CutToCharacters(row[kNameColumn], kDbTextCapacity);
        if (cut.size() != row[kNameColumn].size()) {
            row[kNameColumn] = std::move(cut);
            ++shortened;
        }
    }
    return shortened;
}

std::string CountText(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// The result box's text: the rows added, then what did not come in whole.
std::string ImportedText(std::size_t rows, const std::string& path, int skippedCards,
                         int shortenedNames) {
    std::string text = RowCountText(rows) + " imported from " + path;
    if (skippedCards > 0)
        text +=
            "\n" + CountText(skippedCards, "card", "cards") + " without a telephone number skipped";
    if (shortenedNames > 0)
        text += "\n" + CountText(shortenedNames, "name", "names") + " shortened to " +
                std::to_string(kDbTextCapacity) + " characters, the longest the phonebook holds";
    return text;
}

} // namespace

int ExportPhonebookVcard(IPhonebookForm& form, IMessageSink& sink, const std::string& path) {
    std::vector<PhonebookRow> rows;
    for (int index = 0; index < form.RowCount(); ++index) {
        if (std::optional<PhonebookRow> row = form.Row(index))
            rows.push_back(std::move(*row));
    }
    return WriteExportFile(sink, path, valid_utf8(WriteVcards(rows)), rows.size());
}

int ImportPhonebookVcard(IPhonebookForm& form, IMessageSink& sink, const std::string& path) {
    const std::optional<std::string> text = ReadWhole(path);
    if (!text) {
        ShowFileError(sink, "Cannot read " + path);
        return -1;
    }
    VcardReadResult read = ReadVcards(*text);
    if (read.error) {
        ShowFileError(sink, "Cannot import " + path + ": line " + std::to_string(read.error->line) +
                                ": " + read.error->message);
        return -1;
    }
    const int shortened = ShortenNames(read.rows);
    for (std::size_t i = 0; i < read.rows.size(); ++i)
        form.InsertRow(static_cast<int>(i), read.rows[i]);
    ShowFileDone(sink, ImportedText(read.rows.size(), path, read.skippedCards, shortened));
    return static_cast<int>(read.rows.size());
}
