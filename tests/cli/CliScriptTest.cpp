// telvane-cli as a script uses it, against telvane-phonesim: the machine formats read back by
// Qt's JSON reader and Python's CSV reader, the commands on storage positions, the phonebook's
// writes, the phone's identity and USSD, and the faults told once.

#include "cli/CliEngineSetup.h"
#include "cli/CliTestSetup.h"
#include "cli/MachineOutput.h"
#include "common/PhoneSim.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const Lines kRecordKeys = {"memory", "index",     "status", "type",   "number", "name",
                           "smsc",   "time",      "text",   "coding", "class",  "part",
                           "parts",  "reference", "error",  "pdu"};

// From +12345678901, UCS2 "Zoë", 29/03/99 15:16:59 at -01:00.
constexpr const char* kUcs2Pdu = "07912143658709F1040B912143658709F1000899309251619548"
                                 "06005A006F00EB";
// A PDU cut inside its user data.
constexpr const char* kCutPdu = "07912143658709F1040B912143658709F1000099309251619580";

class CliScriptTest : public ::testing::Test, public CliTestBase {
protected:
    void Phone(const std::string& fixture, std::vector<std::string> extra = {}) {
        phone.emplace(PhoneSimOptions{fixture, 115200, std::move(extra)});
    }
    CliResult OnPhone(Lines arguments, const std::string& input = {}) {
        arguments.insert(arguments.begin(), {"--port", phone->LinkPath()});
        return Cli(arguments, input);
    }
    Lines Received() const { return phone->Received(); }

    std::optional<PhoneSim> phone;
};

// The commands that store in the database, on both engines.
class CliScriptDatabaseTest : public OnBothEngines<CliScriptTest> {};
TELVANE_ON_BOTH_ENGINES(CliScriptDatabaseTest);

// Positions 2 (read), 5 (cut), 7 (sent), 9 (UCS2, unread) and 200, past where the window's walk
// stops.
std::string StoredMessages() {
    return "capacity SM 255\n" + Sms(2, 1, kHelloPdu) + Sms(5, 1, kCutPdu) + Sms(7, 3, kSubmitPdu) +
           Sms(9, 0, kUcs2Pdu) + Sms(200, 1, kHelloPdu);
}

TEST_F(CliScriptTest, ReadAllGivesEveryPositionWithTheSameKeysInJson) {
    Phone(StoredMessages());
    ASSERT_TRUE(RunSql(database, "INSERT INTO Phonebook (Pos, Numero, Nome, Type) VALUES "
                                 "('1', '+12345678901', 'Mario', '145');"));
    const CliResult result = OnPhone({"--format", "json", "read", "--all"});
    EXPECT_EQ(result.status, 0) << result.err; // a message that does not decode is no failure
    const std::vector<QJsonObject> records = JsonLines(result.out);
    ASSERT_EQ(records.size(), 5U) << result.out;
    std::vector<int> positions;
    for (const QJsonObject& record : records) {
        Lines keys = kRecordKeys;
        std::ranges::sort(keys);
        EXPECT_EQ(KeysOf(record), keys);
        positions.push_back(record["index"].toInt());
    }
    EXPECT_EQ(positions, (std::vector<int>{2, 5, 7, 9, 200}));
    const QJsonObject& hello = records[0];
    EXPECT_EQ(Str(hello, "status"), "read");
    EXPECT_EQ(Str(hello, "type"), "deliver");
    EXPECT_EQ(Str(hello, "number"), "+12345678901");
    EXPECT_EQ(Str(hello, "name"), "Mario");
    EXPECT_EQ(Str(hello, "time"), "1999-03-29T15:16:59+02:00");
    EXPECT_EQ(Str(hello, "text"), "hello");
    EXPECT_TRUE(hello["class"].isNull());
    EXPECT_TRUE(hello["part"].isNull());
    // Undecodable: the raw PDU and why, and a warning on standard error.
    EXPECT_EQ(Str(records[1], "pdu"), kCutPdu);
    EXPECT_FALSE(Str(records[1], "error").empty());
    EXPECT_NE(result.err.find("warning: message SM 5"), std::string::npos) << result.err;
    // A sent message names its recipient, decoded from its PDU.
    EXPECT_EQ(Str(records[2], "type"), "submit");
    EXPECT_EQ(Str(records[2], "status"), "sent");
    EXPECT_EQ(Str(records[2], "number"), "+123456789");
    EXPECT_EQ(records[2]["class"].toInt(-1), 0);
    EXPECT_EQ(Str(records[3], "text"), "Zoë");
    EXPECT_EQ(Str(records[3], "coding"), "ucs2");
    EXPECT_EQ(Str(records[3], "status"), "unread");
    EXPECT_EQ(Str(records[3], "time"), "1999-03-29T15:16:59-01:00");
    // One exchange lists them all.
    EXPECT_EQ(Starting(Received(), "AT+CMGL"), (Lines{"AT+CMGL=4"}));
    EXPECT_TRUE(Starting(Received(), "AT+CMGR").empty());
}

