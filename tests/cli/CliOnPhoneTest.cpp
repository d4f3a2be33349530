// telvane-cli against telvane-phonesim: what each command prints, in each format, what the
// phone received, and the exit statuses.

#include "cli/CliEngineSetup.h"
#include "cli/CliTestSetup.h"
#include "common/PhoneSim.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

namespace {

class CliOnPhoneTest : public ::testing::Test, public CliTestBase {
protected:
    void Phone(const std::string& fixture) { phone.emplace(PhoneSimOptions{fixture}); }

    // The command with --port of the simulator in front.
    CliResult OnPhone(Lines arguments, const std::string& input = {}) {
        arguments.insert(arguments.begin(), {"--port", phone->LinkPath()});
        return Cli(arguments, input);
    }

    Lines Received() const { return phone->Received(); }

    std::optional<PhoneSim> phone;
};

// The commands that store what they read or send, on both engines.
class CliOnPhoneDatabaseTest : public OnBothEngines<CliOnPhoneTest> {};
TELVANE_ON_BOTH_ENGINES(CliOnPhoneDatabaseTest);

// Three messages at scattered indexes of SM, none in ME.
const std::string kThreeMessages =
    Sms(2, 1, kHelloPdu) + Sms(5, 0, kHelloPdu) + Sms(7, 3, kSubmitPdu);

TEST_F(CliOnPhoneTest, CountsInEachFormat) {
    Phone(kThreeMessages);
    const CliResult text = OnPhone({"counts"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "Memory  Count\nSM      3\nME      0\n");
    EXPECT_EQ(text.err, "");
    const CliResult csv = OnPhone({"--format", "csv", "counts"});
    EXPECT_EQ(csv.out, "Memory,Count\nSM,3\nME,0\n");
    const CliResult json = OnPhone({"counts", "--format", "json"});
    EXPECT_EQ(json.out,
              "{\"Memory\":\"SM\",\"Count\":\"3\"}\n{\"Memory\":\"ME\",\"Count\":\"0\"}\n");
    EXPECT_EQ(Starting(Received(), "AT+CPMS="),
              (Lines{"AT+CPMS=\"SM\"", "AT+CPMS=\"ME\"", "AT+CPMS=\"SM\"", "AT+CPMS=\"ME\"",
                     "AT+CPMS=\"SM\"", "AT+CPMS=\"ME\""}));
}

TEST_F(CliOnPhoneTest, PortAndLineComeFromTheSettingsFile) {
    Phone(kThreeMessages);
    std::filesystem::create_directories(dir.File("config/Quorvel"));
    std::ofstream(dir.File("config/Quorvel/Telvane.ini"))
        << "[General]\nCOM=" << phone->LinkPath() << "\nBaud=115200\nData=8\nParity=0\nFlow=0\n";
    const CliResult result = Cli({"--format", "csv", "counts"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Memory,Count\nSM,3\nME,0\n");
}

// The machine formats of read have the keys of read --all (CliScriptTest).
TEST_F(CliOnPhoneTest, ReadListsTheRowsOfTheWindowAsText) {
    Phone(kThreeMessages);
    const CliResult text = OnPhone({"read"});
    EXPECT_EQ(text.status, 0) << text.err;
    const Lines lines = SplitLines(text.out);
    ASSERT_EQ(lines.size(), 4U) << text.out;
    EXPECT_EQ(lines[0], "N  TYPE  STAT    SMS    DATE      TIME.         MITT./DEST.   "
                        "Assoc. rubrica.  SCA.");
    EXPECT_EQ(lines[1], "3  OUT   SENT    abc                            --                "
                        "             +12345678901");
    EXPECT_EQ(lines[3], "1  IN    READ    hello  29/03/99  15:16.59 (8)  +12345678901       "
                        "            +12345678901");

    // The window's walk: up to the count, nothing erased without --move.
    EXPECT_EQ(Starting(Received(), "AT+CMGR=").back(), "AT+CMGR=7");
    EXPECT_TRUE(Starting(Received(), "AT+CMGD").empty());
}

TEST_F(CliOnPhoneTest, ReadFromPhoneMemoryAsksForMe) {
    Phone(Sms(1, 1, kHelloPdu, "ME"));
    const CliResult result = OnPhone({"--format", "csv", "read", "--memory", "ME"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(SplitLines(result.out).size(), 2U);
    // The counts of both memories, then the memory chosen.
    EXPECT_EQ(Starting(Received(), "AT+CPMS=").back(), "AT+CPMS=\"ME\"");
    EXPECT_EQ(Starting(Received(), "AT+CMGR="), (Lines{"AT+CMGR=1"}));
}

TEST_F(CliOnPhoneTest, MoveErasesExactlyTheListedMessages) {
    // Index 5 holds a PDU that does not decode: it is not listed, so it stays on the phone.
    Phone(Sms(2, 1, kHelloPdu) + Sms(5, 1, "07912143658709F1040B91214365") + Sms(7, 3, kSubmitPdu));
    const CliResult result = OnPhone({"--format", "csv", "read", "--move"});
    EXPECT_EQ(result.status, 1); // the message that did not decode was told
    EXPECT_NE(result.err.find("Error parsing... sorry"), std::string::npos);
    EXPECT_EQ(Starting(Received(), "AT+CMGD="), (Lines{"AT+CMGD=2", "AT+CMGD=7"}));
    const Lines received = Received();
    const auto at = std::ranges::find(received, "AT+CMGD=2");
    ASSERT_NE(at, received.end());
    EXPECT_EQ(*(at - 1), "AT+CMGR=2"); // erased right after it was listed
    const CliResult after = OnPhone({"--format", "csv", "counts"});
    EXPECT_EQ(after.out, "Memory,Count\nSM,1\nME,0\n");
}

TEST_P(CliOnPhoneDatabaseTest, ArchiveCopiesTheListedRowsAndTellsTheCount) {
    Phone(kThreeMessages);
    const CliResult result = OnPhone({"read", "--archive"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("3 SMS copied to database"), std::string::npos) << result.err;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM SMS_IN"), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM SMS_OUT"), 1);
    const CliResult archived = Cli({"--format", "csv", "archive", "--in", "--out"});
    EXPECT_EQ(SplitLines(archived.out).size(), 4U) << archived.out;
}

TEST_F(CliOnPhoneTest, SendPutsTheWindowsPduOnTheLineAfterThePrompt) {
    Phone("");
    const CliResult result =
        OnPhone({"send", "--to", "+123456789", "--sca", "+12345678901", "--class", "0", "abc"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "Command     PDU                                               Result\n"
              "AT+CMGS=16  07912143658709F11100099121436587F900f0FF0361f118  Sent OK\n");
    EXPECT_EQ(result.err, "Telvane: Sent OK\nReference of part 1/1: 1\n");
    EXPECT_EQ(Starting(Received(), "AT+CMGS"), (Lines{"AT+CMGS=16"}));
    EXPECT_EQ(phone->SentPdus(), (Lines{kSubmitPdu}));
    // The PDU went out only once the phone had sent its prompt.
    const auto transcript = phone->Transcript();
    const auto prompt = std::ranges::find_if(
        transcript, [](const TranscriptEntry& e) { return e.kind == "TX" && e.text == "> "; });
    const auto sent =
        std::ranges::find_if(transcript, [](const TranscriptEntry& e) { return e.kind == "SENT"; });
    EXPECT_LT(prompt, sent);
}

TEST_P(CliOnPhoneDatabaseTest, SendWithReplyRecordsEachPartForItsStatusReport) {
    Phone("");
    EXPECT_EQ(OnPhone({"send", "--to", "+123456789", "--sca", "+12345678901", "abc"}).status, 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM SMS_Delivery"), 0) << "none asked for";
    const CliResult result = OnPhone(
        {"send", "--to", "+123456789", "--sca", "+12345678901", "--reply", std::string(200, 'r')});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM SMS_Delivery WHERE Destinatario = "
                    "'+123456789' AND Parts = 2 AND Status IS NULL"),
              2);
    EXPECT_EQ(Count("SELECT COUNT(DISTINCT MR) FROM SMS_Delivery"), 2);
}

TEST_F(CliOnPhoneTest, SendTakesTheTextFromStandardInputAndTheCentreFromTheSettings) {
    Phone("");
    std::filesystem::create_directories(dir.File("config/Quorvel"));
    std::ofstream(dir.File("config/Quorvel/Telvane.ini"))
        << "[General]\nSCA=+12345678901\nCLASS=0\n";
    const CliResult result =
        OnPhone({"--format", "json", "send", "--to", "+123456789", "-"}, "abc\n");
    EXPECT_EQ(result.status, 0) << result.err;
    // The class the window saved is the window's: a script's message names none.
    const std::string plain = "07912143658709F11100099121436587F90000FF0361f118";
    EXPECT_EQ(result.out, std::string(R"j({"Command":"AT+CMGS=16","PDU":")j") + plain +
                              R"j(","Result":"Sent OK"})j" + "\n");
    EXPECT_EQ(phone->SentPdus(), (Lines{plain}));
}

TEST_F(CliOnPhoneTest, SendRefusedByThePhoneEndsWithOne) {
    Phone("reply AT+CMGS +CMS ERROR: 500\n");
    const CliResult result =
        OnPhone({"--format", "csv", "send", "--to", "+123456789", "--sca", "+1234", "abc"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find(",Error\n"), std::string::npos) << result.out;
    EXPECT_TRUE(phone->SentPdus().empty());
}

TEST_F(CliOnPhoneTest, LongSendTellsTheReferenceOfEachPartTheCsvStaysClean) {
    Phone("");
    const CliResult result = OnPhone({"--format", "csv", "send", "--to", "+123456789", "--sca",
                                      "+12345678901", "--class", "0", std::string(400, 'a')});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(phone->SentPdus().size(), 3U);
    // The references are the ones the phone answered, one per part in the order sent.
    Lines answered;
    for (const TranscriptEntry& entry : phone->Transcript())
        if (entry.kind == "TX" && entry.text.starts_with("+CMGS: "))
            answered.push_back(entry.text.substr(7));
    ASSERT_EQ(answered.size(), 3U);
    EXPECT_EQ(result.err, "Telvane: Sent OK\nReference of part 1/3: " + answered[0] +
                              "\nReference of part 2/3: " + answered[1] +
                              "\nReference of part 3/3: " + answered[2] + "\n");
    // Standard output keeps only the table: a header and one line per part.
    const Lines lines = SplitLines(result.out);
    ASSERT_EQ(lines.size(), 4U) << result.out;
    EXPECT_EQ(lines[0], "Command,PDU,Result");
    // A send the phone refused has no reference to tell.
    phone.emplace(PhoneSimOptions{"reply AT+CMGS +CMS ERROR: 500\n"});
    const CliResult refused = OnPhone({"send", "--to", "+123456789", "--sca", "+1234", "abc"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.find("Reference"), std::string::npos) << refused.err;
}

TEST_F(CliOnPhoneTest, ConfirmAsksAndWithoutYesCancels) {
    Phone("");
    const CliResult no = OnPhone({"send", "--confirm", "--to", "+123456789", "--sca",
                                  "+12345678901", "--class", "0", "abc"});
    EXPECT_EQ(no.status, 1);
    EXPECT_EQ(no.err, "!: AT+CMGS=16 [No]\n");
    EXPECT_TRUE(phone->SentPdus().empty());
    EXPECT_EQ(Received().back(), "<ESC>");
    const CliResult yes = OnPhone({"--yes", "send", "--confirm", "--to", "+123456789", "--sca",
                                   "+12345678901", "--class", "0", "abc"});
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_EQ(phone->SentPdus(), (Lines{kSubmitPdu}));
}

TEST_F(CliOnPhoneTest, SendChecksTheValuesBeforeThePortIsOpened) {
    Phone("");
    const CliResult tooLong =
        OnPhone({"send", "--to", "+123456789", "--sca", "+1234", std::string(255 * 153 + 1, 'a')});
    EXPECT_EQ(tooLong.status, 2);
    const CliResult tooManyParts = OnPhone({"send", "--to", "+123456789", "--sca", "+1234",
                                            "--max-parts", "2", std::string(400, 'a')});
    EXPECT_EQ(tooManyParts.status, 2);
    EXPECT_EQ(tooManyParts.err, "telvane-cli: the text takes 3 parts, more than --max-parts 2\n");
    EXPECT_TRUE(Received().empty());
}

TEST_F(CliOnPhoneTest, SendWithoutACentreAsksThePhone) {
    Phone("");
    const CliResult asked = OnPhone({"send", "--to", "+123456789", "abc"});
    EXPECT_EQ(asked.status, 0) << asked.err;
    EXPECT_EQ(Starting(Received(), "AT+CSCA"), (Lines{"AT+CSCA?"}));
    // The simulator's own centre, +31624000000, heads the PDU.
    ASSERT_EQ(phone->SentPdus().size(), 1U);
    EXPECT_TRUE(phone->SentPdus()[0].starts_with("07911326040000F0")) << phone->SentPdus()[0];
    phone.emplace(PhoneSimOptions{"reply AT+CSCA? ERROR\n"});
    const CliResult noCentre = OnPhone({"send", "--to", "+123456789", "abc"});
    EXPECT_EQ(noCentre.status, 1);
    EXPECT_EQ(noCentre.err, "Error: Please, fill Service Centre Address !\n");
    EXPECT_TRUE(phone->SentPdus().empty());
}

TEST_P(CliOnPhoneDatabaseTest, PhonebookInEachFormatAndStored) {
    Phone("phonebook SM 1 145 \"+12345678901\" \"Rossi, Mario\"\n"
          "phonebook SM 2 129 \"0123\" \"Anna\"\nrange SM 1 3\n"
          "phonebook ME 1 129 \"555\" \"Me\"\nrange ME 1 1\n");
    const CliResult csv = OnPhone({"--format", "csv", "phonebook"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out,
              "POS,Name,Number,FMT\n 1,\"Rossi, Mario\",+12345678901,145\n 2,Anna,0123,129\n");
    const CliResult json = OnPhone({"--format", "json", "phonebook", "--memory", "ME"});
    EXPECT_EQ(json.out, "{\"POS\":\" 1\",\"Name\":\"Me\",\"Number\":\"555\",\"FMT\":\"129\"}\n");
    const CliResult text = OnPhone({"phonebook", "--store"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(SplitLines(text.out).front(), "POS  Name          Number        FMT");
    EXPECT_NE(text.err.find("2 Record succesfully copied"), std::string::npos) << text.err;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Phonebook"), 2);
    EXPECT_EQ(Starting(Received(), "AT+CPBS="),
              (Lines{"AT+CPBS=\"SM\"", "AT+CPBS=\"ME\"", "AT+CPBS=\"SM\""}));
}

TEST_F(CliOnPhoneTest, PhonebookPrintsTheListTheWindowWouldShowByteForByte) {
    // Names in UCS2, an empty name, a comma in a name, and an answer of three lines at once,
    // whose later lines the window's list puts above the earlier ones.
    Phone("phonebook SM 2 145 \"+12345678901\" \"Rossi, Mario\"\n"
          "phonebook SM 3 129 \"0123\" \"Città €\"\n"
          "phonebook SM 4 129 \"555\" \"\"\n"
          "range SM 1 6\n"
          "reply AT+CPBR=1 +CPBR: 1,\"111\",129,\"Uno\"|+CPBR: 1,\"112\",129,\"Due\"|+CPBR: "
          "1,\"113\",129,\"Tre\"|OK\n");
    const CliResult text = OnPhone({"phonebook"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.err, "");
    EXPECT_EQ(text.out, "POS  Name          Number        FMT\n"
                        " 1   Uno           111           129\n"
                        " 1   Tre           113           129\n"
                        " 2   Rossi, Mario  +12345678901  145\n"
                        " 3   Città €       0123          129\n"
                        " 4   \"\"            555           129\n"
                        " 1   Due           112           129\n");
    const CliResult csv = OnPhone({"--format", "csv", "phonebook"});
    EXPECT_EQ(csv.out, "POS,Name,Number,FMT\n"
                       " 1,Uno,111,129\n"
                       " 1,Tre,113,129\n"
                       " 2,\"Rossi, Mario\",+12345678901,145\n"
                       " 3,Città €,0123,129\n"
                       " 4,\"\"\"\"\"\",555,129\n"
                       " 1,Due,112,129\n");
    const CliResult json = OnPhone({"--format", "json", "phonebook"});
    EXPECT_EQ(
        json.out,
        "{\"POS\":\" 1\",\"Name\":\"Uno\",\"Number\":\"111\",\"FMT\":\"129\"}\n"
        "{\"POS\":\" 1\",\"Name\":\"Tre\",\"Number\":\"113\",\"FMT\":\"129\"}\n"
        "{\"POS\":\" 2\",\"Name\":\"Rossi, Mario\",\"Number\":\"+12345678901\",\"FMT\":\"145\"}\n"
        "{\"POS\":\" 3\",\"Name\":\"Città €\",\"Number\":\"0123\",\"FMT\":\"129\"}\n"
        "{\"POS\":\" 4\",\"Name\":\"\\\"\\\"\",\"Number\":\"555\",\"FMT\":\"129\"}\n"
        "{\"POS\":\" 1\",\"Name\":\"Due\",\"Number\":\"112\",\"FMT\":\"129\"}\n");
}

TEST_F(CliOnPhoneTest, PhoneRefusingTheCountEndsWithOne) {
    Phone("reply AT+CPMS=\"SM\" ERROR\n");
    const CliResult result = OnPhone({"counts"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Error: Error reading SMS Count SM"), std::string::npos);
}

TEST_F(CliOnPhoneTest, APortThatDoesNotOpenEndsWithItsOwnMessageAlone) {
    const CliResult missing = Cli({"--port", "/dev/ttyUSB7-none", "counts"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot create com device"), std::string::npos) << missing.err;
    EXPECT_EQ(missing.err.find("+CMGF"), std::string::npos) << missing.err;
    EXPECT_EQ(missing.err.find("SMS Count"), std::string::npos) << missing.err;

    // The database given as the port keeps every byte.
    std::ifstream before(database, std::ios::binary);
    const std::string content(std::istreambuf_iterator<char>(before), {});
    const CliResult file = Cli({"--port", database, "counts"});
    EXPECT_EQ(file.status, 1);
    EXPECT_NE(file.err.find("cannot create com device / 2"), std::string::npos) << file.err;
    std::ifstream after(database, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(after), {}) == content);
}

TEST_F(CliOnPhoneTest, CtrlCStopsAThirtyMessageReadWithinOneExchange) {
    std::string fixture;
    for (int index = 1; index <= 30; ++index)
        fixture += Sms(index, 1, kHelloPdu);
    // A phone slow to answer: at the line's pace the signal still lands inside one exchange.
    phone.emplace(PhoneSimOptions{fixture, 115200, {"--delay-ms", "100"}});
    const auto reads = [this] { return Starting(Received(), "AT+CMGR=").size(); };
    CliProcess cli(dir.path.string(), {"--port", phone->LinkPath(), "--format", "csv", "read"});
    ASSERT_TRUE(cli.Start());
    ASSERT_TRUE(phone->WaitForTranscript([&](const auto&) { return reads() >= 5; }, 120000));
    const std::size_t readAtSignal = reads();
    cli.Signal(SIGINT);
    const CliResult result = cli.Wait();
    EXPECT_EQ(result.status, 130) << result.err;
    const std::size_t readInAll = reads();
    EXPECT_LE(readInAll, readAtSignal + 1); // the exchange under way, and no other
    // Every exchange finished before the signal was listed; the one under way is abandoned
    // rather than waited for.
    const std::size_t listed = SplitLines(result.out).size() - 1;
    EXPECT_GE(listed + 1, readAtSignal);
    EXPECT_LE(listed, readInAll);
    // The port was given back: the next run opens it.
    const CliResult next = OnPhone({"--format", "csv", "counts"});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(next.out, "Memory,Count\nSM,30\nME,0\n");
}

} // namespace
