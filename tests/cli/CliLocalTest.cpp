// telvane-cli without a phone: the archive, a captured log, usage errors, the database refused,
// and what the binary links.

#include "cli/CliEngineSetup.h"
#include "cli/CliTestSetup.h"
#include "serial/FakeSystem.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class CliLocalTest : public ::testing::Test, public CliTestBase {};
// The commands that use the database, on both engines.
class CliLocalDatabaseTest : public OnBothEngines<CliLocalTest> {};
TELVANE_ON_BOTH_ENGINES(CliLocalDatabaseTest);

TEST_P(CliLocalDatabaseTest, ArchiveListsInFirstAndSearches) {
    ASSERT_TRUE(Run("INSERT INTO Phonebook (Pos, Numero, Nome, Type) VALUES "
                    "('1', '+3912345', 'Mario', '145');"
                    "INSERT INTO SMS_IN (Messaggio, SCA, Mittente, DateTime) VALUES "
                    "('Ciao \"tu\", ok', '+39', '+3912345', '2024-03-29 15:16:59');"
                    "INSERT INTO SMS_OUT (Messaggio, SCA, Mittente) VALUES "
                    "('line1\nline2', '+39', '555');"));
    const CliResult in = Cli({"--format", "csv", "archive"});
    EXPECT_EQ(in.status, 0) << in.err;
    EXPECT_EQ(
        SplitLines(in.out),
        (Lines{"N,TYPE,STAT,SMS,DATE,TIME.,MITT./DEST.,Assoc. rubrica.,SCA.",
               "1,IN,CABBITTO,\"Ciao \"\"tu\"\", ok\",29/03/24,15:16.59,+3912345,Mario,+39"}));
    const CliResult both = Cli({"archive", "--out", "--in", "--format", "json"});
    const Lines objects = SplitLines(both.out);
    ASSERT_EQ(objects.size(), 2U);
    EXPECT_NE(objects[1].find(R"("SMS":"line1\nline2")"), std::string::npos) << objects[1];
    const CliResult text = Cli({"archive", "--out"});
    EXPECT_NE(text.out.find("line1 line2"), std::string::npos) << text.out;
    const CliResult found =
        Cli({"--format", "json", "archive", "--in", "--out", "--search", "LINE2"});
    EXPECT_EQ(SplitLines(found.out).size(), 1U) << found.out;
    EXPECT_NE(found.out.find("555"), std::string::npos);
}

// The loader's own account of every library it maps, at start or later: the client library of
// the server comes only with a server database.
TEST_P(CliLocalDatabaseTest, LoadsThePostgreSQLClientOnlyForAServerDatabase) {
    Lines arguments = leading;
    arguments.emplace_back("archive");
    CliProcess cli(dir.path.string(), arguments);
    cli.AddEnvironment({"LD_DEBUG=files", "LD_DEBUG_OUTPUT=" + dir.File("loader")});
    const CliResult result = cli.Run();
    EXPECT_EQ(result.status, 0) << result.err;
    std::string loaded;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path))
        if (entry.path().filename().string().starts_with("loader."))
            loaded += CliProcess::ReadFile(entry.path().string());
    ASSERT_NE(loaded.find("file=libsqlite3.so.0"), std::string::npos) << "no account: " << loaded;
    const bool client = loaded.find("file=libpq.so.5") != std::string::npos;
    EXPECT_EQ(client, GetParam() == Engine::Server);
}

