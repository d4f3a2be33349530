// Delivery records on real database files: the parts of a send that asked for a report, and
// the status reports matched to them by reference and recipient.

#include "sms/DeliveryReports.h"

#include "pdu/Pdu.h"
#include "sms/SmsTestSetup.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

const DbDateTime kSent = *DbDateTime::FromParts(2026, 9, 12, 18, 19, 0);

// A Standard Submit to `to` without a service centre; the report bit as asked.
std::string Submit(const std::string& to, const std::string& text, bool report = true) {
    const encoded_ud ud = encode_ud(text);
    return std::string("00") + (report ? "31" : "11") + "00" + encode_da(to) + "0000FF" + ud.udl +
           ud.ud;
}

// Part `sequence` of `total` under concatenation reference 7, 8-bit data.
std::string SubmitPart(const std::string& to, const std::string& text, int sequence, int total) {
    std::string ud = "0500030"
                     "7" +
                     hex_octet(static_cast<std::uint8_t>(total)) +
                     hex_octet(static_cast<std::uint8_t>(sequence));
    for (const char c : text)
        append_hex_octet(ud, static_cast<std::uint8_t>(c));
    return "00710"
           "0" +
           encode_da(to) + "0004FF" + hex_octet(static_cast<std::uint8_t>(ud.size() / 2)) + ud;
}

// The centre's report on message `mr` to `to`, discharged 12/09/26 18:20:10 (or at `dt`).
std::string Report(int mr, const std::string& to, int status,
                   const std::string& dt = "62902181020140") {
    return "0006" + hex_octet(static_cast<std::uint8_t>(mr)) + encode_da(to) + "62902181000040" +
           dt + hex_octet(static_cast<std::uint8_t>(status));
}

class DeliveryReportsTest : public ::testing::Test, public SmsTestBase {
protected:
    void Send(const std::vector<std::string>& pdus, const std::vector<int>& references) {
        std::string why;
        ASSERT_TRUE(RecordSentParts(database, pdus, references, kSent, &why)) << why;
    }
    std::string Handle(const std::string& pdu) {
        return HandleStatusReportPdu(database, pdu).value_or("<no report>");
    }
    // Each record as "recipient part/parts mr: status text".
    Texts Records() {
        Texts texts;
        DeliveryTable table(&database);
        for (const DeliveryRecord& first : table.LatestSends(100))
            for (const DeliveryRecord& r : table.OfSend(first.sendId))
                texts.push_back(r.recipient + " " + std::to_string(r.part) + "/" +
                                std::to_string(r.parts) + " " + std::to_string(r.reference) + ": " +
                                (r.status ? r.statusText : "-"));
        return texts;
    }
};

TEST_F(DeliveryReportsTest, AReportIsMatchedToItsPartAndTheStatusBarSaysSo) {
    Send({Submit("+393331112223", "Ciao")}, {17});
    EXPECT_EQ(Records(), Texts{"+393331112223 1/1 17: -"});
    EXPECT_EQ(Handle(Report(17, "+393331112223", 0x00)),
              "Delivered to +393331112223, 12/09/26 18:20:10");
    EXPECT_EQ(Records(), Texts{"+393331112223 1/1 17: delivered"});
    DeliveryTable table(&database);
    const auto stored = table.WithReference(17);
    ASSERT_EQ(stored.size(), 1U);
    EXPECT_EQ(stored[0].text, "Ciao");
    EXPECT_EQ(stored[0].sent, kSent);
    EXPECT_EQ(stored[0].status, 0);
    EXPECT_EQ(stored[0].discharge, DbDateTime::FromParts(2026, 9, 12, 18, 20, 10));

    // A failure names what it means, and the phonebook's name as the list shows it.
    Send({Submit("+12345678901", "Ehi")}, {18});
    EXPECT_EQ(Handle(Report(18, "+12345678901", 0x61)),
              "Not delivered to Mario Rossi: failed: SME busy");
}

TEST_F(DeliveryReportsTest, AnOldFileGetsTheTableAtItsFirstSend) {
    database.Close();
    ASSERT_TRUE(RunSql(databaseFile, "DROP TABLE SMS_Delivery;"));
    ASSERT_TRUE(database.Open(databaseFile, true)) << "a file of the five tables only opens";
    EXPECT_EQ(Handle(Report(3, "+393331112223", 0)),
              "Delivered to +393331112223, 12/09/26 18:20:10")
        << "a report before any record: told, nothing to match";
    Send({Submit("+393331112223", "x")}, {3});
    EXPECT_EQ(Records(), Texts{"+393331112223 1/1 3: -"});
    database.Close();
    EXPECT_EQ(QueryCount(databaseFile, "SELECT count(*) FROM SMS_Delivery"), 1);
    EXPECT_TRUE(IntegrityOk(databaseFile));
}

TEST_F(DeliveryReportsTest, OnlySendsThatAskedForAReportAndPartsWithAReferenceAreRecorded) {
    Send({Submit("+393331112223", "no report", false)}, {5});
    Send({Submit("+393331112223", "no reference")}, {kUnknownReference});
    EXPECT_TRUE(Records().empty());
    const auto result =
        RecordStatusReport(database, *parse_status_report(Report(5, "+393331112223", 0)));
    EXPECT_FALSE(result.matched) << "a report on an unknown reference matches nothing";
}