TEST_F(CliScriptTest, ReadAllInCsvHasAFixedHeaderThatNoHeaderLeavesOut) {
    if (!HavePython())
        GTEST_SKIP() << "python3 with its csv module is not installed";
    Phone(StoredMessages());
    const CliResult result = OnPhone({"--format", "csv", "read", "--all"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::optional<CsvRows> rows = ReadCsv(result.out, dir.path.string());
    ASSERT_TRUE(rows) << result.out;
    ASSERT_EQ(rows->size(), 6U);
    EXPECT_EQ(rows->front(), kRecordKeys);
    for (const auto& row : *rows)
        EXPECT_EQ(row.size(), kRecordKeys.size());
    EXPECT_EQ((*rows)[1][1], "2");
    EXPECT_EQ((*rows)[1][8], "hello");
    EXPECT_EQ((*rows)[4][8], "Zoë");
    EXPECT_EQ((*rows)[5][1], "200");
    // Appending runs to one file: no header in between.
    const CliResult more = OnPhone({"--format", "csv", "--no-header", "read", "--all"});
    const std::optional<CsvRows> moreRows = ReadCsv(more.out, dir.path.string());
    ASSERT_TRUE(moreRows);
    ASSERT_EQ(moreRows->size(), 5U);
    EXPECT_EQ(moreRows->front()[1], "2");
    // The text form keeps to a few columns, every position listed too.
    const CliResult text = OnPhone({"read", "--all"});
    const Lines lines = SplitLines(text.out);
    ASSERT_EQ(lines.size(), 6U) << text.out;
    EXPECT_TRUE(lines[0].starts_with("INDEX  STATUS")) << lines[0];
    EXPECT_TRUE(lines[5].starts_with("200")) << lines[5];
}

// The window's walk (AT+CMGR one position at a time) prints what read --all prints.
TEST_F(CliScriptTest, PlainReadInMachineFormatsGivesTheKeysOfReadAll) {
    // A fresh phone for each run: a read marks an unread message read.
    const std::string stored =
        "capacity SM 255\n" + Sms(2, 1, kHelloPdu) + Sms(7, 3, kSubmitPdu) + Sms(9, 0, kUcs2Pdu);
    Phone(stored);
    const CliResult all = OnPhone({"--format", "json", "read", "--all"});
    Phone(stored);
    const CliResult walked = OnPhone({"--format", "json", "read"});
    EXPECT_EQ(walked.status, 0) << walked.err;
    EXPECT_FALSE(Starting(Received(), "AT+CMGR=").empty()) << "not the window's walk";
    EXPECT_EQ(walked.out, all.out);
    const std::vector<QJsonObject> records = JsonLines(walked.out);
    ASSERT_EQ(records.size(), 3U) << walked.out;
    Lines keys = kRecordKeys;
    std::ranges::sort(keys);
    std::vector<int> positions;
    for (const QJsonObject& record : records) {
        EXPECT_EQ(KeysOf(record), keys);
        positions.push_back(record["index"].toInt());
    }
    EXPECT_EQ(positions, (std::vector<int>{2, 7, 9}));
    EXPECT_EQ(Str(records[1], "number"), "+123456789"); // the recipient of the sent one
    EXPECT_EQ(Str(records[2], "status"), "unread");
    EXPECT_EQ(Str(records[2], "text"), "Zoë");
    if (!HavePython())
        GTEST_SKIP() << "python3 with its csv module is not installed";
    Phone(stored);
    const CliResult csv = OnPhone({"--format", "csv", "read"});
    const std::optional<CsvRows> rows = ReadCsv(csv.out, dir.path.string());
    ASSERT_TRUE(rows) << csv.out;
    ASSERT_EQ(rows->size(), 4U) << csv.out;
    EXPECT_EQ(rows->front(), kRecordKeys);
    EXPECT_EQ((*rows)[1][1], "2");
    EXPECT_EQ((*rows)[3][8], "Zoë");
}

TEST_F(CliScriptTest, AListLongerOnTheLineThanTheAnswerLimitIsReadWhole) {
    // 18 messages of 160 characters take about 6.5 s at 9600 baud, past the 5.2 s an answer may
    // take: the limit counts from the last line that came.
    const std::string pdu = std::string(kHelloPdu).substr(0, 52) + "A0" + std::string(280, '6');
    std::string fixture;
    for (int index = 1; index <= 18; ++index)
        fixture += Sms(index, 1, pdu.c_str());
    phone.emplace(PhoneSimOptions{fixture, 9600, {}});
    const CliResult result = OnPhone({"--baud", "9600", "--format", "json", "read", "--all"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::vector<QJsonObject> records = JsonLines(result.out);
    ASSERT_EQ(records.size(), 18U);
    EXPECT_EQ(Str(records[17], "error"), "");
    EXPECT_EQ(Str(records[17], "text"), Str(records[0], "text"));
    EXPECT_FALSE(Str(records[0], "text").empty());
}

TEST_F(CliScriptTest, JoinPrintsALongMessageOnceInPartOrder) {
    // The parts the command line itself sends, stored out of order on a second phone.
    Phone("");
    const std::string text = std::string(150, 'a') + std::string(150, 'b') + "end";
    ASSERT_EQ(OnPhone({"send", "--to", "+123456789", "--sca", "+12345678901", text}).status, 0);
    const Lines parts = phone->SentPdus();
    ASSERT_EQ(parts.size(), 2U);
    Phone(Sms(4, 3, parts[1].c_str()) + Sms(6, 1, kHelloPdu) + Sms(9, 3, parts[0].c_str()));
    const CliResult split = OnPhone({"--format", "json", "read", "--all"});
    const std::vector<QJsonObject> each = JsonLines(split.out);
    ASSERT_EQ(each.size(), 3U);
    EXPECT_EQ(each[0]["part"].toInt(), 2);
    EXPECT_EQ(each[0]["parts"].toInt(), 2);
    EXPECT_EQ(each[0]["reference"].toInt(-1), each[2]["reference"].toInt(-2));
    const CliResult joined = OnPhone({"--format", "json", "read", "--all", "--join"});
    EXPECT_EQ(joined.status, 0) << joined.err;
    const std::vector<QJsonObject> once = JsonLines(joined.out);
    ASSERT_EQ(once.size(), 2U) << joined.out;
    EXPECT_EQ(once[0]["index"].toInt(), 4);
    EXPECT_EQ(Str(once[0], "text"), text);
    EXPECT_TRUE(once[0]["part"].isNull());
    EXPECT_EQ(once[0]["parts"].toInt(), 2);
    EXPECT_EQ(Str(once[1], "text"), "hello");
}

TEST_F(CliScriptTest, GetAndDeleteWorkOnStoragePositions) {
    Phone(StoredMessages());
    const CliResult got = OnPhone({"--format", "json", "get", "7"});
    EXPECT_EQ(got.status, 0) << got.err;
    const std::vector<QJsonObject> one = JsonLines(got.out);
    ASSERT_EQ(one.size(), 1U);
    EXPECT_EQ(one[0]["index"].toInt(), 7);
    EXPECT_EQ(Str(one[0], "text"), "abc");
    EXPECT_EQ(Received().back(), "AT+CMGR=7");
    const CliResult empty = OnPhone({"get", "3"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "telvane-cli: " + phone->LinkPath() + ": AT+CMGR=3: +CMS ERROR: 321\n");

    const CliResult deleted = OnPhone({"delete", "2", "200"});
    EXPECT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(Starting(Received(), "AT+CMGD"), (Lines{"AT+CMGD=2", "AT+CMGD=200"}));
    const CliResult left = OnPhone({"--format", "json", "read", "--all"});
    std::vector<int> positions;
    for (const QJsonObject& record : JsonLines(left.out))
        positions.push_back(record["index"].toInt());
    EXPECT_EQ(positions, (std::vector<int>{5, 7, 9}));

    // --all asks; anything but yes deletes nothing and sends nothing.
    const std::size_t before = Received().size();
    const CliResult declined = OnPhone({"delete", "--all"}, "n\n");
    EXPECT_EQ(declined.status, 1);
    EXPECT_EQ(Received().size(), before);
    const CliResult all = OnPhone({"--yes", "delete", "--all"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(Received().back(), "AT+CMGD=1,4");
    EXPECT_EQ(OnPhone({"--format", "csv", "counts"}).out, "Memory,Count\nSM,0\nME,0\n");
}

TEST_F(CliScriptTest, SendAsksForAReportAndAValidityAndNamesNoClassUnlessAsked) {
    Phone("");
    const Lines base = {"send", "--to", "+123456789", "--sca", "+12345678901"};
    const auto sent = [&](Lines extra) {
        Lines arguments = base;
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        arguments.emplace_back("abc");
        EXPECT_EQ(OnPhone(arguments).status, 0);
        return phone->SentPdus().back();
    };
    // First octet, reference, recipient, PID, DCS, validity: 11 no report, 31 with one; DCS 00
    // no class, f0 class 0; validity ff the longest, 17 two hours, a9 three days.
    EXPECT_EQ(sent({}), "07912143658709F11100099121436587F90000FF0361f118");
    EXPECT_EQ(sent({"--report", "--validity", "3d"}),
              "07912143658709F13100099121436587F90000a90361f118");
    EXPECT_EQ(sent({"--reply", "--validity", "2h", "--flash"}),
              "07912143658709F13100099121436587F900f0170361f118");
}

TEST_F(CliScriptTest, SmscIsReadAndSet) {
    Phone("");
    const CliResult shown = OnPhone({"--format", "json", "smsc"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    const std::vector<QJsonObject> value = JsonLines(shown.out);
    ASSERT_EQ(value.size(), 1U);
    EXPECT_EQ(Str(value[0], "smsc"), "+31624000000");
    const CliResult set = OnPhone({"smsc", "+39 335-1234"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(Received().back(), "AT+CSCA=\"+393351234\",145");
    EXPECT_EQ(OnPhone({"smsc"}).out, "smsc\n+393351234\n");
    EXPECT_EQ(OnPhone({"smsc", "12ab!"}).status, 2);
}

TEST_F(CliScriptTest, PhonebookWriteAndDeleteSpeakThePhonesCharset) {
    Phone("phonebook SM 1 145 \"+12345678901\" \"Rossi\"\n");
    const CliResult written = OnPhone({"phonebook", "write", "3", "+39 333 11", "Zoë"});
    EXPECT_EQ(written.status, 0) << written.err;
    // The name goes as UCS2, as the read asks for it, and the phone's set is put back.
    EXPECT_EQ(Starting(Received(), "AT+CPBW"),
              (Lines{"AT+CPBW=3,\"+3933311\",145,\"005A006F00EB\""}));
    EXPECT_EQ(Starting(Received(), "AT+CSCS=\"").back(), "AT+CSCS=\"IRA\"");
    const CliResult listed = OnPhone({"--format", "json", "phonebook"});
    const std::vector<QJsonObject> rows = JsonLines(listed.out);
    ASSERT_EQ(rows.size(), 2U) << listed.out;
    EXPECT_EQ(Str(rows[1], "Name"), "Zoë");
    EXPECT_EQ(Str(rows[1], "Number"), "+3933311");

    EXPECT_EQ(OnPhone({"phonebook", "delete", "1"}).status, 0);
    EXPECT_EQ(Received().back().substr(0, 9), "AT+CSCS=\""); // restored after the erase
    EXPECT_EQ(JsonLines(OnPhone({"--format", "json", "phonebook"}).out).size(), 1U);

    const std::size_t before = Received().size();
    EXPECT_EQ(OnPhone({"phonebook", "write", "4", "xyz", "X"}).status, 2);
    EXPECT_EQ(OnPhone({"phonebook", "write", "4", "123", "a\"b"}).status, 2);
    EXPECT_EQ(Received().size(), before);
    const CliResult outside = OnPhone({"phonebook", "write", "999", "123", "X"});
    EXPECT_EQ(outside.status, 1);
    EXPECT_NE(outside.err.find("position 999"), std::string::npos) << outside.err;
}

TEST_P(CliScriptDatabaseTest, PhonebookGoesOutAndComesInAsVcards) {
    Phone("phonebook SM 1 145 \"+12345678901\" \"Rossi\"\nphonebook SM 2 129 \"0123\" \"Anna\"\n");
    const CliResult exported = OnPhone({"phonebook", "export", "--vcard"});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.out.find("FN:Rossi"), std::string::npos) << exported.out;
    EXPECT_NE(exported.out.find("FN:Anna"), std::string::npos);
    std::ofstream(dir.File("book.vcf")) << exported.out;

    // Into the phone memory: the free positions, lowest first.
    Phone("phonebook ME 1 129 \"555\" \"Kept\"\n");
    const CliResult imported = OnPhone({"phonebook", "import", "book.vcf", "--memory", "ME"});
    EXPECT_EQ(imported.status, 0) << imported.err;
    const Lines writes = Starting(Received(), "AT+CPBW");
    ASSERT_EQ(writes.size(), 2U);
    EXPECT_TRUE(writes[0].starts_with("AT+CPBW=2,\"+12345678901\",145,")) << writes[0];
    EXPECT_TRUE(writes[1].starts_with("AT+CPBW=3,\"0123\",129,")) << writes[1];
    // Into the database, no phone needed.
    const CliResult stored = Cli({"phonebook", "import", "book.vcf", "--memory", "db"});
    EXPECT_EQ(stored.status, 0) << stored.err;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Phonebook"), 2);
    std::ofstream(dir.File("bad.vcf")) << "not a card\n";
    EXPECT_EQ(Cli({"phonebook", "import", "bad.vcf", "--memory", "db"}).status, 1);
}

TEST_F(CliScriptTest, InfoTellsWhoThePhoneIsAndItsSignalInDbm) {
    Phone("");
    const CliResult info = OnPhone({"--format", "json", "info"});
    EXPECT_EQ(info.status, 0) << info.err;
    const std::vector<QJsonObject> objects = JsonLines(info.out);
    ASSERT_EQ(objects.size(), 1U);
    EXPECT_EQ(KeysOf(objects[0]), (Lines{"imei", "imsi", "manufacturer", "model", "operator",
                                         "registration", "revision", "signal_dbm"}));
    EXPECT_EQ(Str(objects[0], "imei"), "490154203237518");
    EXPECT_EQ(Str(objects[0], "registration"), "home");
    // +CSQ: 21 is -113 + 2 * 21, a number in JSON.
    EXPECT_TRUE(objects[0]["signal_dbm"].isDouble()) << info.out;
    EXPECT_EQ(objects[0]["signal_dbm"].toInt(), -71);
    // A phone without SIM refuses the IMSI: that item is null, the rest is told; a signal the
    // phone does not know (99) is null too.
    Phone("reply AT+CIMI +CME ERROR: 10\nreply AT+CSQ +CSQ: 99,99|OK\n");
    const CliResult noSim = OnPhone({"--format", "json", "info"});
    const std::vector<QJsonObject> partial = JsonLines(noSim.out);
    ASSERT_EQ(partial.size(), 1U);
    EXPECT_TRUE(partial[0]["imsi"].isNull()) << noSim.out;
    EXPECT_TRUE(partial[0]["signal_dbm"].isNull()) << noSim.out;
    EXPECT_EQ(Str(partial[0], "model"), "PhoneSim GSM");
    EXPECT_NE(noSim.err.find("AT+CIMI: +CME ERROR: 10"), std::string::npos) << noSim.err;
    // CSV keeps every column, the missing ones empty.
    const CliResult csv = OnPhone({"--format", "csv", "--no-header", "info"});
    EXPECT_EQ(csv.out, "Telvane,PhoneSim GSM,1.0,490154203237518,,Test Network,home,\n");
}

TEST_F(CliScriptTest, UssdAnswerIsDecodedInItsCoding) {
    Phone("reply AT+CUSD=1,\"*100#\" OK|+CUSD: 0,\"Credit 5.00\",15\n"
          "reply AT+CUSD=1,\"*101#\" +CUSD: 0,\"005A006F00EB\",72|OK\n"
          "reply AT+CUSD=1,\"*102#\" +CUSD: 4\n"
          "reply AT+CUSD=1,\"*103#\" OK|+CUSD: 0,\"4379999CA6836A2E180C\",15\n"
          "reply AT+CUSD=1,\"*104#\" OK|+CUSD: 1,\"6577631A6693DFA019A8589502\",16\n"
          "reply AT+CUSD=1,\"*105#\" OK|+CUSD: 0,\"6537005A006F00EB\",17\n"
          "reply AT+CUSD=1,\"*106#\" OK|+CUSD: 0,\"5A6FEB\",68\n");
    const CliResult plain = OnPhone({"--format", "json", "ussd", "*100#"});
    EXPECT_EQ(plain.status, 0) << plain.err;
    const std::vector<QJsonObject> answer = JsonLines(plain.out);
    ASSERT_EQ(answer.size(), 1U);
    EXPECT_EQ(Str(answer[0], "text"), "Credit 5.00");
    const CliResult ucs2 = OnPhone({"--format", "json", "ussd", "*101#"});
    const std::vector<QJsonObject> decoded = JsonLines(ucs2.out);
    ASSERT_EQ(decoded.size(), 1U);
    EXPECT_EQ(Str(decoded[0], "text"), "Zoë");
    EXPECT_EQ(Str(decoded[0], "coding"), "ucs2");
    // Packed septets (DCS 15), 7-bit and UCS2 after their language (16, 17), 8-bit (68).
    const auto textOf = [this](const std::string& code) {
        const CliResult result = OnPhone({"--format", "csv", "--no-header", "ussd", code});
        EXPECT_EQ(result.status, 0) << code << ": " << result.err;
        return result.out;
    };
    EXPECT_EQ(textOf("*103#"), "0,gsm7,Credit 5.00\n");
    EXPECT_EQ(textOf("*104#"), "1,gsm7,Saldo 3 EUR\n");
    EXPECT_EQ(textOf("*105#"), "0,ucs2,Zoë\n");
    EXPECT_EQ(textOf("*106#"), "0,8bit,Zoë\n");
}

TEST_F(CliScriptTest, ASilentPhoneIsToldOnceAndAskedNothingMore) {
    Phone("", {"--silent"});
    const CliResult result = OnPhone({"counts"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "Telvane: No answer from the phone on " + phone->LinkPath() + " (ATE0)\n");
    EXPECT_EQ(Received(), (Lines{"ATE0"}));
}

TEST_F(CliScriptTest, CtrlCEndsAWaitOnASilentPhoneLongBeforeItsTimeOut) {
    Phone("", {"--silent"});
    CliProcess cli(dir.path.string(), {"--port", phone->LinkPath(), "counts"});
    ASSERT_TRUE(cli.Start());
    ASSERT_TRUE(phone->WaitForTranscript([&](const auto&) { return !Received().empty(); }, 20000));
    const auto signalled = std::chrono::steady_clock::now();
    cli.Signal(SIGINT);
    const CliResult result = cli.Wait();
    const auto waited = std::chrono::steady_clock::now() - signalled;
    EXPECT_EQ(result.status, 130) << result.err;
    // The exchange's own limit is 5.2 s; ending at the signal leaves it far behind.
    EXPECT_LT(waited, std::chrono::milliseconds(2500));
    EXPECT_EQ(Received(), (Lines{"ATE0"}));
}

TEST_F(CliScriptTest, WithoutAPortStoredItSaysSo) {
    const CliResult result = Cli({"counts"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "telvane-cli: no port given (--port PATH) and none stored in the "
                          "settings (File, \"IO Settings\" in the window)\n");
}

TEST_F(CliScriptTest, AReadOnlyDatabaseServesTheCommandsThatRead) {
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_IN (Messaggio, SCA, Mittente, DateTime) VALUES "
                                 "('kept', '+39', '+3912345', '2024-03-29 15:16:59');"));
    std::ofstream(dir.File("one.vcf")) << "BEGIN:VCARD\nVERSION:3.0\nFN:A\nTEL:1\nEND:VCARD\n";
    ASSERT_EQ(chmod(database.c_str(), 0444), 0);
    // Root writes into a file without write rights: the runs go as nobody then.
    std::vector<std::string> launcher;
    if (geteuid() == 0) {
        if (access("/usr/bin/setpriv", X_OK) != 0)
            GTEST_SKIP() << "running as root and setpriv is not installed";
        launcher = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
        ASSERT_EQ(chmod(dir.path.c_str(), 0777), 0);
    }
    const auto run = [&](const Lines& arguments) {
        CliProcess cli(dir.path.string(), arguments);
        cli.SetLauncher(launcher);
        return cli.Run();
    };
    const CliResult archive = run({"--format", "csv", "archive"});
    EXPECT_EQ(archive.status, 0) << archive.err;
    EXPECT_NE(archive.out.find("kept"), std::string::npos) << archive.out;
    // Writing still needs a file it may write.
    const CliResult import = run({"phonebook", "import", "one.vcf", "--memory", "db"});
    EXPECT_EQ(import.status, 1);
    EXPECT_NE(import.err.find("read-only"), std::string::npos) << import.err;
}

TEST_F(CliScriptTest, VersionNamesTheProgram) {
    const CliResult result = Cli({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(std::regex_match(result.out, std::regex("telvane-cli [0-9]+\\.[0-9]+.*\n")))
        << result.out;
}

// The man page's lists of keys are exactly what the program prints.
Lines ManPageKeys(const std::string& section) {
    std::ifstream in(TELVANE_SOURCE_DIR "/docs/telvane-cli.1");
    Lines keys;
    bool inside = false;
    bool term = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(".SS") || line.starts_with(".SH"))
            inside = line == ".SS \"" + section + "\"";
        else if (inside && line == ".TP")
            term = true;
        else if (inside && term && line.starts_with(".B ")) {
            std::string key = line.substr(3);
            key.erase(std::remove(key.begin(), key.end(), '\\'), key.end());
            keys.push_back(key);
            term = false;
        }
    }
    return keys;
}

Lines CsvHeader(const std::string& out) {
    Lines keys;
    std::stringstream header(SplitLines(out).at(0));
    for (std::string key; std::getline(header, key, ',');)
        keys.push_back(key);
    return keys;
}

TEST_F(CliScriptTest, TheManPageListsExactlyTheKeysPrinted) {
    Phone(StoredMessages());
    EXPECT_EQ(ManPageKeys("Message keys"), CsvHeader(OnPhone({"--format", "csv", "get", "2"}).out));
    EXPECT_EQ(ManPageKeys("Message keys"), kRecordKeys);
    EXPECT_EQ(ManPageKeys("Message keys"), CsvHeader(OnPhone({"--format", "csv", "read"}).out));
    EXPECT_EQ(ManPageKeys("Info keys"), CsvHeader(OnPhone({"--format", "csv", "info"}).out));
}

} // namespace
