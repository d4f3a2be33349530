// The command line's rows written as they come: each format gives what the whole table gives,
// the column shown only when some row fills it appears for a late row too, and a stream that
// cannot write says so.

#include "cli/RowPrinterStream.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// What the stream wrote for the rows, read back from a temporary file.
std::string Streamed(const Table& table, OutputFormat format, std::size_t shownAlways,
                     std::size_t lookAhead = RowStream::kLookAheadBytes) {
    std::unique_ptr<std::FILE, FileCloser> out(std::tmpfile());
    {
        RowStream stream(table.headings, format, shownAlways, out.get(), lookAhead);
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

// Rows held until the end (a late optional column, past the look-ahead) come back whole when
// they cross the blocks the spool is written and read in, one row far larger than a block among
// them.
TEST(RowStreamTest, HeldRowsAcrossTheSpoolsBlocksComeBackWhole) {
    Table many = {{"N", "SMS", "PART"}, {}};
    for (int i = 0; i < 5000; ++i)
        many.rows.push_back({std::to_string(i), std::string(static_cast<std::size_t>(i % 97), 'x'),
                             i == 4999 ? "2/2" : ""});
    many.rows[2500][1] = std::string(200000, 'y');
    many.rows[2501][1] = "";
    for (const OutputFormat format : {OutputFormat::Text, OutputFormat::Csv, OutputFormat::Json})
        EXPECT_EQ(Streamed(many, format, 2, 4096), FormatTable(many, format))
            << static_cast<int>(format);
}

// Past the look-ahead, aligned text keeps the widths the rows held gave: a wider cell pushes the
// rest of its own line only, and every row is there once, in order.
TEST(RowStreamTest, AlignedTextPastTheLookAheadKeepsItsWidths) {
    Table rows = {{"N", "SMS", "SCA"}, {}};
    for (int i = 1; i <= 300; ++i)
        rows.rows.push_back({std::to_string(i), i == 250 ? "a much wider text" : "short", "+39"});
    const std::string text = Streamed(rows, OutputFormat::Text, 3, 1024);
    EXPECT_TRUE(text.starts_with("N   SMS    SCA\n1   short  +39\n")) << text.substr(0, 40);
    // The first rows (of one and two digits) set N's width: three digits push their line.
    EXPECT_NE(text.find("\n249  short  +39\n250  a much wider text  +39\n251  short  +39\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("\n300  short  +39\n"));
    EXPECT_EQ(std::ranges::count(text, '\n'), 301);
    // Within the look-ahead the widths are those of the whole table.
    EXPECT_EQ(Streamed(rows, OutputFormat::Text, 3), FormatTable(rows, OutputFormat::Text));
}

// A column still unsettled when the look-ahead ends keeps every row until the end: a late row
// that fills it still shows it, on every line.
TEST(RowStreamTest, AColumnUnsettledPastTheLookAheadStillAppearsForALateRow) {
    Table rows = {{"N", "SMS", "PART"}, {}};
    for (int i = 1; i <= 300; ++i)
        rows.rows.push_back({std::to_string(i), "short", i == 300 ? "2/2" : ""});
    for (const OutputFormat format : {OutputFormat::Text, OutputFormat::Csv, OutputFormat::Json})
        EXPECT_EQ(Streamed(rows, format, 2, 1024), FormatTable(rows, format))
            << static_cast<int>(format);
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
