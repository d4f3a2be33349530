// telvane-pdu run as a user runs it: arguments, standard input, output and exit status.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

ToolRun run_tool(const std::vector<std::string>& args, const std::string& input = "") {
    // CTest runs the cases as parallel processes: each needs files of its own.
    const std::string dir = testing::TempDir() + "pdu_tool_" + std::to_string(getpid()) + "_";
    const std::string in = dir + "in";
    const std::string out = dir + "out";
    const std::string err = dir + "err";
    std::ofstream(in) << input;
    std::string command = TELVANE_PDU_TOOL;
    for (const std::string& arg : args) {
        command += " " + quoted(arg);
    }
    command += " <" + in + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    for (const std::string& path : {in, out, err})
        std::remove(path.c_str());
    return run;
}

TEST(PduTool, DecodesADeliverWithEveryKey) {
    const ToolRun run =
        run_tool({"decode", "07912143658709F1040B912143658709F100009930925161958005e8329bfd06"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "type: SMS-DELIVER\n"
                       "sca: 912143658709F1\n"
                       "pdu_type: 04\n"
                       "address: 912143658709F1\n"
                       "pid: 00\n"
                       "dcs: 00\n"
                       "scts: 99309251619580\n"
                       "vp: \n"
                       "udl: 05\n"
                       "ud: e8329bfd06\n"
                       "smsc: +12345678901\n"
                       "number: +12345678901\n"
                       "international: 1\n"
                       "date: 1999-03-29\n"
                       "time: 15:16:59\n"
                       "tz_quarters: 8\n"
                       "coding: gsm7\n"
                       "udhi: 0\n"
                       "concat: \n"
                       "text: hello\n");
}

TEST(PduTool, DetectsSubmitsAndHonoursNoSca) {
    const ToolRun run = run_tool({"decode", "--no-sca", "11000B914316565811F90000AA04E8373B0C"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("type: SMS-SUBMIT\n"), std::string::npos);
    EXPECT_NE(run.out.find("sca: \n"), std::string::npos);
    EXPECT_NE(run.out.find("vp: AA\n"), std::string::npos);
    EXPECT_NE(run.out.find("number: +34616585119\n"), std::string::npos);
    EXPECT_NE(run.out.find("date: \n"), std::string::npos);
    EXPECT_NE(run.out.find("text: hola\n"), std::string::npos);
}

TEST(PduTool, ShowsConcatenationAndEscapesLineBreaks) {
    // An 8-bit reference header, then "a", line feed, "b", backslash, "c" in 7-bit.
    const ToolRun run =
        run_tool({"decode", "00440B912143658709F10000993092516195800D050003CC0201C20AF1E63506"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("udhi: 1\n"), std::string::npos);
    EXPECT_NE(run.out.find("concat: 204/2/1\n"), std::string::npos);
    EXPECT_NE(run.out.find("text: a\\nb\\\\c\n"), std::string::npos) << run.out;
}

TEST(PduTool, RejectsMalformedPdusWithStatusOne) {
    for (const char* pdu : {"07912143658709F1040B91214365", "zz", "079121436587"}) {
        const ToolRun run = run_tool({"decode", pdu});
        EXPECT_EQ(run.status, 1) << pdu;
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("malformed PDU"), std::string::npos) << run.err;
    }
    EXPECT_EQ(run_tool({"decode", "0002"}).status, 1) << "a status report is not decoded";
}

// The report on message 64 published by faucamp/python-gsmmodem (issue #44).
TEST(PduTool, DecodesAStatusReport) {
    const ToolRun run =
        run_tool({"decode", "079119890400202306400C91197909913764511090718384225110907183252200"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "type: SMS-STATUS-REPORT\nsmsc: +919840000232\nreference: 64\n"
                       "number: +919790197346\nscts: 2015-01-09 17:38:48\n"
                       "discharge: 2015-01-09 17:38:52\nstatus: 00\nstatus_text: delivered\n");
}

TEST(PduTool, ReadsOnePduPerLineFromStandardInput) {
    const ToolRun run = run_tool({"decode", "-"}, "0001000B914316565811F9000004E8373B0C\r\n"
                                                  "\n"
                                                  "bad\n"
                                                  "0001000B914356143254F6001306E8721E947F03\n");
    EXPECT_EQ(run.status, 1) << "one line was malformed";
    EXPECT_NE(run.out.find("text: hola\n\ntype: SMS-SUBMIT"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("text: hey yo\n"), std::string::npos);
    EXPECT_NE(run.err.find("malformed PDU"), std::string::npos);
}

TEST(PduTool, EncodesTheWorkedExampleWithItsOctetCount) {
    const ToolRun run = run_tool({"encode", "--sca", "+12345678901", "--to", "+123456789",
                                  "--class", "0", "--vp", "FF", "abc"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "07912143658709F11100099121436587F900f0FF0361f118\n16\n");
}

TEST(PduTool, EncodesEachLineAndRefusesWhatThePhoneCannotTake) {
    const ToolRun lines = run_tool({"encode", "--to", "0123", "--reply", "-"}, "abc\nhello\n");
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(lines.out, "0021000481103200000361f118\n12\n\n00210004811032000005e8329bfd06\n14\n");
    EXPECT_EQ(run_tool({"encode", "--to", "0123", "--8bit", "Καλημέρα"}).status, 1);
    EXPECT_EQ(run_tool({"encode", "--to", "0123", "--dcs", "2C", "x"}).status, 1);
    EXPECT_EQ(run_tool({"encode", "--to", "0123", "--dcs", "2", "x"}).status, 2);
    EXPECT_EQ(run_tool({"encode", "--to", std::string(31, '1'), "x"}).status, 1);
    EXPECT_EQ(run_tool({"encode", "--to", "0123", "--vp", "XYZ", "x"}).status, 1);
    EXPECT_EQ(run_tool({"encode", "--to", "0123", "--class", "4", "x"}).status, 2);
    EXPECT_EQ(run_tool({"encode", "x"}).status, 2);
}

} // namespace

namespace {

// The lines of a text.
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

// The "key: value" of a decode report.
std::string field(const std::string& report, const std::string& key) {
    for (const std::string& line : lines_of(report))
        if (line.rfind(key + ": ", 0) == 0)
            return line.substr(key.size() + 2);
    return "<none>";
}

std::string decoded(const std::string& pdu, const std::string& key) {
    return field(run_tool({"decode", "--submit", pdu}).out, key);
}

TEST(PduTool, EncodesInTheCodingTheTextOrTheOptionsAsk) {
    // Greek needs UCS2 and gets it without being asked.
    auto lines = lines_of(run_tool({"encode", "--to", "0123", "Καλημέρα"}).out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(decoded(lines[0], "coding"), "ucs2");
    EXPECT_EQ(decoded(lines[0], "dcs"), "08");
    EXPECT_EQ(decoded(lines[0], "text"), "Καλημέρα");
    EXPECT_EQ(lines[1], "25");

    for (const auto& [option, coding] :
         {std::pair{"--ucs2", "ucs2"}, std::pair{"--8bit", "8bit"}, std::pair{"--dcs", "ucs2"}}) {
        std::vector<std::string> args = {"encode", "--to", "0123", option};
        if (std::string(option) == "--dcs")
            args.push_back("08");
        args.push_back("hello");
        lines = lines_of(run_tool(args).out);
        ASSERT_EQ(lines.size(), 2u) << option;
        EXPECT_EQ(decoded(lines[0], "coding"), coding) << option;
        EXPECT_EQ(decoded(lines[0], "text"), "hello") << option;
    }

    // The extension table keeps "€" and "[" in 7-bit, two septets each.
    lines = lines_of(run_tool({"encode", "--to", "0123", "--class", "1", "€["}).out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(decoded(lines[0], "dcs"), "f1");
    EXPECT_EQ(decoded(lines[0], "udl"), "04");
    EXPECT_EQ(decoded(lines[0], "text"), "€[");
}

TEST(PduTool, PrintsOnePduAndCountPerPartOfALongText) {
    std::string greek;
    for (int i = 0; i < 100; ++i)
        greek += "ω";
    const ToolRun run = run_tool({"encode", "--to", "0123", "--ref", "200", greek});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = lines_of(run.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(decoded(lines[0], "concat"), "200/2/1");
    EXPECT_EQ(decoded(lines[2], "concat"), "200/2/2");
    EXPECT_EQ(lines[1], "149");
    EXPECT_EQ(lines[3], "81");
    EXPECT_EQ(decoded(lines[0], "text") + decoded(lines[2], "text"), greek);

    const auto seven = lines_of(run_tool({"encode", "--to", "0123", std::string(161, 'x')}).out);
    ASSERT_EQ(seven.size(), 4u);
    EXPECT_EQ(decoded(seven[0], "text") + decoded(seven[2], "text"), std::string(161, 'x'));
}

} // namespace

namespace {

TEST(PduTool, DecodesEachPartOfALongMessageWithItsReference) {
    // "Uno, due, tre!" in three UCS2 parts of reference 42, as a phone holds them.
    const ToolRun run = run_tool(
        {"decode", "-"},
        "07912143658709F1440B912143658709F10008993092516195800E0500032A03030074007200650021\n"
        "07912143658709F1440B912143658709F1000899309251619580100500032A03010055006E006F002C0020\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto blocks = run.out.find("\n\n");
    ASSERT_NE(blocks, std::string::npos);
    EXPECT_EQ(field(run.out.substr(0, blocks + 1), "concat"), "42/3/3");
    EXPECT_EQ(field(run.out.substr(0, blocks + 1), "text"), "tre!");
    EXPECT_EQ(field(run.out.substr(blocks + 2), "concat"), "42/3/1");
    EXPECT_EQ(field(run.out.substr(blocks + 2), "text"), "Uno, ");
}

} // namespace
