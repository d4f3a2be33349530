// The phonebook list against a real Telvane database of each engine (a copy of the shipped file,
// a database on the test server): load, store, add, change and the heading click, through the
// operations the window's buttons call.

#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "db/CDaoPhonebook.h"
#include "db/EngineFixture.h"
#include "phonebook/CPhonebookManager.h"
#include "phonebook/FakePhonebookForm.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

struct StoredEntry {
    std::string pos, nome, numero, type;
    bool operator==(const StoredEntry&) const = default;
};

class PhonebookDatabaseTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(database.Open(file, true, false)) << database.OpenErrorText();
        form.SetMemory(PhonebookMemory::Dbase);
    }

    std::vector<StoredEntry> Table() {
        std::vector<StoredEntry> entries;
        CDaoPhonebook recordset(&database);
        recordset.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges);
        for (; recordset.IsOpen() && !recordset.IsEOF(); recordset.MoveNext())
            entries.push_back({recordset.Pos, recordset.Nome, recordset.Numero, recordset.Type});
        return entries;
    }

    CDaoDatabase database;
    RecordingMessageSink sink;
    FakeWaiter waiter;
    RecordingForm sessionForm;
    CModemSession session{sink, waiter, sessionForm};
    FakePhonebookForm form;
    CPhonebookManager manager{session, database, form, sink};
};

TELVANE_ON_BOTH_ENGINES(PhonebookDatabaseTest);

// A full disk is a file's: SQLite's page limit stands in for it.
class PhonebookDatabaseFileTest : public PhonebookDatabaseTest {};

INSTANTIATE_TEST_SUITE_P(File, PhonebookDatabaseFileTest, ::testing::Values(Engine::Sqlite),
                         EngineName);

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the dialog's two texts, then their new
// values
bool Answer(std::string& name, std::string& number, const char* newName, const char* newNumber) {
    name = newName;
    number = newNumber;
    return true;
}

TEST_P(PhonebookDatabaseTest, StoreThenLoadShowsTheKindOfEveryRow) {
    form.InsertRow(0, {" 1", "Phone Intl", "+393471234567", "145"});
    form.InsertRow(1, {" 2", "Phone Natl", "0612345678", "129"});
    form.InsertRow(2, {" 3", "Odd type", "5", "161"});
    form.QueueDialog(
        [](auto& name, auto& number) { return Answer(name, number, "Hand", "+4477"); });
    manager.OnAddEntry();
    manager.OnStoreNames();
    EXPECT_EQ(sink.Texts(), Texts{"4 Record succesfully copied"});
    // The hand-made row keeps its kind as the number it stands for; a phone's type as sent.
    EXPECT_EQ(Table(), (std::vector<StoredEntry>{{"NEW", "Hand", "+4477", "145"},
                                                 {" 1", "Phone Intl", "+393471234567", "145"},
                                                 {" 2", "Phone Natl", "0612345678", "129"},
                                                 {" 3", "Odd type", "5", "161"}}));

    form.DeleteAllRows();
    manager.OnReadPhonebook(); // "Dbase": no port needed
    EXPECT_EQ(form.Rows(),
              (std::vector<PhonebookRow>{{"NEW", "Hand", "+4477", "International"},
                                         {" 1", "Phone Intl", "+393471234567", "International"},
                                         {" 2", "Phone Natl", "0612345678", "National"},
                                         {" 3", "Odd type", "5", "National"}}));
    // A second round trip changes nothing.
    manager.OnStoreNames();
    manager.OnReadPhonebook();
    EXPECT_EQ(form.Rows()[4][kTypeColumn], "International");
    EXPECT_EQ(form.Rows()[6][kTypeColumn], "National");
}

