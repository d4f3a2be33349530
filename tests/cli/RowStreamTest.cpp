// The command line's rows written as they come: each format gives what the whole table gives,
// the column shown only when some row fills it appears for a late row too, and a stream that
// cannot write says so.

#include "cli/RowPrinterStream.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// What the stream wrote for the rows, read back from a temporary file.
std::string Streamed(const Table& table, OutputFormat format, std::size_t shownAlways) {
    std::unique_ptr<std::FILE, FileCloser> out(std::tmpfile());
    {
        RowStream stream(table.headings, format, shownAlways, out.get());
        for (const auto& row : table.rows)
            stream.Write(row);
        EXPECT_TRUE(stream.Finish());
    }
    std::rewind(out.get());
    std::string text;
    for (int c = 0; (c = std::fgetc(out.get())) != EOF;)
        text += static_cast<char>(c);
    return text;
}

const Table kRows = {
    {"N", "SMS", "PART"},
    {{"1", "città\nè qui", ""}, {"22", "\"quoted\", with comma", ""}, {"333", "Αθήνα", ""}}};

TEST(RowStreamTest, EachFormatGivesWhatTheWholeTableGives) {
    for (const OutputFormat format : {OutputFormat::Text, OutputFormat::Csv, OutputFormat::Json})
        EXPECT_EQ(Streamed(kRows, format, 3), FormatTable(kRows, format))
            << static_cast<int>(format);
}

TEST(RowStreamTest, AnOptionalColumnAppearsOnlyWhenARowFillsIt) {
    const Table withoutPart = {
        {"N", "SMS"}, {{"1", "città\nè qui"}, {"22", "\"quoted\", with comma"}, {"333", "Αθήνα"}}};
    Table lateParts = kRows;
    lateParts.rows.back()[2] = "2/2"; // only the last row is a part
    for (const OutputFormat format : {OutputFormat::Text, OutputFormat::Csv, OutputFormat::Json}) {
        EXPECT_EQ(Streamed(kRows, format, 2), FormatTable(withoutPart, format));
        EXPECT_EQ(Streamed(lateParts, format, 2), FormatTable(lateParts, format));
    }
}

TEST(RowStreamTest, AnOutputThatTakesNothingIsAFailure) {
    std::unique_ptr<std::FILE, FileCloser> full(std::fopen("/dev/full", "w"));
    if (!full)
        GTEST_SKIP() << "no /dev/full";
    RowStream stream(kRows.headings, OutputFormat::Csv, 3, full.get());
    for (int i = 0; i < 2000; ++i)
        stream.Write(kRows.rows[0]);
    EXPECT_FALSE(stream.Finish());
}

} // namespace
