// The row builder on line stores filled by the test, with a real database file for the names.

#include "sms/SmsHeader.h"
#include "sms/SmsRowText.h"
#include "sms/SmsTestSetup.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

class AddSmsRowsTest : public ::testing::Test, public SmsTestBase {
protected:
    SmsRowsResult Add(int ordinal = 1) { return AddSmsRows(store, ordinal, context); }
    SmsRow OnlyRow() {
        const auto rows = form.Rows();
        EXPECT_EQ(rows.size(), 1U);
        return rows.empty() ? SmsRow{} : rows.front();
    }
};

TEST_F(AddSmsRowsTest, ReadAnswerBecomesOneDecodedRowWithTheName) {
    Store({"+CMGR: 1,,24", kHelloPdu, "OK"});
    const SmsRowsResult result = Add(7);
    EXPECT_EQ(result.rows, 1);
    EXPECT_EQ(result.undecoded, 0);
    EXPECT_EQ(OnlyRow(), (SmsRow{"7", "IN", "READ", "hello", "29/03/99", "15:16.59 (8)",
                                 "+12345678901", "Mario Rossi", "+12345678901"}));
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_EQ(form.Calls(), Texts{"enable 0"});
}

TEST_F(AddSmsRowsTest, StatusWordsAndStoredOutgoingMessages) {
    // Stored SMS-SUBMIT to +123456789: no date, "--" as the destination.
    Store({"+CMGR: 3,,23", "07912143658709F11100099121436587F900f0FF0361f118", "OK"});
    Add();
    EXPECT_EQ(OnlyRow(), (SmsRow{"1", "OUT", "SENT", "abc", "", "", "--", "", "+12345678901"}));

    Store({"+CMGR: 0,,24", kHelloPdu, "OK"});
    Add();
    Store({"+CMGR: 2,,23", "07912143658709F11100099121436587F900f0FF0361f118", "OK"});
    Add();
    EXPECT_EQ(form.Column(kSmsStatColumn), (Texts{"NOT SENT", "UNREAD", "SENT"}));
    EXPECT_EQ(form.Column(kSmsTypeColumn), (Texts{"OUT", "IN", "OUT"}));
}

TEST_F(AddSmsRowsTest, StoresWithoutAGroupGiveNoRow) {
    for (auto lines : {std::initializer_list<std::string_view>{"OK"},
                       {"+CMGR: 1,,24"},
                       {"RING", kHelloPdu, "OK"},
                       {"OK", "+CMGR: 1,,24"}}) {
        Store(lines);
        EXPECT_EQ(Add().rows, 0);
    }
    EXPECT_TRUE(form.Rows().empty());
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(AddSmsRowsTest, StatusFourGivesNoRowAndTheWalkGoesOn) {
    Store({"+CMGL: 1,4,,24", kHelloPdu, "+CMGL: 2,1,,24", kHelloPdu, "OK"});
    const SmsRowsResult result = Add();
    EXPECT_EQ(result.groups, 2);
    EXPECT_EQ(form.Column(kSmsNumberColumn), Texts{"2"});
}

TEST_F(AddSmsRowsTest, ListGroupsShowTheirIndexesInOrder) {
    Store({"+CMGL: 4,0,,24", kHelloPdu, "+CMGL: 9,3,,23",
           "07912143658709F11100099121436587F900f0FF0361f118", "OK"});
    EXPECT_EQ(Add(50).rows, 2);
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"4", "9"}));
    EXPECT_EQ(form.Column(kSmsStatColumn), (Texts{"UNREAD", "SENT"}));
}

