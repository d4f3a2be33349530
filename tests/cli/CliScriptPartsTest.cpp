// The parts behind the commands for scripts: the new options, the stored-message list and its
// records, the joining of long messages, the USSD and signal readers.

#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/SmsRecordOutput.h"
#include "sms/SmsRecord.h"
#include "sms/StoredSms.h"

#include <gtest/gtest.h>

namespace {

TEST(CliScriptOptionsTest, NewCommandsTakeTheirWordsAndRefuseWrongOnes) {
    const auto error = [](std::vector<std::string> words) { return ParseCommandLine(words).error; };
    EXPECT_EQ(error({"get"}), "get takes one argument");
    EXPECT_EQ(error({"get", "x7"}), "a position is a number, not x7");
    EXPECT_EQ(error({"delete"}), "delete takes the positions to delete, or --all");
    EXPECT_EQ(error({"delete", "--all", "3"}), "delete takes the positions to delete, or --all");
    EXPECT_EQ(error({"read", "--join"}), "--join goes with read --all and get");
    EXPECT_EQ(error({"read", "--all", "--move"}),
              "--move and --archive go with read without --all");
    EXPECT_EQ(error({"counts", "--no-header"}), "--no-header goes with --format csv");
    EXPECT_EQ(error({"phonebook", "write", "3", "123"}), "phonebook write takes 3 arguments");
    EXPECT_EQ(error({"phonebook", "delete", "first"}),
              "phonebook delete takes a position number, not first");
    EXPECT_EQ(error({"phonebook", "export"}),
              "phonebook export needs --vcard (the one format it writes)");
    EXPECT_EQ(error({"phonebook", "rename"}),
              "phonebook takes write, delete, export or import, not rename");
    EXPECT_EQ(error({"read", "--memory", "db"}), "--memory db goes with phonebook import only");
    EXPECT_EQ(error({"--version", "counts"}), "--version stands alone");
    EXPECT_EQ(error({"send", "--to", "1", "--max-parts", "256", "x"}),
              "--max-parts takes a number from 1 to 255");
    for (const char* bad : {"2", "0h", "4m", "64w", "3y", "h", "1.5h"})
        EXPECT_NE(error({"send", "--to", "1", "--validity", bad, "x"}), "") << bad;

    const ParsedCommandLine send = ParseCommandLine(
        {"send", "--to", "1", "--validity", "3d", "--flash", "--report", "--max-parts", "4", "x"});
    ASSERT_TRUE(send.options) << send.error;
    EXPECT_EQ(send.options->validityMinutes, 3 * 24 * 60);
    EXPECT_TRUE(send.options->flash && send.options->report);
    EXPECT_EQ(send.options->maxParts, 4);
    const ParsedCommandLine import =
        ParseCommandLine({"phonebook", "import", "a.vcf", "--memory", "db"});
    ASSERT_TRUE(import.options) << import.error;
    EXPECT_EQ(import.options->phonebookAction, PhonebookAction::Import);
    EXPECT_EQ(import.options->arguments, (std::vector<std::string>{"a.vcf"}));
    EXPECT_TRUE(import.options->databaseMemory);
}

TEST(StoredSmsTest, TheListIsSortedByPositionAndBrokenGroupsAreCounted) {
    const StoredSmsList list =
        ParseStoredSmsList({"+CMGL: 9,1,,22", "PDU9", "+CMGL: x,1,,3", "PDUX", "+CMGL: 2,0,,5",
                            "+CMGL: 3,3,,5", "PDU3", "+CMGL: 4,1,,5"});
    ASSERT_EQ(list.messages.size(), 2U);
    EXPECT_EQ(list.messages[0].index, 3);
    EXPECT_EQ(list.messages[0].status, 3);
    EXPECT_EQ(list.messages[0].pdu, "PDU3");
    EXPECT_EQ(list.messages[1].index, 9);
    // The unreadable index, the header followed by a header, the header at the end.
    EXPECT_EQ(list.malformed, 3);
}

TEST(SmsRecordTest, TimeStampsBecomeIsoWithTheirZone) {
    EXPECT_EQ(IsoTime("99309251619580"), "1999-03-29T15:16:59+02:00");
    EXPECT_EQ(IsoTime("42209251619548"), "2024-02-29T15:16:59-01:00");
    EXPECT_EQ(IsoTime("420192516195"
                      "4A"),
              "2024-10-29T15:16:59-06:00");
    EXPECT_EQ(IsoTime("9930925161958"), "");
    EXPECT_EQ(IsoTime("993092516195A0"), "");
    EXPECT_EQ(IsoTime("99309X51619580"), "");
}

TEST(SmsRecordTest, AStatusReportIsNamedAndNotMisreadAsAMessage) {
    // SMS-STATUS-REPORT (first octet 06) stored as received.
    const SmsRecord report =
        DecodeStoredSms({4, 1, "07912143658709F10617099121436587F9993092516195809930925161958000"},
                        SmsMemory::Phone, {});
    EXPECT_EQ(report.memory, "ME");
    EXPECT_EQ(report.type, "status_report");
    EXPECT_FALSE(report.error.empty());
    EXPECT_EQ(report.text, "");
}

SmsRecord Part(int index, int part, int parts, int reference, std::string text) {
    SmsRecord record;
    record.index = index;
    record.number = "+39";
    record.part = part;
    record.parts = parts;
    record.reference = reference;
    record.text = std::move(text);
    return record;
}

TEST(JoinTest, OnlyWholeMessagesAreJoinedAndEachKeepsItsPlace) {
    std::vector<SmsRecord> records = {Part(1, 2, 2, 7, "B"), Part(2, 1, 3, 8, "x"),
                                      Part(3, 1, 2, 7, "A"), Part(4, 3, 3, 8, "z")};
    const std::vector<SmsRecord> joined = JoinLongMessages(records);
    ASSERT_EQ(joined.size(), 3U);
    EXPECT_EQ(joined[0].index, 1);
    EXPECT_EQ(joined[0].text, "AB");
    EXPECT_FALSE(joined[0].part);
    // Part 2 of reference 8 is missing: its parts stay as they are.
    EXPECT_EQ(joined[1].text, "x");
    EXPECT_EQ(joined[1].part, 1);
    EXPECT_EQ(joined[2].text, "z");
    // The same reference from another sender is another message.
    records[2].number = "+40";
    EXPECT_EQ(JoinLongMessages(records).size(), 4U);
}

TEST(RecordOutputTest, JsonHasTypedValuesAndCsvTheSameCellsInKeyOrder) {
    SmsRecord record = Part(12, 1, 2, 300, "say \"hi\"\n");
    record.msgClass = 1;
    std::string line;
    AppendSmsRecordJson(line, record);
    EXPECT_NE(line.find(R"("index":12,)"), std::string::npos) << line;
    EXPECT_NE(line.find(R"("text":"say \"hi\"\n",)"), std::string::npos) << line;
    EXPECT_NE(line.find(R"("class":1,"part":1,"parts":2,"reference":300,)"), std::string::npos)
        << line;
    record.msgClass.reset();
    line.clear();
    AppendSmsRecordJson(line, record);
    EXPECT_NE(line.find(R"("class":null,)"), std::string::npos) << line;
    EXPECT_EQ(SmsRecordCells(record).size(), kSmsRecordKeys.size());
    EXPECT_EQ(SmsRecordCells(record)[10], "");
}

TEST(UssdAndSignalTest, AnswersAreReadAsTheirFieldsSay) {
    const UssdAnswer ucs2 = DecodeUssdAnswer(R"(+CUSD: 0,"0043006900E0",72)");
    EXPECT_EQ(ucs2.text, "Cià");
    EXPECT_EQ(ucs2.coding, "ucs2");
    const UssdAnswer plain = DecodeUssdAnswer(R"(+CUSD: 1,"Menu: 1 2",15)");
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.text, "Menu: 1 2");
    EXPECT_EQ(DecodeUssdAnswer("+CUSD: 4").status, 4);
    EXPECT_EQ(SignalDbm({"+CSQ: 0,99"}), -113);
    EXPECT_EQ(SignalDbm({"+CSQ: 31,0"}), -51);
    EXPECT_EQ(SignalDbm({"+CSQ: 99,99"}), std::nullopt);
    EXPECT_EQ(SignalDbm({"+CREG: 0,1"}), std::nullopt);
}

} // namespace
