#include "EngineFixture.h"
#include "db/CDaoDatabase.h"
#include "db/CDaoPhonebook.h"
#include "db/CDaoSMS_In.h"
#include "db/CDaoSMS_Out.h"
#include "db/CdbSMS_DCS.h"
#include "db/CdbSMS_PID.h"

#include <cctype>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

std::string Lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class RecordsetTest : public EngineDatabaseTest {
protected:
    void Reopen() {
        database.Close();
        ASSERT_TRUE(database.Open(file, true, false));
    }

    void AddPhonebookEntry(const std::string& numero, const std::string& nome) {
        CDaoPhonebook phonebook(&database);
        ASSERT_TRUE(phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges));
        phonebook.AddNew();
        phonebook.Numero = numero;
        phonebook.Nome = nome;
        ASSERT_TRUE(phonebook.Update());
    }
};

TELVANE_ON_BOTH_ENGINES(RecordsetTest);

TEST_P(RecordsetTest, PhonebookRowsAreAppendedAndWalkedInOrder) {
    {
        CDaoPhonebook phonebook(&database);
        ASSERT_TRUE(phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges));
        EXPECT_TRUE(phonebook.IsEOF()) << "the shipped phonebook is empty";
        for (const char* pos : {"1", "2", "NEW"}) {
            ASSERT_TRUE(phonebook.AddNew());
            phonebook.Pos = pos;
            phonebook.Numero = std::string("+39333000") + pos;
            phonebook.Nome = std::string("Nome ") + pos;
            phonebook.Type = "145";
            ASSERT_TRUE(phonebook.Update());
        }
    }
    Reopen();
    CDaoPhonebook phonebook(&database);
    ASSERT_TRUE(phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges));
    std::vector<std::string> walked;
    for (phonebook.MoveFirst(); !phonebook.IsEOF(); phonebook.MoveNext()) {
        walked.push_back(phonebook.Pos + "|" + phonebook.Numero + "|" + phonebook.Nome + "|" +
                         phonebook.Type + "|" + phonebook.Memory);
    }
    EXPECT_EQ(walked,
              (std::vector<std::string>{"1|+393330001|Nome 1|145|", "2|+393330002|Nome 2|145|",
                                        "NEW|+39333000NEW|Nome NEW|145|"}));
    EXPECT_FALSE(phonebook.MoveNext()) << "no row to move from past the end";
}

TEST_P(RecordsetTest, SmsInKeepsEveryColumnAndNumbersItsRows) {
    const DbDateTime when = *DbDateTime::FromParts(2001, 3, 7, 14, 5, 9);
    {
        CDaoSMS_In in(&database);
        ASSERT_TRUE(in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges));
        in.AddNew();
        in.SCA = "+393359609600";
        in.PDUTYPE = 0x04;
        in.Mittente = "+393331234567";
        in.PID = 0x40;
        in.DCS = 0xF6;
        in.DateTime = when;
        in.UDL = 255;
        in.Messaggio = "Ciao, ci vediamo alle 8?";
        ASSERT_TRUE(in.Update());
        // Only the text: the rest takes the table's defaults.
        in.AddNew();
        in.Messaggio = "second";
        ASSERT_TRUE(in.Update());
    }
    // The file holds the time as ISO text; the server as a timestamp.
    EXPECT_EQ(database.IsOpen(), true);
    database.Close();
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In WHERE DateTime = '2001-03-07 14:05:09'"), 1);
    ASSERT_TRUE(database.Open(file, true, false));

    CDaoSMS_In in(&database);
    ASSERT_TRUE(in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges));
    ASSERT_FALSE(in.IsEOF());
    EXPECT_EQ(in.ID, 1);
    EXPECT_EQ(in.SCA, "+393359609600");
    EXPECT_EQ(in.PDUTYPE, 0x04);
    EXPECT_EQ(in.Mittente, "+393331234567");
    EXPECT_EQ(in.PID, 0x40);
    EXPECT_EQ(in.DCS, 0xF6);
    EXPECT_EQ(in.DateTime, when);
    EXPECT_EQ(in.UDL, 255);
    EXPECT_EQ(in.Messaggio, "Ciao, ci vediamo alle 8?");
    ASSERT_TRUE(in.MoveNext());
    EXPECT_EQ(in.ID, 2);
    EXPECT_EQ(in.Messaggio, "second");
    EXPECT_EQ(in.SCA, "");
    EXPECT_EQ(in.PDUTYPE, 0);
    EXPECT_EQ(in.DateTime, std::nullopt);
    in.MoveNext();
    EXPECT_TRUE(in.IsEOF());
}

