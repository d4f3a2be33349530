// "Read From File": real files in a temporary folder into a real line store, then rows.

#include "sms/SmsLogFile.h"

#include "common/PhoneSim.h"
#include "db/DbTestFiles.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "sms/SmsTestSetup.h"
#include "sms/StreamingSmsForm.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

using Texts = std::vector<std::string>;

class SmsLogFileTest : public ::testing::Test, public SmsTestBase {
protected:
    std::string Write(const std::string& bytes) {
        const std::string path = dir.File("capture.log");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    long Load(const std::string& bytes) { return LoadLogLines(Write(bytes), store); }

    // The rows a streamed load hands on, through a form and a line store of their own.
    struct StreamedRows {
        std::vector<SmsRow> rows;
        int counted = 0; // the form's row count afterwards
    };
    StreamedRows Stream(const std::string& path, IMessageSink& messages) {
        FakeSmsReadForm streamForm;
        StreamedRows streamed;
        StreamingSmsForm listing(streamForm,
                                 [&streamed](const SmsRow& row) { streamed.rows.push_back(row); });
        serialdata streamStore;
        StreamSmsFromFile(path, streamStore, {database, messages, listing});
        streamed.counted = listing.SmsRowCount();
        return streamed;
    }
};

TEST_F(SmsLogFileTest, CountsEveryLineAndStoresTheNonEmptyOnes) {
    EXPECT_EQ(Load("one\ntwo\nthree\n"), 3);
    EXPECT_EQ(SnapshotLines(store), (Texts{"one", "two", "three"}));
    EXPECT_EQ(Load("one\r\n\n\r\ntwo"), 4); // last line without a line feed counts too
    EXPECT_EQ(SnapshotLines(store), (Texts{"one", "two"}));
    EXPECT_EQ(Load(""), 0);
    EXPECT_TRUE(SnapshotLines(store).empty());
    EXPECT_EQ(Load("a\rb\n"), 1); // a carriage return inside a line is removed
    EXPECT_EQ(SnapshotLines(store), Texts{"ab"});
}

TEST_F(SmsLogFileTest, LongLinesComeInPiecesOf499) {
    EXPECT_EQ(Load(std::string(600, 'x') + "\n"), 2);
    const Texts lines = SnapshotLines(store);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].size(), 499U);
    EXPECT_EQ(lines[1].size(), 101U);
    // A carriage return before the line feed does not count, as in a text-mode read.
    EXPECT_EQ(Load(std::string(498, 'y') + "\r\n"), 1);
}

// The lines a text-mode read of the whole text gives, cut and cleaned: the file read in blocks
// must give these wherever its line ends, carriage returns and long lines fall.
Texts LinesOfWholeText(const std::string& bytes, long& count) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n')
            text += bytes[i];
    Texts lines;
    count = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t lineFeed = text.find('\n', at);
        const std::size_t end = std::min(lineFeed, text.size());
        const std::size_t length = std::min(end - at, kLogPieceChars);
        std::string piece = text.substr(at, length);
        at += length + (length < kLogPieceChars && end < text.size() ? 1 : 0);
        ++count;
        std::erase(piece, '\r');
        if (!piece.empty())
            lines.push_back(piece);
    }
    return lines;
}

TEST_F(SmsLogFileTest, LinesAcrossTheReadBlocksComeAsFromOneWholeText) {
    std::mt19937 random(11);
    const std::array<std::string_view, 6> ends = {"\r\n", "\n", "\r", "\r\r\n", "\n\r", ""};
    const std::array<std::size_t, 9> lengths = {0, 1, 20, 497, 498, 499, 500, 998, 1200};
    std::string bytes;
    while (bytes.size() < 300000) {
        bytes.append(lengths[random() % lengths.size()], static_cast<char>('a' + random() % 26));
        bytes.append(ends[random() % ends.size()]);
    }
    // A carriage return and a long line each exactly at the end of a 64 KiB block.
    bytes[65535] = '\r';
    bytes[65536] = '\n';
    bytes.replace(131072 - 300, 600, std::string(600, 'z'));
    long expectedCount = 0;
    const Texts expected = LinesOfWholeText(bytes, expectedCount);
    EXPECT_EQ(Load(bytes), expectedCount);
    EXPECT_EQ(SnapshotLines(store), expected);
    // A streamed load counts in a loop of its own, watching for parts or not: the same count.
    for (const bool watching : {false, true}) {
        RecordingMessageSink streamSink;
        FakeSmsReadForm streamForm;
        serialdata streamStore;
        StreamSmsFromFile(dir.File("capture.log"), streamStore, {database, streamSink, streamForm},
                          watching ? [](bool) {} : std::function<void(bool)>());
        ASSERT_FALSE(streamSink.Texts().empty());
        EXPECT_EQ(streamSink.Texts().front(),
                  "Read succesfully " + std::to_string(expectedCount) + " lines");
    }
}