TEST_F(AddSmsRowsTest, TheDirectionBoxesChooseTheRowsNeitherListsBoth) {
    const std::string submit = "07912143658709F11100099121436587F900f0FF0361f118";
    struct Case {
        bool in;
        bool out;
        Texts indexes;
    };
    for (const Case& c : {Case{false, false, {"1", "2", "3", "4"}}, Case{true, false, {"1", "3"}},
                          Case{false, true, {"2", "4"}}, Case{true, true, {"1", "2", "3", "4"}}}) {
        form.DeleteAllSmsRows();
        form.inChecked = c.in;
        form.outChecked = c.out;
        Store({"+CMGL: 1,1,,24", kHelloPdu, "+CMGL: 2,3,,23", submit, "+CMGL: 3,0,,24", kHelloPdu,
               "+CMGL: 4,2,,23", submit, "OK"});
        const SmsRowsResult result = Add();
        EXPECT_EQ(form.Column(kSmsNumberColumn), c.indexes) << c.in << c.out;
        EXPECT_EQ(result.rows, static_cast<int>(c.indexes.size()));
        EXPECT_EQ(result.groups, 4);
    }
    // A read answer of the left-out direction: no row, no box.
    form.DeleteAllSmsRows();
    form.inChecked = true;
    form.outChecked = false;
    Store({"+CMGR: 3,,23", submit, "OK"});
    EXPECT_EQ(Add(5).rows, 0);
    EXPECT_TRUE(form.Rows().empty());
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(AddSmsRowsTest, RowsAreHandedOutAsBuiltInTheAnswersOrderUnsolicitedLinesAside) {
    Texts handed;
    context.rowListed = [&handed](const SmsRow& row) { handed.push_back(row[kSmsNumberColumn]); };
    // As the reader stores them: a code between a header and its PDU is marked and skipped.
    store.pending = "+CMGL: 4,0,,24\r+CMTI: \"SM\",5\r" + std::string(kHelloPdu) +
                    "\r+CMGL: 9,1,,24\r" + std::string(kHelloPdu) + "\rRING\rOK\r";
    SplitLines(store);
    EXPECT_EQ(Add().rows, 2);
    EXPECT_EQ(handed, (Texts{"4", "9"}));
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"4", "9"}));
    EXPECT_EQ(form.Column(kSmsTextColumn), (Texts{"hello", "hello"}));
}

TEST_F(AddSmsRowsTest, EachCallPutsItsRowOnTop) {
    for (int ordinal = 1; ordinal <= 3; ++ordinal) {
        Store({"+CMGR: 1,,24", kHelloPdu, "OK"});
        Add(ordinal);
    }
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"3", "2", "1"}));
}

TEST_F(AddSmsRowsTest, PduWithoutScaChecksTheBoxOnceAndDecodes) {
    Store({"+CMGR: 1,,24", "040B912143658709F100009930925161958005E8329BFD06", "OK"});
    Add();
    EXPECT_TRUE(form.noScaChecked);
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_EQ(OnlyRow()[kSmsTextColumn], "hello");
    EXPECT_EQ(OnlyRow()[kSmsScaColumn], "");

    // From now on the prefix goes in front from the start; a PDU that carries its centre still
    // reads, and a broken one is still reported.
    Store({"+CMGR: 1,,24", kHelloPdu, "OK"});
    EXPECT_EQ(Add().undecoded, 0);
    EXPECT_TRUE(sink.Texts().empty());
    Store({"+CMGR: 1,,24", "040B912143658709F100009930925161958005E8329BFD06", "OK"});
    Add();
    Store({"+CMGR: 1,,24", "0B912143658709F1", "OK"});
    EXPECT_EQ(Add().undecoded, 1);
    EXPECT_EQ(sink.Texts(), Texts{"Error parsing... sorry"});
    EXPECT_EQ(form.Column(kSmsScaColumn), (Texts{"", "", "+12345678901", ""}));
    EXPECT_TRUE(form.noScaChecked);
}

