// The command line's own parts: the options, the three output formats, the boxes as lines and
// their answers, the port list.

#include "cli/CliMessageSink.h"
#include "cli/CliOptions.h"
#include "cli/RowPrinter.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(CliOptionsTest, OptionsStandBeforeOrAfterTheCommand) {
    const ParsedCommandLine parsed =
        ParseCommandLine({"--port", "/dev/ttyUSB0", "send", "--to", "+39", "--class", "none",
                          "--baud", "9600", "--reply", "--", "-1 degrees"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const CliOptions& options = *parsed.options;
    EXPECT_EQ(options.command, CliCommand::Send);
    EXPECT_EQ(options.port, "/dev/ttyUSB0");
    EXPECT_EQ(options.baud, 9600U);
    EXPECT_EQ(options.to, "+39");
    EXPECT_EQ(options.classIndex, 4);
    EXPECT_TRUE(options.report);
    EXPECT_FALSE(options.confirm);
    EXPECT_EQ(options.text, "-1 degrees");
    EXPECT_EQ(options.database, "telvane.mdb");
    EXPECT_EQ(options.format, OutputFormat::Text);

    const ParsedCommandLine read =
        ParseCommandLine({"read", "--memory", "ME", "--move", "--format", "json", "--yes"});
    ASSERT_TRUE(read.options) << read.error;
    EXPECT_TRUE(read.options->phoneMemory && read.options->move && read.options->yes);
    EXPECT_EQ(read.options->format, OutputFormat::Json);

    const auto health = [](const std::string& value) {
        return ParseCommandLine({"serve", "--health-every", value}).options->healthSeconds;
    };
    EXPECT_EQ(ParseCommandLine({"serve"}).options->healthSeconds, 3600);
    EXPECT_EQ(health("0"), 0) << "the start's line only";
    EXPECT_EQ(health("86400"), 86400);
}

TEST(CliOptionsTest, UsageErrorsSayWhatIsWrong) {
    const auto error = [](std::vector<std::string> words) { return ParseCommandLine(words).error; };
    EXPECT_EQ(error({}), "a command is needed");
    EXPECT_EQ(error({"reed"}), "unknown command reed");
    EXPECT_EQ(error({"counts", "--move"}), "--move does not go with this command");
    EXPECT_EQ(error({"counts", "--colour"}), "unknown option --colour");
    EXPECT_EQ(error({"log", "--db"}), "--db needs a value");
    EXPECT_EQ(error({"--baud", "fast", "counts"}), "--baud takes a positive number");
    EXPECT_EQ(error({"--baud", "0", "counts"}), "--baud takes a positive number");
    EXPECT_EQ(error({"send", "--to", "1", "--class", "5", "x"}),
              "--class takes 0, 1, 2, 3 or none");
    EXPECT_EQ(error({"send", "x"}), "send needs --to NUMBER");
    EXPECT_EQ(error({"send", "--to", "1"}), "send takes one argument");
    EXPECT_EQ(error({"ports", "extra"}), "ports takes no arguments");
    EXPECT_EQ(error({"serve", "--health-every", "-1"}),
              "--health-every takes a number from 0 to 86400");
    EXPECT_EQ(error({"read", "--health-every", "60"}),
              "--health-every does not go with this command");
    // --help asks for the usage text: no options and no error.
    const ParsedCommandLine help = ParseCommandLine({"read", "--help"});
    EXPECT_FALSE(help.options);
    EXPECT_EQ(help.error, "");
}

TEST(RowPrinterTest, TextAlignsByCharactersAndShowsLineBreaksAsSpaces) {
    const Table table{{"N", "SMS", "Name"}, {{"10", "caffè\nbar", "Zoë"}, {"2", "x", ""}}};
    EXPECT_EQ(FormatTable(table, OutputFormat::Text), "N   SMS        Name\n"
                                                      "10  caffè bar  Zoë\n"
                                                      "2   x\n");
}

// Widths count characters, ASCII runs of any length and place among letters of two and three
// bytes: the second column starts at the same character on every line.
TEST(RowPrinterTest, TextColumnsLineUpWhateverRunsOfAsciiTheCellsHold) {
    Table table{{"A", "B"}, {}};
    for (const std::string cell : {"abcdefghè", "èabcdefgh", "abcdefgh", "abcdefghijklmnopq€",
                                   "ééééééééé", "a€bcdefghijklmnop", "x", ""})
        table.rows.push_back({cell, "|"});
    const auto characters = [](std::string_view text) {
        return std::ranges::count_if(text, [](char c) { return (c & 0xC0) != 0x80; });
    };
    std::istringstream lines(FormatTable(table, OutputFormat::Text));
    std::vector<long> starts;
    for (std::string line; std::getline(lines, line);)
        if (line.ends_with('|'))
            starts.push_back(characters(line) - 1);
    EXPECT_EQ(starts, std::vector<long>(8, 20)) << "18 characters at the widest, and the gap";
}

// Blanks at the end of a line go, whether a cell ends in them or the cells after it are empty;
// a tab counts as the one space it shows as.
TEST(RowPrinterTest, TextLinesEndWithTheirLastCharacterShown) {
    const Table table{{"A", "B", "C"}, {{"a\tb", "", ""}, {"x ", "", ""}, {"", "", "ü"}}};
    EXPECT_EQ(FormatTable(table, OutputFormat::Text), "A    B  C\n"
                                                      "a b\n"
                                                      "x\n"
                                                      "        ü\n");
}

// Cells of every length from none to past two words, padded by runs of blanks short and long,
// written after what the buffer held: as a cell-by-cell writer of the same rules writes them.
TEST(RowPrinterTest, TextLinesOfAnyCellLengthAndPadAreWrittenWhole) {
    const auto reference = [](const std::vector<std::string>& cells,
                              const std::vector<std::size_t>& widths) {
        std::string line;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            std::string shown = cells[column];
            std::ranges::replace_if(
                shown, [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
            const auto chars = static_cast<std::size_t>(
                std::ranges::count_if(shown, [](char c) { return (c & 0xC0) != 0x80; }));
            line += shown;
            if (column + 1 < cells.size())
                line.append(std::max(widths[column], chars) - chars + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        return line + '\n';
    };
    const std::string letters = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMN";
    for (std::size_t length = 0; length <= 40; ++length) {
        for (const std::size_t width :
             {std::size_t{0}, length, length + 14, length + 15, std::size_t{60}}) {
            std::vector<std::string> cells = {letters.substr(0, length),
                                              "é" + letters.substr(0, length),
                                              "a\tb" + letters.substr(0, length % 7), "z"};
            const std::vector<std::size_t> widths(cells.size(), width);
            std::string line = "held|";
            AppendTextLine(line, cells, widths);
            EXPECT_EQ(line, "held|" + reference(cells, widths)) << length << " " << width;
        }
    }
}

TEST(RowPrinterTest, CsvQuotesWhatNeedsIt) {
    const Table table{{"a", "b,c"}, {{"say \"hi\"", "two\nlines"}, {"plain", ""}}};
    EXPECT_EQ(FormatTable(table, OutputFormat::Csv),
              "a,\"b,c\"\n\"say \"\"hi\"\"\",\"two\nlines\"\nplain,\n");
}

// A line is written whole while no field needs quotes, and from the first that does on field by
// field: what comes before and after it, appended to what the buffer held, is as plain as it was.
TEST(RowPrinterTest, CsvLinesQuoteFromTheFieldThatNeedsItOn) {
    const auto line = [](std::vector<std::string> cells) {
        std::string out = "held|";
        AppendCsvLine(out, cells);
        return out;
    };
    EXPECT_EQ(line({}), "held|\n");
    EXPECT_EQ(line({""}), "held|\n");
    EXPECT_EQ(line({"", ""}), "held|,\n");
    EXPECT_EQ(line({"1", "IN", "Città è costà, ok", "08:11", ""}),
              "held|1,IN,\"Città è costà, ok\",08:11,\n");
    EXPECT_EQ(line({"a\rb", "plain"}), "held|\"a\rb\",plain\n");
    EXPECT_EQ(line({"plain", "x", "end\""}), "held|plain,x,\"end\"\"\"\n");
}

TEST(RowPrinterTest, JsonEscapesControlsQuotesAndBackslashes) {
    const Table table{{"k\"ey", "v"}, {{"a\\b\t\x01", "è\r\n"}}};
    EXPECT_EQ(FormatTable(table, OutputFormat::Json),
              "{\"k\\\"ey\":\"a\\\\b\\t\\u0001\",\"v\":\"è\\r\\n\"}\n");
    EXPECT_EQ(FormatTable({{"x"}, {}}, OutputFormat::Json), "");
    // The keys made once give the lines the headings give.
    const std::vector<std::string> headings = {"k\"ey", "v"};
    const std::vector<std::string> cells = {"1", "è"};
    std::string plain;
    std::string keyed;
    AppendJsonLine(plain, headings, cells);
    AppendKeyedJsonLine(keyed, JsonKeys(headings), cells);
    EXPECT_EQ(keyed, plain);
    EXPECT_EQ(keyed, "{\"k\\\"ey\":\"1\",\"v\":\"è\"}\n");
    keyed.clear();
    AppendKeyedJsonLine(keyed, JsonKeys({}), cells);
    EXPECT_EQ(keyed, "{}\n");
    EXPECT_EQ(JsonString("a\xff\xc3"), "\"a\uFFFD\uFFFD\"") << "not UTF-8";
    // Well-formed sequences of two to four bytes stand as they are, U+FFFD written out too; an
    // overlong form and an encoded surrogate are no characters: a U+FFFD for each of their bytes.
    EXPECT_EQ(JsonString("\u20ac\U0001F600\uFFFD\xC0\xAF\xED\xA0\x80x\"\u00e8"),
              "\"\u20ac\U0001F600\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDx\\\"\u00e8\"");
}

// As CSV lines: written whole while no value needs an escape, member by member from the first
// that does on, after what the buffer held; a value short of a heading's cell is empty.
// Values are looked at eight bytes at a time: any byte JSON must escape or replace, at any place
// of a word or of the tail, keeps the value from standing as it is; any other lets it. A row's
// value, tested on the words it is copied with, comes out as the value alone does.
TEST(RowPrinterTest, JsonFindsTheByteToEscapeWhereverItStands) {
    const std::vector<std::string> keys = JsonKeys(std::vector<std::string>{"a", "b"});
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const bool plain = byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\';
        for (std::size_t length = 1; length <= 21; ++length) {
            for (std::size_t at = 0; at < length; ++at) {
                std::string text(length, 'a');
                text[at] = c;
                EXPECT_EQ(JsonString(text) == '"' + text + '"', plain)
                    << "byte " << byte << " at " << at << " of " << length;
                std::string line;
                AppendKeyedJsonLine(line, keys, std::vector<std::string>{text, "z"});
                ASSERT_EQ(line, "{\"a\":" + JsonString(text) + ",\"b\":\"z\"}\n")
                    << "byte " << byte << " at " << at << " of " << length;
            }
        }
    }
}

TEST(RowPrinterTest, JsonLinesEscapeFromTheValueThatNeedsItOn) {
    const std::vector<std::string> keys = JsonKeys(std::vector<std::string>{"a", "b", "c"});
    const auto line = [&keys](std::vector<std::string> cells) {
        std::string out = "held|";
        AppendKeyedJsonLine(out, keys, cells);
        return out;
    };
    EXPECT_EQ(line({"1", "plain text", "x"}),
              "held|{\"a\":\"1\",\"b\":\"plain text\",\"c\":\"x\"}\n");
    EXPECT_EQ(line({"1", "Città", "x"}), "held|{\"a\":\"1\",\"b\":\"Città\",\"c\":\"x\"}\n");
    EXPECT_EQ(line({"say \"hi\"", "", "\x7f"}),
              "held|{\"a\":\"say \\\"hi\\\"\",\"b\":\"\",\"c\":\"\\u007f\"}\n");
    EXPECT_EQ(line({"only"}), "held|{\"a\":\"only\",\"b\":\"\",\"c\":\"\"}\n");
    // Values to escape between plain ones: only they are escaped, the rest stand as they are.
    EXPECT_EQ(line({"tab\there", "a plain value longer than two words", "\"q\""}),
              "held|{\"a\":\"tab\\there\",\"b\":\"a plain value longer than two words\","
              "\"c\":\"\\\"q\\\"\"}\n");
    EXPECT_EQ(line({"x", "\xff", "y"}), "held|{\"a\":\"x\",\"b\":\"\xEF\xBF\xBD\",\"c\":\"y\"}\n");
    std::string none = "held|";
    AppendKeyedJsonLine(none, {}, std::vector<std::string>{"ignored"});
    EXPECT_EQ(none, "held|{}\n");
}

TEST(CliMessageSinkTest, QuestionsTakeTheSafeAnswerUnlessYes) {
    for (const BoxButtons buttons : {BoxButtons::YesNo, BoxButtons::RetryCancel,
                                     BoxButtons::AbortRetryIgnore, BoxButtons::OkCancel}) {
        const BoxAnswer safe = TerminalAnswer(buttons, false);
        EXPECT_NE(safe, BoxAnswer::Yes);
        EXPECT_NE(safe, BoxAnswer::Retry);
        EXPECT_NE(safe, BoxAnswer::Ok);
    }
    EXPECT_EQ(TerminalAnswer(BoxButtons::YesNo, true), BoxAnswer::Yes);
    EXPECT_EQ(TerminalAnswer(BoxButtons::RetryCancel, true), BoxAnswer::Retry);
    EXPECT_EQ(TerminalAnswer(BoxButtons::Ok, false), BoxAnswer::Ok);
}

TEST(CliMessageSinkTest, BoxesBecomeLinesAndFailuresAreCounted) {
    std::FILE* lines = std::tmpfile();
    ASSERT_NE(lines, nullptr);
    std::atomic<bool> interrupted{false};
    CliMessageSink sink(true, interrupted, lines);
    EXPECT_EQ(sink.ShowMessage({"ERROR ricevuto!", "ATTENZIONE", BoxButtons::AbortRetryIgnore,
                                BoxIcon::Error, true}),
              BoxAnswer::Retry);
    interrupted = true; // after Ctrl+C no retry, whatever --yes says
    EXPECT_EQ(sink.ShowMessage({"TIMEOUT", "", BoxButtons::RetryCancel, BoxIcon::Error, true}),
              BoxAnswer::Cancel);
    sink.ShowMessage(
        {"Read succesfully 4 lines", "Information", BoxButtons::Ok, BoxIcon::Information, true});
    sink.ShowMessage({"Sent OK", "Telvane", BoxButtons::Ok, BoxIcon::None, true});
    sink.ShowMessage({"12 Record succesfully copied", "Telvane", BoxButtons::Ok, BoxIcon::None});
    sink.ShowMessage({"two\nlines", "Warning", BoxButtons::Ok, BoxIcon::Warning, true});
    EXPECT_EQ(sink.Failures(), 3);
    std::rewind(lines);
    std::string text(512, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), lines));
    std::fclose(lines);
    EXPECT_EQ(text, "ATTENZIONE: ERROR ricevuto! [Retry]\n"
                    "TIMEOUT [Cancel]\n"
                    "Information: Read succesfully 4 lines\n"
                    "Telvane: Sent OK\n"
                    "Telvane: 12 Record succesfully copied\n"
                    "Warning: two lines\n");
}

} // namespace