TEST_F(SmsLogFileTest, BinaryBytesAreStoredSafely) {
    std::mt19937 random(7);
    std::string bytes(300000, '\0');
    std::generate(bytes.begin(), bytes.end(), [&random] { return static_cast<char>(random()); });
    const long count = Load(bytes);
    EXPECT_GT(count, 0);
    for (const std::string& line : SnapshotLines(store)) {
        EXPECT_FALSE(line.empty());
        EXPECT_LE(line.size(), kLogPieceChars);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    }
}

TEST_F(SmsLogFileTest, MissingFileChangesNothing) {
    Store({"kept"});
    form.InsertSmsRows(0, {SmsRow{"1"}});
    ReadSmsFromFile(dir.File("absent.log"), store, context);
    EXPECT_EQ(sink.Texts(), Texts{"Cannot open file"});
    EXPECT_EQ(SnapshotLines(store), Texts{"kept"});
    EXPECT_EQ(form.SmsRowCount(), 1);
    EXPECT_EQ(form.Calls().back(), "enable 0");
}

TEST_F(SmsLogFileTest, CapturedReadsBecomeRowsNumberedFromOne) {
    form.InsertSmsRows(0, {SmsRow{"old"}});
    const std::string path =
        Write(std::string("AT+CMGR=1\r\n\r\n+CMGR: 1,,24\r\n") + std::string(kHelloPdu) +
              "\r\nOK\r\nAT+CMGR=2\r\n+CMS ERROR: 321\r\n+CMGR: 0,,24\r\n" +
              std::string(kHelloPdu) + "\r\nOK\r\n");
    ReadSmsFromFile(path, store, context);
    EXPECT_EQ(sink.Texts(), Texts{"Read succesfully 10 lines"});
    EXPECT_EQ(sink.Requests().at(0).caption, "Information");
    EXPECT_EQ(sink.Requests().at(0).icon, BoxIcon::Information);
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"1", "2"}));
    EXPECT_EQ(form.Column(kSmsStatColumn), (Texts{"READ", "UNREAD"}));
    EXPECT_EQ(form.Calls().front(), "enable 1");
    EXPECT_EQ(form.Calls().back(), "enable 0");
}

// A captured list holding a SUBMIT under "received read" and a pushed report, both streamed and
// loaded whole: each PDU is listed as what its first octet says, no box.
TEST_F(SmsLogFileTest, ALogListsSubmitsAndStatusReportsAsWhatTheyAre) {
    const std::string path =
        Write("AT+CMGL=4\r\n+CMGL: 1,1,,23\r\n07912143658709F11100099121436587F900f0FF0361f118\r\n"
              "+CMGL: 2,0,,25\r\n"
              "079119890400202306400C91197909913764511090718384225110907183252200\r\nOK\r\n");
    for (const bool streamed : {false, true}) {
        SCOPED_TRACE(streamed);
        if (streamed)
            StreamSmsFromFile(path, store, context);
        else
            ReadSmsFromFile(path, store, context);
        EXPECT_EQ(form.Column(kSmsTypeColumn), (Texts{"OUT", "REPORT"}));
        EXPECT_EQ(form.Column(kSmsTextColumn), (Texts{"abc", "Report on message 64: delivered"}));
    }
    EXPECT_EQ(sink.Texts(), (Texts{"Read succesfully 6 lines", "Read succesfully 6 lines"}));
}

// A terminal log made of what the simulator itself sent and received for a list and two reads.
TEST_F(SmsLogFileTest, SimulatorTranscriptLoadsIntoRows) {
    PhoneSim phone({"sms SM 1 1 " + std::string(kHelloPdu) + "\n" +
                    "sms SM 3 3 07912143658709F11100099121436587F900f0FF0361f118\n"});
    RecordingMessageSink sessionSink;
    RealWaiter waiter;
    RecordingForm sessionForm;
    CModemSession session(sessionSink, waiter, sessionForm);
    session.Port().SetPortName(phone.LinkPath());
    session.Port().SetLineSettings(115200, 0, 8, 0, 2);
    session.OpenSession();
    EXPECT_EQ(session.SendAndWait("AT+CMGL=4", kSendCommandLine), kAnswerOk);
    EXPECT_EQ(session.SendAndWait("AT+CMGR=3", kSendCommandLine), kAnswerOk);
    session.CloseSession();

    std::string log;
    for (const TranscriptEntry& entry : phone.Transcript())
        log += entry.text + "\n";
    ReadSmsFromFile(Write(log), store, context);
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"1", "3", "1"}));
    EXPECT_EQ(form.Column(kSmsTextColumn), (Texts{"hello", "abc", "abc"}));
    EXPECT_EQ(form.Column(kSmsNameColumn), (Texts{"Mario Rossi", "", ""}));
}

} // namespace