TEST_F(AddSmsRowsTest, UndecodablePduKeepsItsRowAndIsCounted) {
    Store({"+CMGR: 0,,24", "07912143658709F1040B91", "OK"});
    const SmsRowsResult result = Add(5);
    EXPECT_EQ(result.rows, 1);
    EXPECT_EQ(result.undecoded, 1);
    EXPECT_EQ(sink.Requests().at(0).caption, "Telvane");
    SmsRow expected{"5", "IN", "UNREAD", "07912143658709F1040B91", "", "", "", "", ""};
    expected[kSmsKindField] = kSmsUndecodedKind; // so that the copy leaves it out
    EXPECT_EQ(OnlyRow(), expected) << "the raw PDU line shows in the SMS column";
    EXPECT_TRUE(form.noScaChecked);
}

// Published by faucamp/python-gsmmodem (issue #44): the report on message 64, delivered.
constexpr std::string_view kReportPdu =
    "079119890400202306400C91197909913764511090718384225110907183252200";
constexpr std::string_view kSubmitPdu = "07912143658709F11100099121436587F900f0FF0361f118";

TEST_F(AddSmsRowsTest, ThePduSaysWhatItIsWhateverTheStatus) {
    // A SUBMIT the phone keeps under "received read", a DELIVER under "stored sent".
    Store({"+CMGL: 1,1,,23", kSubmitPdu, "+CMGL: 2,3,,24", kHelloPdu, "OK"});
    const SmsRowsResult result = Add();
    EXPECT_EQ(result.rows, 2);
    EXPECT_EQ(result.undecoded, 0);
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_FALSE(form.noScaChecked);
    EXPECT_EQ(form.Rows().at(0),
              (SmsRow{"1", "OUT", "READ", "abc", "", "", "--", "", "+12345678901"}));
    EXPECT_EQ(form.Rows().at(1), (SmsRow{"2", "IN", "SENT", "hello", "29/03/99", "15:16.59 (8)",
                                         "+12345678901", "Mario Rossi", "+12345678901"}));
}