TEST_F(DeliveryReportsTest, TheSameReferenceToTwoNumbersMatchesByRecipient) {
    Send({Submit("+393331112223", "to A")}, {9});
    Send({Submit("+447700900123", "to B")}, {9});
    EXPECT_EQ(Handle(Report(9, "+393331112223", 0x46)),
              "Not delivered to +393331112223: failed: validity period expired");
    EXPECT_EQ(Records(), (Texts{"+447700900123 1/1 9: -", "+393331112223 1/1 9: failed: validity "
                                                          "period expired"}));
    // The national form of B's number, as some networks give it, is B.
    EXPECT_EQ(Handle(Report(9, "07700900123", 0)).substr(0, 16), "Delivered to Ann");
    EXPECT_EQ(Records().front(), "+447700900123 1/1 9: delivered");
}

TEST_F(DeliveryReportsTest, EachPartOfALongMessageMatchesItsOwnPart) {
    Send({SubmitPart("+393331112223", "Uno ", 1, 3), SubmitPart("+393331112223", "due ", 2, 3),
          SubmitPart("+393331112223", "tre", 3, 3)},
         {20, 21, 22});
    Handle(Report(22, "+393331112223", 0x00));
    Handle(Report(20, "+393331112223", 0x41));
    EXPECT_EQ(Records(), (Texts{"+393331112223 1/3 20: failed: incompatible destination",
                                "+393331112223 2/3 21: -", "+393331112223 3/3 22: delivered"}));
    EXPECT_EQ(DeliveryLines(database, "Uno due tre"),
              (Texts{"Part 1/3: failed: incompatible destination 12/09/26 18:20:10",
                     "Part 2/3: no report yet", "Part 3/3: delivered 12/09/26 18:20:10"}));
    EXPECT_TRUE(DeliveryLines(database, "Uno due").empty());
    EXPECT_TRUE(DeliveryLines(database, "Uno due tre", "+447700900123").empty());
}

TEST_F(DeliveryReportsTest, ATemporaryErrorKeepsThePartOpenAndARepeatedReportChangesNothing) {
    Send({Submit("+393331112223", "old")}, {30}); // an earlier message that got the same number
    Handle(Report(30, "+393331112223", 0x00, "62902171000040"));
    Send({Submit("+393331112223", "new")}, {30});
    EXPECT_EQ(Handle(Report(30, "+393331112223", 0x21)),
              "Not delivered to +393331112223: still trying: SME busy");
    EXPECT_EQ(Handle(Report(30, "+393331112223", 0x00)).substr(0, 12), "Delivered to");
    EXPECT_EQ(Handle(Report(30, "+393331112223", 0x00)).substr(0, 12), "Delivered to");
    EXPECT_EQ(Records(),
              (Texts{"+393331112223 1/1 30: delivered", "+393331112223 1/1 30: delivered"}));
    DeliveryTable table(&database);
    const auto records = table.WithReference(30);
    ASSERT_EQ(records.size(), 2U);
    EXPECT_EQ(records[0].text, "new");
    EXPECT_EQ(records[1].discharge, DbDateTime::FromParts(2026, 9, 12, 17, 0, 0))
        << "the older record keeps its own report";
}

TEST_F(DeliveryReportsTest, AStatusTheFileDoesNotTakeIsToldNotDropped) {
    Send({Submit("+393331112223", "x")}, {40});
    database.Close();
    ASSERT_TRUE(RunSql(databaseFile, "CREATE TRIGGER refuse BEFORE UPDATE ON SMS_Delivery BEGIN "
                                     "SELECT RAISE(ABORT, 'no'); END;"));
    ASSERT_TRUE(database.Open(databaseFile, true));
    EXPECT_EQ(Handle(Report(40, "+393331112223", 0x00)),
              "Delivered to +393331112223, 12/09/26 18:20:10 (not stored: no)");
    EXPECT_EQ(Records(), Texts{"+393331112223 1/1 40: -"});
}

TEST_F(DeliveryReportsTest, OnlyStatusReportsAreHandled) {
    EXPECT_EQ(HandleStatusReportPdu(database, std::string(kHelloPdu)), std::nullopt);
    EXPECT_EQ(HandleStatusReportPdu(database, "zz"), std::nullopt);
    EXPECT_EQ(HandleStatusReportPdu(database, Report(1, "+393331112223", 0).substr(2)),
              "Delivered to +393331112223, 12/09/26 18:20:10")
        << "a report without its centre field";
}

TEST(SameNumberTest, InternationalAndNationalForms) {
    EXPECT_TRUE(SameNumber("+393331112223", "+39 333 111 2223"));
    EXPECT_TRUE(SameNumber("+393331112223", "00393331112223"));
    EXPECT_TRUE(SameNumber("+393331112223", "3331112223"));
    EXPECT_TRUE(SameNumber("+447700900123", "07700900123"));
    EXPECT_FALSE(SameNumber("+447700900123", "+17700900123"));
    EXPECT_FALSE(SameNumber("+393331112223", "112223")) << "too short to say";
    EXPECT_FALSE(SameNumber("3331112223", "4331112223"));
    EXPECT_FALSE(SameNumber("", ""));
}

} // namespace