TEST_P(PhonebookDatabaseTest, StoringTwiceDoublesTheTable) {
    form.InsertRow(0, {" 1", "Uno", "111", "129"});
    form.InsertRow(1, {" 2", "Due", "222", "145"});
    manager.OnStoreNames();
    manager.OnStoreNames();
    EXPECT_EQ(Table().size(), 4u);
    manager.OnReadPhonebook();
    manager.OnStoreNames(); // right after a load: the whole table again
    EXPECT_EQ(Table().size(), 8u);
    EXPECT_EQ(sink.Texts().back(), "4 Record succesfully copied");
}

TEST_P(PhonebookDatabaseTest, LongTextsAreStoredCutToNinetyNineCharacters) {
    const std::string longName(150, 'n');
    std::string longNumber;
    for (int i = 0; i < 120; ++i)
        longNumber += "è"; // two bytes each: the cut counts characters
    form.InsertRow(0, {std::string(120, 'p'), longName, longNumber, std::string(130, 't')});
    manager.OnStoreNames();
    const std::vector<StoredEntry> table = Table();
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].pos, std::string(99, 'p'));
    EXPECT_EQ(table[0].nome, std::string(99, 'n'));
    EXPECT_EQ(table[0].numero, longNumber.substr(0, 198));
    EXPECT_EQ(table[0].type, std::string(99, 't'));
}

TEST_P(PhonebookDatabaseTest, LoadingEmptiesTheListEvenFromAnEmptyTable) {
    form.InsertRow(0, {" 1", "Uno", "111", "129"});
    manager.OnReadPhonebook();
    EXPECT_TRUE(form.Rows().empty());
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_P(PhonebookDatabaseTest, StoringAnEmptyListWarnsAndWritesNothing) {
    manager.OnStoreNames();
    ASSERT_EQ(sink.Requests().size(), 1u);
    const MessageBoxRequest box = sink.Requests()[0];
    EXPECT_EQ(box.text, "Nothing to copy !!");
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.icon, BoxIcon::Information);
    EXPECT_TRUE(Table().empty());
}

TEST_P(PhonebookDatabaseFileTest, StoringIntoAFullDiskStoresNothingAndSaysWhy) {
    database.Close();
    const FullDisk full;
    ASSERT_TRUE(database.Open(file, true, false));
    for (int i = 0; i < 10000; ++i)
        form.InsertRow(i, {std::to_string(i + 1), "Nome " + std::to_string(i), "+39333000", "145"});
    manager.OnStoreNames();
    EXPECT_EQ(sink.Texts(), Texts{"Nothing was stored in the database: database or disk is full"});
    EXPECT_EQ(sink.Requests().at(0).icon, BoxIcon::Error);
    database.Close();
    EXPECT_EQ(QueryCount(file, "SELECT count(*) FROM Phonebook"), 0);
    EXPECT_TRUE(IntegrityOk(file));
}

TEST_P(PhonebookDatabaseTest, WithoutAnOpenDatabaseBothDirectionsSayTheRecordSetDidNotOpen) {
    database.Close();
    form.InsertRow(0, {" 1", "Uno", "111", "129"});
    manager.OnStoreNames();
    EXPECT_EQ(manager.LoadPhonebookFromDatabase(), 1);
    EXPECT_TRUE(form.Rows().empty());
    EXPECT_EQ(sink.Texts(), (Texts{"Cannot Open dbPhonebook", "Cannot Open dbPhonebook"}));
    EXPECT_EQ(sink.Requests()[0].caption, "Telvane");
}

TEST_P(PhonebookDatabaseTest, StoreUnderSimOrPhoneGoesToThePhoneNotTheDatabase) {
    // Without a session there is no phone to write to: said, and the database stays as it was.
    form.InsertRow(0, {" 1", "Uno", "111", "129"});
    for (PhonebookMemory memory : {PhonebookMemory::Sim, PhonebookMemory::Phone}) {
        form.SetMemory(memory);
        manager.OnStoreNames();
    }
    ASSERT_EQ(sink.Requests().size(), 2u);
    EXPECT_EQ(sink.Requests()[1].text, "COM is closed!");
    EXPECT_TRUE(Table().empty());
}