TEST_F(CliLocalTest, LogListsTheCapturedMessages) {
    std::ofstream(dir.File("modem.log")) << "AT+CMGL=4\r\n+CMGL: 3,1,,22\r\n"
                                         << kHelloPdu << "\r\nOK\r\n";
    const CliResult result = Cli({"--format", "csv", "log", "modem.log"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(SplitLines(result.out).at(1),
              "3,IN,READ,hello,29/03/99,15:16.59 (8),+12345678901,,+12345678901");
    EXPECT_EQ(result.err, "Information: Read succesfully 4 lines\n");
    const CliResult missing = Cli({"log", "missing.log"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Telvane: Cannot open file\n");
    // A folder is no log, and not a log of no lines.
    std::filesystem::create_directories(dir.File("logs"));
    const CliResult folder = Cli({"log", "logs"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "telvane-cli: logs: is a folder, not a log file\n");
}

// The rows of a log stream out at once unless a PDU could be part of a long message: its part
// column is then settled only when every row is known, however late the part comes.
TEST_F(CliLocalTest, LogHasThePartColumnOnlyWhenAPduCarriesAHeader) {
    constexpr const char* kPartPdu =
        "07912143658709F1440B912143658709F1000899309251619580100500032A03010055006E006F002C0020";
    const auto write = [this](const std::string& name, const std::string& last) {
        std::ofstream log(dir.File(name));
        for (int group = 0; group < 3000; ++group) // several batches of the loader
            log << "+CMGL: " << group + 1 << ",1,,22\r\n" << kHelloPdu << "\r\n";
        log << "+CMGL: 9999,1,,40\r\n" << last << "\r\nOK\r\n";
    };
    write("plain.log", kHelloPdu);
    write("part.log", std::string(kPartPdu) + " \t"); // blanks after it, as a terminal leaves
    const CliResult plain = Cli({"--format", "csv", "log", "plain.log"});
    const Lines plainLines = SplitLines(plain.out);
    ASSERT_EQ(plainLines.size(), 3002U) << plain.err;
    EXPECT_EQ(plainLines.front(), "N,TYPE,STAT,SMS,DATE,TIME.,MITT./DEST.,Assoc. rubrica.,SCA.");

    const CliResult part = Cli({"--format", "csv", "log", "part.log"});
    const Lines partLines = SplitLines(part.out);
    ASSERT_EQ(partLines.size(), 3002U) << part.err;
    EXPECT_EQ(partLines.front(), plainLines.front() + ",PART");
    EXPECT_EQ(partLines[1], plainLines[1] + ",");
    EXPECT_EQ(partLines.back().substr(partLines.back().size() - 4), ",1/3") << partLines.back();
    const CliResult json = Cli({"--format", "json", "log", "part.log"});
    EXPECT_NE(json.out.find(R"("PART":"1/3")"), std::string::npos);
}

TEST_F(CliLocalTest, DatabaseThatDoesNotOpenEndsWithOne) {
    const CliResult result = Cli({"--db", "missing.mdb", "archive"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Question: Cannot open DB, do you want to select another file ? [No]\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.mdb")));
}

TEST_F(CliLocalTest, PortThatDoesNotOpenEndsWithOne) {
    const CliResult result = Cli({"--port", dir.File("no-such-port"), "read"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    // One line, with the path and the cause.
    const Lines lines = SplitLines(result.err);
    ASSERT_EQ(lines.size(), 1U) << result.err;
    EXPECT_TRUE(lines[0].starts_with("telvane-cli: cannot create com device: ")) << result.err;
    EXPECT_NE(lines[0].find(dir.File("no-such-port")), std::string::npos) << result.err;
}

TEST_F(CliLocalTest, UsageErrorsEndWithTwo) {
    for (const Lines& arguments :
         {Lines{}, Lines{"bogus"}, Lines{"read", "--store"}, Lines{"send", "abc"},
          Lines{"--format", "xml", "ports"}, Lines{"read", "--memory", "XX"},
          Lines{"send", "--to", "1", "--class", "4", "abc"}, Lines{"log"},
          Lines{"counts", "--port"}}) {
        const CliResult result = Cli(arguments);
        EXPECT_EQ(result.status, 2) << testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("Usage: telvane-cli"), std::string::npos);
    }
    const CliResult help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: telvane-cli"));
}

TEST_F(CliLocalTest, PortsListsTheDiscoveredPortsWithTheirUsbDetails) {
    FakeSystem sys;
    const std::string usb = "pci0000:00/usb1/1-2";
    sys.Write("sys/devices/" + usb + "/idVendor", "12d1");
    sys.Write("sys/devices/" + usb + "/idProduct", "1001");
    sys.Write("sys/devices/" + usb + "/manufacturer", "HUAWEI");
    sys.Write("sys/devices/" + usb + "/product", "Mobile");
    sys.Write("sys/devices/" + usb + "/1-2:1.2/bInterfaceNumber", "02");
    sys.Tty("ttyUSB2", usb + "/1-2:1.2/ttyUSB2", "");
    sys.Link("../../ttyUSB2", "dev/serial/by-id/usb-HUAWEI_Mobile-if02-port0");
    ::setenv("TELVANE_SYSROOT", sys.Root().c_str(), 1);
    const CliResult result = Cli({"--format", "csv", "ports"});
    ::unsetenv("TELVANE_SYSROOT");
    EXPECT_EQ(result.status, 0) << result.err;
    const Lines lines = SplitLines(result.out);
    ASSERT_EQ(lines.size(), 3U) << result.out;
    EXPECT_EQ(lines[0], "Port,Device,Description");
    EXPECT_TRUE(
        lines[1].starts_with("/dev/serial/by-id/usb-HUAWEI_Mobile-if02-port0,/dev/ttyUSB2,"))
        << lines[1];
    EXPECT_NE(lines[1].find("12d1:1001"), std::string::npos) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("/dev/ttyUSB2,/dev/ttyUSB2,")) << lines[2];
}

TEST(CliBinaryTest, LinksNoQtWidgets) {
    std::FILE* pipe = popen("ldd " TELVANE_CLI, "r");
    ASSERT_NE(pipe, nullptr);
    std::string libraries;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        libraries += buffer.data();
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_NE(libraries.find("libsqlite3"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("Qt6Widgets"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("Qt6Gui"), std::string::npos) << libraries;
}

} // namespace