// A capture far longer than one batch of lines, listed as it is read, gives the rows, the
// ordinals and the boxes of a whole load: reads numbered on across batches, list indexes kept,
// a header whose PDU line is itself a header, unlisted statuses and an undecodable PDU.
TEST_F(SmsLogFileTest, AStreamedCaptureListsWhatAWholeLoadLists) {
    std::string log;
    for (int group = 0; group < 3000; ++group) {
        switch (group % 5) {
        case 0:
            log += "AT+CMGR=" + std::to_string(group) + "\r\n+CMGR: 1,,24\r\n" +
                   std::string(kHelloPdu) + "\r\nOK\r\n";
            break;
        case 1:
            log +=
                "+CMGL: " + std::to_string(group) + ",0,,24\r\n" + std::string(kHelloPdu) + "\r\n";
            break;
        case 2:
            log += "+CMGR: 1,,24\r\n+CMGL: 9,1,,24\r\n" + std::string(kHelloPdu) + "\r\n";
            break;
        case 3:
            log += "+CMGR: 7,,24\r\n" + std::string(kHelloPdu) + "\r\nOK\r\n";
            break;
        default:
            log += "+CMGR: 0,,24\r\nNOTAPDU\r\nOK\r\n";
        }
    }
    // A list whose PDU lines look like reads: none of them starts a group.
    for (int group = 0; group < 3000; ++group)
        log += "+CMGL: " + std::to_string(group) + ",1,,24\r\n+CMGR: 1,,24\r\n";
    const std::string path = Write(log + "+CMGR: 1,,24\r\n");
    ReadSmsFromFile(path, store, context);
    const std::vector<SmsRow> whole = form.Rows();
    const Texts wholeBoxes = sink.Texts();
    ASSERT_GT(whole.size(), 2000U);
    ASSERT_GT(wholeBoxes.size(), 1U); // the count, then the undecodable PDUs' boxes
    EXPECT_TRUE(wholeBoxes.front().starts_with("Read succesfully"));

    RecordingMessageSink streamSink;
    const StreamedRows streamed = Stream(path, streamSink);
    EXPECT_EQ(streamed.rows, whole);
    EXPECT_EQ(streamSink.Texts(), wholeBoxes);
    EXPECT_EQ(streamed.counted, static_cast<int>(whole.size()));
}

// A streamed load keeps lines as views into the block it read: a group that the end of a block
// cuts, wherever in its bytes, lists as a whole load lists it, the group after it too.
TEST_F(SmsLogFileTest, AGroupCutByTheEndOfABlockListsAsAWholeLoadLists) {
    constexpr std::size_t kBlock = 65536;
    const std::string group = "+CMGR: 1,,24\r\n" + std::string(kHelloPdu) + "\r\nOK\r\n";
    for (std::size_t cut = 0; cut <= group.size(); ++cut) {
        std::string log;
        while (log.size() + 200 < kBlock - cut)
            log += std::string(97, 'f') + "\r\n";
        log += std::string(kBlock - cut - log.size() - 2, 'g') + "\r\n";
        ASSERT_EQ(log.size(), kBlock - cut);
        const std::string path = Write(log + group + "+CMGL: 4,0,,24\r\n" + std::string(kHelloPdu));
        ReadSmsFromFile(path, store, context);
        const std::vector<SmsRow> whole = form.Rows();
        ASSERT_EQ(whole.size(), 2U);
        RecordingMessageSink streamSink;
        EXPECT_EQ(Stream(path, streamSink).rows, whole)
            << "the block ends " << cut << " bytes into the group";
    }
}

// A long capture listed in batches, from a database opened as the command line opens it (shared,
// to read), leaves the file free between the batches: another program (a plain connection that
// does not wait) writes while the rows come. A number met first in a late batch still gets its
// name.
TEST_F(SmsLogFileTest, AStreamedCaptureLeavesTheDatabaseFreeBetweenBatches) {
    database.Close();
    CDaoDatabase shared;
    ASSERT_TRUE(shared.Open(databaseFile, false, true));
    // A sender the phonebook does not hold (a look-up that finds nothing), then one it holds.
    const std::string unknown = "07912143658709F1040C9193331311222200009930925161958005E8329BFD06";
    const std::string anna = "07912143658709F1040B817007900021F300009930925161958005E8329BFD06";
    std::string log;
    for (int group = 0; group < 10000; ++group)
        log += "+CMGR: 1,,24\r\n" + (group == 9999 ? anna : unknown) + "\r\n";
    const std::string path = Write(log);
    std::vector<std::string> names;
    std::vector<bool> written;
    StreamingSmsForm listing(form, [&](const SmsRow& row) {
        names.push_back(row[kSmsNameColumn]);
        if (names.size() % 1000 == 0)
            written.push_back(RunSql(databaseFile, "UPDATE Phonebook SET Type = Type"));
    });
    StreamSmsFromFile(path, store, {shared, sink, listing});
    ASSERT_EQ(names.size(), 10000U);
    EXPECT_EQ(names.front(), "");
    EXPECT_EQ(names.back(), "Anna");
    EXPECT_EQ(written, std::vector<bool>(10, true));
    EXPECT_EQ(sink.Texts(), Texts{"Read succesfully 20000 lines"});
}