TEST_P(PhonebookDatabaseTest, AddPutsANewRowOnTopWithItsKindFromTheNumber) {
    form.InsertRow(0, {" 1", "Uno", "111", "129"});
    form.QueueDialog([](auto& name, auto& number) {
        EXPECT_EQ(name, ""); // the dialog opens on empty texts
        EXPECT_EQ(number, "");
        return Answer(name, number, "Empty number", "");
    });
    form.QueueDialog([](auto& name, auto& number) { return Answer(name, number, "Intl", "+39"); });
    manager.OnAddEntry();
    manager.OnAddEntry();
    EXPECT_EQ(form.Rows(), (std::vector<PhonebookRow>{{"NEW", "Intl", "+39", "International"},
                                                      {"NEW", "Empty number", "", "National"},
                                                      {" 1", "Uno", "111", "129"}}));
    EXPECT_TRUE(Table().empty()); // the table waits for "Store"
}

TEST_P(PhonebookDatabaseTest, CancelInTheDialogAddsOrChangesNothing) {
    form.InsertRow(0, {" 1", "Uno", "111", "129"});
    form.Select(0);
    form.QueueDialog([](std::string& name, std::string& number) {
        name = "typed";
        number = "typed";
        return false;
    });
    form.QueueDialog([](std::string&, std::string&) { return false; });
    manager.OnChangeEntry();
    manager.OnAddEntry();
    EXPECT_EQ(form.Rows(), (std::vector<PhonebookRow>{{" 1", "Uno", "111", "129"}}));
}

TEST_P(PhonebookDatabaseTest, ChangeEditsNameAndNumberOfTheSelectedRowOnly) {
    form.InsertRow(0, {" 1", "Uno", "111", "National"});
    form.InsertRow(1, {" 2", "Due", "222", "129"});
    manager.OnChangeEntry(); // nothing selected: no dialog
    EXPECT_EQ(form.DialogRuns(), 0);
    form.Select(0);
    form.QueueDialog([](std::string& name, std::string& number) {
        EXPECT_EQ(name, "Uno");
        EXPECT_EQ(number, "111");
        return Answer(name, number, "Uno bis", "+39111");
    });
    manager.OnChangeEntry();
    // Column 3 keeps "National" although the number became international.
    EXPECT_EQ(form.Rows()[0], (PhonebookRow{" 1", "Uno bis", "+39111", "National"}));
    EXPECT_EQ(form.Rows()[1], (PhonebookRow{" 2", "Due", "222", "129"}));
}

TEST_P(PhonebookDatabaseTest, DialogTextsAreKeptToNineHundredNinetyNineCharacters) {
    form.InsertRow(0, {" 1", std::string(1500, 'a'), "1", "129"});
    form.Select(0);
    form.QueueDialog([](std::string& name, std::string& number) {
        EXPECT_EQ(name.size(), 999u);
        number = std::string(2000, '5');
        return true;
    });
    manager.OnChangeEntry();
    EXPECT_EQ(form.Rows()[0][kNumberColumn].size(), 999u);
}

TEST_P(PhonebookDatabaseTest, HeadingClickKeepsTheOrderAndSaysCiao) {
    form.InsertRow(0, {" 2", "Zeta", "2", "129"});
    form.InsertRow(1, {" 1", "Alfa", "1", "145"});
    form.Select(1);
    const std::vector<PhonebookRow> before = form.Rows();
    const int insertsBefore = form.Inserts();
    manager.OnPhonebookColumnClick();
    EXPECT_EQ(form.Rows(), before);
    EXPECT_EQ(form.Inserts(), insertsBefore); // not rewritten: the selection stays
    EXPECT_EQ(sink.Texts(), Texts{"CIAO"});
    EXPECT_EQ(sink.Requests()[0].caption, "Telvane");
}

} // namespace
