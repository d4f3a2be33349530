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

// Rows held until the end (aligned text, a late optional column) come back whole when they
// cross the blocks the spool is written and read in, one row far larger than a block among them.
TEST(RowStreamTest, HeldRowsAcrossTheSpoolsBlocksComeBackWhole) {
    Table many = {{"N", "SMS", "PART"}, {}};
    for (int i = 0; i < 5000; ++i)
        many.rows.push_back({std::to_string(i), std::string(static_cast<std::size_t>(i % 97), 'x'),
                             i == 4999 ? "2/2" : ""});
    many.rows[2500][1] = std::string(200000, 'y');
    many.rows[2501][1] = "";
    for (const OutputFormat format : {OutputFormat::Text, OutputFormat::Csv, OutputFormat::Json})
        EXPECT_EQ(Streamed(many, format, 2), FormatTable(many, format)) << static_cast<int>(format);
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