// Rows of every kind, each after a row of another kind and across the batches of the loader:
// none keeps a text of the row listed before it in its place (a part's PART and key, a report's
// reference, an undecoded row's kind).
TEST_F(SmsLogFileTest, AStreamedCaptureOfMixedKindsListsWhatAWholeLoadLists) {
    const std::array<std::string_view, 5> pdus = {
        "07912143658709F1440B912143658709F1000899309251619580100500032A03010055006E006F002C0020",
        "079119890400202306400C91197909913764511090718384225110907183252200",
        kHelloPdu,
        "07912143658709F11100099121436587F900f0FF0361f118",
        "NOTAPDU",
    };
    std::string log;
    for (int group = 0; group < 2600; ++group) {
        const std::string pdu(pdus[static_cast<std::size_t>(group * 3 % 5)]);
        const std::string header = "+CMGL: " + std::to_string(group) + ",1,,24";
        // Some with carriage returns that the stored lines lose: in front of a header, inside
        // it and its PDU, and a line of nothing else between them.
        if (group % 7 == 0)
            log += "\r+CM\rGL: " + std::to_string(group) + ",1,,24\r\r\n\r\n\r\r\n" +
                   pdu.substr(0, 5) + "\r" + pdu.substr(5) + "\r\n";
        else
            log += header + "\r\n" + pdu + "\r\n";
    }
    const std::string path = Write(log);
    ReadSmsFromFile(path, store, context);
    const std::vector<SmsRow> whole = form.Rows();
    ASSERT_EQ(whole.size(), 2600U);

    EXPECT_EQ(Stream(path, sink).rows, whole);
}

// Whether a row may fill the part column is told before the first row. The line's carriage
// returns count for nothing (the stored line has none), wherever they stand; only a PDU that
// could carry a user data header says yes, blanks after it or not.
TEST_F(SmsLogFileTest, AStreamedCaptureSaysBeforeTheRowsWhetherAPartIsPossible) {
    const std::string part =
        "07912143658709F1440B912143658709F1000899309251619580100500032A03010055006E006F002C0020";
    const struct {
        std::string line;
        bool possible;
    } cases[] = {
        {std::string(kHelloPdu), false},
        {part, true},
        {part + " \t", true},
        {"07\r" + part.substr(2), true},                     // before the length of the centre
        {part.substr(0, 17) + "\r" + part.substr(17), true}, // inside the header octet
        {part.substr(0, 40) + "\r\r" + part.substr(40), true},
        {part.substr(0, 40) + "X" + part.substr(40), false},  // the bit, but not all hex
        {part.substr(0, 6) + "X" + part.substr(7), false},    // the same before the header octet
        {part.substr(0, 16) + "G4" + part.substr(18), false}, // the octet itself
        {"07\r", false},
        {"X7" + part.substr(2), false},
        {" " + part, false},
        {part.substr(0, 10) + " " + part.substr(10), false},
        {"", false},
    };
    for (const auto& [line, possible] : cases) {
        SCOPED_TRACE(line);
        const std::string path = Write("AT+CMGL=4\r\n" + line + "\r\nOK\r\n");
        std::vector<bool> told;
        StreamSmsFromFile(path, store, context, [&told](bool parts) { told.push_back(parts); });
        EXPECT_EQ(told, std::vector<bool>{possible});
    }
}

TEST_F(SmsLogFileTest, AStreamedMissingFileSaysSoAndListsNothing) {
    std::vector<SmsRow> streamed;
    StreamingSmsForm listing(form, [&streamed](const SmsRow& row) { streamed.push_back(row); });
    StreamSmsFromFile(dir.File("absent.log"), store, {database, sink, listing});
    EXPECT_EQ(sink.Texts(), Texts{"Cannot open file"});
    EXPECT_TRUE(streamed.empty());
    EXPECT_EQ(form.Calls().back(), "enable 0");
}