TEST_F(AddSmsRowsTest, AStatusReportIsARowOfItsOwnKind) {
    std::vector<std::string> seen;
    context.reportRead = [&seen](const sms_status_report& report, SmsRow& row) {
        seen.push_back(std::to_string(report.reference));
        row[kSmsPartColumn] = "2/3";
    };
    Store({"+CMGR: 0,,25", kReportPdu, "OK"});
    const SmsRowsResult result = Add(4);
    EXPECT_EQ(result.undecoded, 0);
    EXPECT_TRUE(sink.Texts().empty());
    SmsRow expected = ReportRow("4");
    expected[kSmsPartColumn] = "2/3";
    expected[kSmsReferenceField] = "64";
    EXPECT_EQ(OnlyRow(), expected) << "dated by its discharge time";
    EXPECT_EQ(seen, Texts{"64"});

    // Without its centre (python-messaging's report on message 5, failing here), under the box.
    form.DeleteAllSmsRows();
    Store({"+CMGR: 1,,23", "060505810531F1010150610000400101506100004046", "OK"});
    Add();
    EXPECT_TRUE(form.noScaChecked);
    EXPECT_EQ(OnlyRow()[kSmsTextColumn], "Report on message 5: failed: validity period expired");
    EXPECT_EQ(OnlyRow()[kSmsSenderColumn], "50131");
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(AddSmsRowsTest, ReportsListWithReceivedMessagesAndReservedTypesDoNotDecode) {
    form.inChecked = false;
    form.outChecked = true;
    Store({"+CMGL: 1,0,,25", kReportPdu, "+CMGL: 2,1,,23", kSubmitPdu, "OK"});
    Add();
    EXPECT_EQ(form.Column(kSmsNumberColumn), Texts{"2"}) << "the SUBMIT is an outgoing one";
    form.DeleteAllSmsRows();
    form.inChecked = true;
    form.outChecked = false;
    Add();
    EXPECT_EQ(form.Column(kSmsTypeColumn), Texts{"REPORT"});

    // Message type 3 is reserved: no kind to decode it as.
    form.DeleteAllSmsRows();
    Store(
        {"+CMGR: 1,,24", "07912143658709F1070B912143658709F100009930925161958005e8329bfd06", "OK"});
    EXPECT_EQ(Add().undecoded, 1);
    EXPECT_EQ(sink.Texts(), Texts{"Error parsing... sorry"});
}

TEST_F(AddSmsRowsTest, OverlongPduLineIsRefusedNotOverrun) {
    Store({"+CMGR: 1,,24", std::string(5000, 'A'), "OK"});
    EXPECT_EQ(Add().undecoded, 1);
}

TEST_F(AddSmsRowsTest, UserDataFollowsTheDcsAndTheHeader) {
    // UCS2 with a line break: kept in the row, a space in the list.
    Store({"+CMGR: 1,,34",
           "07912143658709F1040B912143658709F100089930925161958014004300690061006F000A004D006F006E"
           "0064006F",
           "OK"});
    Add();
    // A 7-bit part of a concatenated message: header and fill bit skipped.
    Store({"+CMGR: 1,,30",
           "07912143658709F1440B912143658709F10000993092516195800F0500032A0201E061391D44BFBF01",
           "OK"});
    Add();
    EXPECT_EQ(form.Column(kSmsTextColumn), (Texts{"part two", "Ciao\nMondo"}));
    EXPECT_EQ(form.list.DisplayCell(1, kSmsTextColumn), "Ciao Mondo");
    EXPECT_EQ(form.list.DisplayCell(1, kSmsNumberColumn), "1");
    EXPECT_EQ(form.list.DisplayCell(2, kSmsTextColumn), "");
}

TEST_F(AddSmsRowsTest, UcsTwoMessageFromThePhone) {
    Store({"+CMGR: 1,,88",
           "0791447700090010040C919333937856340008425010810233404A004300690074007400E000200070006"
           "900F9002000620065006C006C0061003A0020006700720061007A0069006500200070006500720020006C0"
           "0270069006E007600690074006F0021",
           "OK"});
    Add();
    EXPECT_EQ(OnlyRow()[kSmsTextColumn], "Città più bella: grazie per l'invito!");
    EXPECT_EQ(OnlyRow()[kSmsSenderColumn], "+393339876543");
    EXPECT_EQ(OnlyRow()[kSmsDateColumn], "01/05/24");
}

// One answer of every kind, a report first: each row holds what its own PDU says, as it would
// alone, nothing left from the row before it (the report handler sees the report only).
TEST_F(AddSmsRowsTest, EachRowOfAMixedAnswerIsWhatItsPduAloneGives) {
    const std::string_view ucs2 =
        "0791447700090010040C919333937856340008425010810233400A0043006900740074003F";
    const std::vector<std::string_view> pdus = {kReportPdu, kHelloPdu, kSubmitPdu,
                                                "NOTAPDU",  ucs2,      kReportPdu};
    int reports = 0;
    context.reportRead = [&reports](const sms_status_report&, SmsRow&) { ++reports; };
    std::vector<SmsRow> alone;
    for (const std::string_view pdu : pdus) {
        Store({"+CMGL: 1,1,,24", pdu, "OK"});
        Add();
        alone.push_back(form.Rows().front());
    }
    ASSERT_EQ(reports, 2);
    form.list.Clear();
    std::vector<std::string_view> answer;
    for (const std::string_view pdu : pdus) {
        answer.push_back("+CMGL: 1,1,,24");
        answer.push_back(pdu);
    }
    answer.push_back("OK");
    ClearLines(store);
    for (const std::string_view line : answer)
        AddString(line, store);
    EXPECT_EQ(Add().rows, 6);
    EXPECT_EQ(form.Rows(), alone);
    EXPECT_EQ(reports, 4);
    EXPECT_EQ(alone[4][kSmsTextColumn], "Citt?");
    EXPECT_EQ(alone[2][kSmsDateColumn], "");
}

TEST_F(AddSmsRowsTest, NamesMatchTheShownNumberExactly) {
    // National sender, stored without "+": found.
    Store(
        {"+CMGR: 1,,24", "07912143658709F1040B817007900021F300009930925161958005E8329BFD06", "OK"});
    Add();
    EXPECT_EQ(OnlyRow()[kSmsSenderColumn], "07700900123");
    EXPECT_EQ(OnlyRow()[kSmsNameColumn], "Anna");
    // International sender +393331112222 while the phonebook holds it without "+": no name.
    form.list.Clear();
    Store({"+CMGR: 1,,24",
           "07912143658709F1040C91933313112222000099309251619580"
           "05E8329BFD06",
           "OK"});
    Add();
    EXPECT_EQ(OnlyRow()[kSmsSenderColumn], "+393331112222");
    EXPECT_EQ(OnlyRow()[kSmsNameColumn], "");
}

TEST_F(AddSmsRowsTest, WithoutDatabaseNothingIsListed) {
    database.Close();
    Store({"+CMGR: 1,,24", kHelloPdu, "OK"});
    const SmsRowsResult result = Add();
    EXPECT_FALSE(result.phonebookOpen);
    EXPECT_EQ(result.rows, 0);
    EXPECT_EQ(sink.Texts(), Texts{"Cannot Open dbPhonebook"});
    EXPECT_TRUE(form.Calls().empty()); // the read controls stay as they are
}

TEST(SmsListTest, RowsGoWhereTheyAreInserted) {
    SmsList list;
    list.Insert(0, {SmsRow{"a"}, SmsRow{"d"}});
    list.Insert(1, {SmsRow{"b"}, SmsRow{"c"}});
    list.Insert(99, {SmsRow{"e"}});
    list.Insert(-3, {SmsRow{"0"}});
    Texts numbers;
    for (int i = 0; i < list.Count(); ++i)
        numbers.push_back(list.DisplayCell(i, kSmsNumberColumn));
    EXPECT_EQ(numbers, (Texts{"0", "a", "b", "c", "d", "e"}));
    EXPECT_EQ(list.DisplayCell(0, kSmsColumnCount), "");
    EXPECT_EQ(DisplayText("a\r\nb\nc"), "a  b c");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(SmsHeaderTest, FieldsOfHeaderLines) {
    EXPECT_EQ(HeaderFirstField("+CMGR: 1,,24"), 1);
    EXPECT_EQ(HeaderFirstField("+CMGR: 3"), 0); // no ',': no first field
    EXPECT_EQ(HeaderIndex("+CMGL: 12,0,,24"), 12);
    EXPECT_EQ(HeaderSecondField("+CMGL: 12,3,,24"), 3);
    EXPECT_EQ(HeaderSecondField("+CMGL: 12"), 0);
    EXPECT_EQ(HeaderIndex("x7,1"), 7); // no ':': the line without its first character
    EXPECT_EQ(HeaderIndex("+CMGL:"), 0);
    EXPECT_EQ(FirstFieldAfterColon("+CPMS: 3,20,3,20,3,20"), " 3");
    EXPECT_EQ(FirstFieldAfterColon("+CPMS: 3"), "");
}

// The centre asked last is answered first: alternating centres, and more centres than are kept
// (the kept ones start over), each still shows as its own number.
TEST(ShownCentreTest, EachAddressShowsItsOwnNumberWhateverWasAskedBefore) {
    ShownCentre centre;
    EXPECT_EQ(centre.Of("912143658709F1"), "+12345678901");
    EXPECT_EQ(centre.Of("912143658709F1"), "+12345678901");
    EXPECT_EQ(centre.Of("81214365"), "123456");
    EXPECT_EQ(centre.Of("912143658709F1"), "+12345678901");
    for (std::size_t n = 0; n < 3 * ShownCentre::kMaxKept; ++n) {
        const std::string digits = std::to_string(10 + n % 90) + std::to_string(10 + n / 90);
        const std::string shown{digits[1], digits[0], digits[3], digits[2]};
        ASSERT_EQ(centre.Of("81" + digits), shown) << n;
        ASSERT_EQ(centre.Of("81214365"), "123456") << n;
    }
}

} // namespace