TEST_P(RecordsetTest, KeysGrowWithEachRowAcrossOpens) {
    const auto append = [this](int rows) {
        CDaoSMS_Out out(&database);
        ASSERT_TRUE(out.Open(dbOpenDynaset, "SELECT * FROM SMS_OUT", dbSeeChanges));
        for (int i = 0; i < rows; ++i) {
            out.AddNew();
            out.Mittente = "--";
            ASSERT_TRUE(out.Update());
        }
    };
    append(3);
    Reopen();
    append(2);
    CDaoSMS_Out out(&database);
    ASSERT_TRUE(out.Open(dbOpenDynaset, "SELECT * FROM SMS_Out", dbSeeChanges));
    std::vector<std::int32_t> keys;
    for (; !out.IsEOF(); out.MoveNext())
        keys.push_back(out.ID);
    EXPECT_EQ(keys, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
}

TEST_P(RecordsetTest, SmsOutKeepsEveryColumn) {
    {
        CDaoSMS_Out out(&database);
        ASSERT_TRUE(out.Open(dbOpenDynaset, "SELECT * FROM SMS_OUT", dbSeeChanges));
        out.AddNew();
        out.SCA = "+393359609600";
        out.PDUTYPE = 0x11;
        out.MR = 7;
        out.Mittente = "--";
        out.PID = 0x41;
        out.DCS = 0x08;
        out.ValidityType = 2;
        out.Validity = "AA";
        out.UDL = 12;
        out.Messaggio = "stored";
        ASSERT_TRUE(out.Update());
    }
    CDaoSMS_Out out(&database);
    ASSERT_TRUE(out.Open(dbOpenDynaset, "SELECT * FROM SMS_Out", dbSeeChanges));
    ASSERT_FALSE(out.IsEOF());
    EXPECT_EQ(out.SCA + "|" + out.Mittente + "|" + out.Validity + "|" + out.Messaggio,
              "+393359609600|--|AA|stored");
    EXPECT_EQ(std::vector<int>({out.PDUTYPE, out.MR, out.PID, out.DCS, out.ValidityType, out.UDL}),
              std::vector<int>({0x11, 7, 0x41, 0x08, 2, 12}));
}

// Appends one option row; then walks the table: its row count and last row.
template <class Recordset>
std::pair<int, std::string> AppendAndWalk(Recordset& options, const char* sql,
                                          std::string Recordset::*member) {
    EXPECT_TRUE(options.Open(dbOpenDynaset, sql, dbSeeChanges));
    options.AddNew();
    options.*member = "99 - Test value";
    EXPECT_TRUE(options.Update());
    std::pair<int, std::string> walked;
    for (options.MoveFirst(); !options.IsEOF(); options.MoveNext()) {
        ++walked.first;
        walked.second = options.*member;
    }
    return walked;
}

TEST_P(RecordsetTest, OptionTablesTakeNewRowsAtTheirEnd) {
    database.Close();
    const long long pidRows = Count("SELECT count(*) FROM dbPID");
    const long long dcsRows = Count("SELECT count(*) FROM dbDCS");
    ASSERT_GT(pidRows, 0);
    ASSERT_TRUE(database.Open(file, true, false));
    CdbSMS_PID pid(&database);
    EXPECT_EQ(AppendAndWalk(pid, "SELECT * FROM dbPID", &CdbSMS_PID::PID),
              std::make_pair(static_cast<int>(pidRows) + 1, std::string("99 - Test value")));
    CdbSMS_DCS dcs(&database);
    EXPECT_EQ(AppendAndWalk(dcs, "SELECT * FROM dbDCS", &CdbSMS_DCS::DCS),
              std::make_pair(static_cast<int>(dcsRows) + 1, std::string("99 - Test value")));
}

TEST_P(RecordsetTest, TextsAreCutAt255Characters) {
    std::string accented;
    for (int i = 0; i < 300; ++i)
        accented += "\xC3\xA8"; // è: two bytes, one character
    {
        CDaoSMS_In in(&database);
        ASSERT_TRUE(in.Open());
        in.AddNew();
        in.Messaggio = accented;
        in.Mittente = std::string(256, '1');
        ASSERT_TRUE(in.Update());
    }
    CDaoSMS_In in(&database);
    ASSERT_TRUE(in.Open());
    EXPECT_EQ(in.Messaggio, accented.substr(0, std::size_t{2} * 255));
    EXPECT_EQ(in.Mittente, std::string(255, '1'));
}

TEST_P(RecordsetTest, TooLongTextsInAForeignFileAreCutOnReading) {
    database.Close();
    ASSERT_TRUE(Run(
        Sql("DROP TABLE Phonebook; CREATE TABLE Phonebook (Pos, Numero, Nome, Type, Memory);"
            "INSERT INTO Phonebook (Nome) VALUES (printf('%.300c', 'x'))",
            "DROP TABLE Phonebook; CREATE TABLE Phonebook (Pos text, Numero text, Nome text, "
            "Type text, Memory text); INSERT INTO Phonebook (Nome) VALUES (repeat('x', 300))")));
    ASSERT_TRUE(database.Open(file, true, false));
    CDaoPhonebook phonebook(&database);
    ASSERT_TRUE(phonebook.Open());
    EXPECT_EQ(phonebook.Nome, std::string(255, 'x'));
}

TEST_P(RecordsetTest, FindFirstMatchesTheWholeValueIgnoringCase) {
    AddPhonebookEntry("123", "plain");
    AddPhonebookEntry("1_3", "underscore");
    AddPhonebookEntry("1%3", "percent");
    AddPhonebookEntry("O'Brien", "quote");
    AddPhonebookEntry("a\\b", "backslash");
    AddPhonebookEntry("+39ABC", "letters");

    CDaoPhonebook phonebook(&database);
    ASSERT_TRUE(phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges));
    const auto nameFor = [&phonebook](const std::string& numero) {
        return phonebook.FindFirst("Numero", numero) ? phonebook.Nome : std::string("<none>");
    };
    EXPECT_EQ(nameFor("123"), "plain");
    EXPECT_EQ(nameFor("1_3"), "underscore");
    EXPECT_EQ(nameFor("1%3"), "percent");
    EXPECT_EQ(nameFor("O'Brien"), "quote");
    EXPECT_EQ(nameFor("o'brien"), "quote");
    EXPECT_EQ(nameFor("a\\b"), "backslash");
    EXPECT_EQ(nameFor("+39abc"), "letters");
    // Wildcards, quotes and partial texts match nothing else.
    for (const char* value :
         {"%", "_", "1%", "12", "1__", "' OR '1'='1", "x' OR Nome LIKE '%", "a\\", "+39"})
        EXPECT_EQ(nameFor(value), "<none>") << value;
}

TEST_P(RecordsetTest, FindFirstMovesTheWalkOrLeavesItAlone) {
    AddPhonebookEntry("111", "first");
    AddPhonebookEntry("222", "second");
    AddPhonebookEntry("333", "third");
    CDaoPhonebook phonebook(&database);
    ASSERT_TRUE(phonebook.Open());
    ASSERT_TRUE(phonebook.FindFirst("numero", "222"));
    ASSERT_TRUE(phonebook.MoveNext());
    EXPECT_EQ(phonebook.Nome, "third");

    EXPECT_FALSE(phonebook.FindFirst("Numero", "999"));
    EXPECT_EQ(phonebook.Nome, "third");
    EXPECT_FALSE(phonebook.FindFirst("NoSuchColumn", "111"));
    phonebook.MoveNext();
    EXPECT_TRUE(phonebook.IsEOF());
}

TEST_P(RecordsetTest, OnlyTheRecordsetsOwnTableOpens) {
    for (const char* sql : {"SELECT * FROM SMS_OUT", "SELECT * FROM SMS_Out",
                            "select * from sms_out", "SELECT * FROM [SMS_Out];", "[SMS_Out]", ""}) {
        CDaoSMS_Out out(&database);
        EXPECT_TRUE(out.Open(dbOpenDynaset, sql, dbSeeChanges)) << sql;
    }
    for (const char* sql : {"SELECT * FROM SMS_In", "SELECT * FROM SMS_Out WHERE 1",
                            "SELECT ID FROM SMS_Out", "DROP TABLE SMS_Out", "SMS_Out; DROP"}) {
        CDaoSMS_Out out(&database);
        EXPECT_FALSE(out.Open(dbOpenDynaset, sql, dbSeeChanges)) << sql;
        EXPECT_FALSE(out.IsOpen());
        EXPECT_TRUE(out.IsEOF());
        EXPECT_FALSE(out.AddNew());
    }
    CDaoSMS_Out out(&database);
    EXPECT_TRUE(out.Open()) << "the table survived";
}

TEST_P(RecordsetTest, NothingOpensWithoutAnOpenDatabaseOrWithMissingColumns) {
    database.Close();
    CDaoSMS_In in(&database);
    EXPECT_FALSE(in.Open());

    ASSERT_TRUE(Run("DROP TABLE SMS_In; CREATE TABLE SMS_In (ID INTEGER PRIMARY KEY, SCA TEXT)"));
    ASSERT_TRUE(database.Open(file, true, false));
    EXPECT_FALSE(in.Open()) << "a table without the bound column";
    CDaoSMS_Out out(&database);
    EXPECT_TRUE(out.Open());
}

TEST_P(RecordsetTest, ClosingTheDatabaseClosesItsRecordsetsAndKeepsTheirRows) {
    CDaoSMS_In in(&database);
    ASSERT_TRUE(in.Open());
    in.AddNew();
    in.Messaggio = "kept";
    ASSERT_TRUE(in.Update());
    database.Close();
    EXPECT_FALSE(in.IsOpen());
    EXPECT_FALSE(in.MoveFirst());
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In WHERE Messaggio = 'kept'"), 1);
}

TEST_P(RecordsetTest, AppendsAreCommittedWhenTheRecordsetCloses) {
    database.Close();
    // Each child ends without closing its database, as a crash would.
    const int child = RunInChild([this] {
        CDaoDatabase db;
        CDaoSMS_In in(&db);
        if (!db.Open(file, true, false) || !in.Open())
            return false;
        for (const char* text : {"one", "two"}) {
            in.AddNew();
            in.Messaggio = text;
            in.Update();
        }
        in.Close();
        return true;
    });
    ASSERT_EQ(child, 0);
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In"), 2);
}

TEST_P(RecordsetTest, ARefusedRowStoresNoneOfTheGroupAndCloseSaysSo) {
    CDaoSMS_In in(&database);
    CDaoSMS_Out out(&database);
    ASSERT_TRUE(in.Open());
    ASSERT_TRUE(out.Open());
    out.AddNew();
    out.Messaggio = "out";
    ASSERT_TRUE(out.Update());
    for (const char* text : {"one", "two"}) {
        in.AddNew();
        in.Messaggio = text;
        ASSERT_TRUE(in.Update());
    }
    in.AddNew();
    in.ID = 1; // a key already taken: the engine refuses the row
    EXPECT_FALSE(in.Update());
    EXPECT_NE(Lowered(in.ErrorText()).find("unique"), std::string::npos) << in.ErrorText();
    in.AddNew();
    in.Messaggio = "after";
    EXPECT_FALSE(in.Update()) << "a failed group takes no more rows";
    EXPECT_FALSE(in.Close());
    EXPECT_FALSE(out.Close()) << "the other record set's rows went with the group";
    EXPECT_FALSE(out.ErrorText().empty());
    database.Close();
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_Out"), 0);

    // The next group starts clean.
    ASSERT_TRUE(database.Open(file, true, false));
    ASSERT_TRUE(in.Open());
    in.AddNew();
    in.Messaggio = "later";
    EXPECT_TRUE(in.Update());
    EXPECT_TRUE(in.Close());
    EXPECT_TRUE(in.ErrorText().empty());
}

TEST_P(RecordsetTest, UpdateShowsTheCurrentRowAgain) {
    AddPhonebookEntry("111", "first");
    CDaoPhonebook phonebook(&database);
    ASSERT_TRUE(phonebook.Open());
    EXPECT_FALSE(phonebook.Update()) << "Update without AddNew";
    phonebook.AddNew();
    EXPECT_EQ(phonebook.Nome, "");
    phonebook.Nome = "added";
    ASSERT_TRUE(phonebook.Update());
    EXPECT_EQ(phonebook.Nome, "first");
}

// The read worker looks names up on its thread while the form may append on its own.
TEST_P(RecordsetTest, RecordsetsOnTwoThreadsShareTheDatabase) {
    AddPhonebookEntry("111", "first");
    int found = 0;
    std::jthread worker([this, &found] {
        CDaoPhonebook phonebook(&database);
        if (!phonebook.Open())
            return;
        for (int i = 0; i < 200; ++i)
            found += phonebook.FindFirst("Numero", "111") && phonebook.Nome == "first" ? 1 : 0;
    });
    int appended = 0;
    {
        CDaoSMS_In in(&database);
        ASSERT_TRUE(in.Open());
        for (int i = 0; i < 200; ++i) {
            in.AddNew();
            in.Messaggio = std::to_string(i);
            appended += in.Update() ? 1 : 0;
        }
    }
    worker.join();
    EXPECT_EQ(found, 200);
    EXPECT_EQ(appended, 200);
    database.Close();
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In"), 200);
}

} // namespace
