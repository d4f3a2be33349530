// The Phonebook Manager tab on the real widgets: reading a SIM phonebook from the phone
// simulator into the list, stopping a read, the closed port, the Retry box, and the list's round
// trip through the database with the entry dialog.
#include "db/CDaoPhonebook.h"
#include "phonebook/CPhonebookEntryDlg.h"
#include "res/form/FormControls.h"
#include "serial/serialdata.h"
#include "tests/app/PhoneWindow.h"

#include <QDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>

namespace {

constexpr const char* kSimPhonebook = "range SM 1 250\n"
                                      "phonebook SM 1 145 \"+393471234567\" \"Marco\"\n"
                                      "phonebook SM 2 129 \"07700900123\" \"Office, Rome\"\n"
                                      "phonebook SM 7 145 \"+447700900456\" \"Parcel\"\n";

class PhonebookWindowTest : public PhoneWindowTest {
protected:
    void ShowPhonebook() {
        view->OnJumpTo(2);
        list = qobject_cast<QTreeWidget*>(view->Control(kPhonebookListId));
        ASSERT_NE(list, nullptr);
    }

    void Click(int id) const { qobject_cast<QAbstractButton*>(view->Control(id))->click(); }

    // Clicks "Read" on the SIM memory.
    void ReadSim() const {
        qobject_cast<QAbstractButton*>(view->Control(kPhonebookSimRadioId))->click();
        Click(kReadNamesButtonId);
    }

    // How many position commands (AT+CPBR=<n>) the phone received; the highest index asked.
    static std::pair<int, int> PositionCommands(const PhoneSim& phone) {
        int count = 0;
        int highest = -1;
        for (const std::string& line : phone.Received()) {
            if (line.starts_with("AT+CPBR=") && line != "AT+CPBR=?") {
                ++count;
                highest = std::max(highest, std::stoi(line.substr(8)));
            }
        }
        return {count, highest};
    }

    Texts Row(int index) const {
        Texts texts;
        if (const QTreeWidgetItem* item = list->topLevelItem(index))
            for (int column = 0; column < 4; ++column)
                texts.push_back(item->text(column).toStdString());
        return texts;
    }

    bool ReadEnded() {
        return RunUntil([this] { return !view->Phonebook().Reading(); }, 90000);
    }

    QTreeWidget* list = nullptr;
};

TEST_F(PhonebookWindowTest, ReadsTheSimIntoTheListAskingEveryPositionOnce) {
    PhoneSim phone({.fixture = kSimPhonebook});
    Start(phone);
    ToggleSession();
    ShowPhonebook();
    ReadSim();
    EXPECT_EQ(view->busy, 1);
    ASSERT_TRUE(ReadEnded());
    EXPECT_EQ(view->busy, 0);
    EXPECT_TRUE(boxes.empty());
    const Texts received = phone.Received();
    EXPECT_NE(std::find(received.begin(), received.end(), "AT+CPBS=\"SM\""), received.end());
    EXPECT_EQ(PositionCommands(phone), std::make_pair(251, 250)) << "indexes 0 to 250, once";
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(Row(0)[kNameColumn], "Marco");
    EXPECT_EQ(Row(0)[kNumberColumn], "+393471234567");
    EXPECT_EQ(Row(1)[kNameColumn], "Office, Rome");
    EXPECT_EQ(Row(2)[kNumberColumn], "+447700900456");
    const auto* progress = qobject_cast<QProgressBar*>(view->Control(1109));
    EXPECT_EQ(progress->maximum(), 250);
}

TEST_F(PhonebookWindowTest, StopEndsTheReadAfterTheCurrentPosition) {
    PhoneSim phone({.fixture = kSimPhonebook});
    Start(phone);
    ToggleSession();
    ShowPhonebook();
    ReadSim();
    ASSERT_TRUE(RunUntil([&phone] { return PositionCommands(phone).first >= 3; }));
    view->OnStopTask();
    ASSERT_TRUE(ReadEnded());
    const int asked = PositionCommands(phone).first;
    EXPECT_LE(asked, 5);
    EXPECT_EQ(view->stopRequest, 0);
    EXPECT_EQ(view->busy, 0);
    // Nothing more goes out once the read has ended.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(PositionCommands(phone).first, asked);
}

TEST_F(PhonebookWindowTest, ClosingTheWindowDuringAReadEndsIt) {
    PhoneSim phone({.fixture = kSimPhonebook});
    Start(phone);
    ToggleSession();
    ShowPhonebook();
    ReadSim();
    ASSERT_TRUE(RunUntil([&phone] { return PositionCommands(phone).first >= 2; }));
    frame->close(); // must neither hang nor show a box
    EXPECT_FALSE(view->Phonebook().Reading());
    EXPECT_EQ(view->portOpen, 0);
    EXPECT_LT(PositionCommands(phone).first, 10);
}

TEST_F(PhonebookWindowTest, ReadingThePhoneWithThePortClosedIsRefused) {
    PhoneSim phone({.fixture = kSimPhonebook});
    Start(phone);
    ShowPhonebook();
    view->Control(kPhonebookSimRadioId)->setEnabled(true);
    ReadSim();
    ASSERT_TRUE(RunUntil([this] { return !boxes.empty(); }, 5000));
    EXPECT_EQ(boxes, Texts{"COM is closed!"});
    EXPECT_EQ(view->busy, 0);
    EXPECT_TRUE(phone.Received().empty());
}

TEST_F(PhonebookWindowTest, ErrorToTheMemoryCommandAsksAndRetrySendsItAgain) {
    PhoneSim phone({.fixture = "range SM 1 2\nreply AT+CPBS ERROR\n"});
    Start(phone);
    ToggleSession();
    ShowPhonebook();
    QueueAnswer(QMessageBox::Retry);
    QueueAnswer(QMessageBox::Ignore);
    ReadSim();
    ASSERT_TRUE(ReadEnded());
    EXPECT_EQ(boxes, (Texts{"ERROR ricevuto!", "ERROR ricevuto!"}));
    const Texts received = phone.Received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "AT+CPBS=\"SM\""), 2);
    EXPECT_NE(std::find(received.begin(), received.end(), "AT+CPBR=?"), received.end())
        << "Ignore goes on with the read";
}

TEST_F(PhonebookWindowTest, ListRoundTripsThroughTheDatabaseKeepingTheNumberType) {
    PhoneSim phone;
    Start(phone);
    ShowPhonebook();
    ASSERT_TRUE(qobject_cast<QAbstractButton*>(view->Control(kDbaseRadioId))->isChecked());
    Click(kReadNamesButtonId);
    const int shipped = list->topLevelItemCount();
    list->clear();
    list->addTopLevelItem(new QTreeWidgetItem({"1", "Marco", "+393471234567", "145"}));
    onDialog = [](QWidget* modal) {
        modal->findChild<QLineEdit*>(QStringLiteral("1053"))->setText(QStringLiteral("Anna"));
        modal->findChild<QLineEdit*>(QStringLiteral("1100"))->setText(QStringLiteral("+3912"));
        qobject_cast<QDialog*>(modal)->accept();
    };
    QTimer::singleShot(0, [this] { Click(kAddEntryButtonId); });
    ASSERT_TRUE(RunUntil([this] { return list->topLevelItemCount() == 2; }, 5000));
    EXPECT_EQ(Row(0), (Texts{"NEW", "Anna", "+3912", "International"}));

    Click(kStoreNamesButtonId);
    Click(kReadNamesButtonId);
    ASSERT_EQ(list->topLevelItemCount(), shipped + 2);
    const auto shown = [this](const std::string& name) {
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (Row(i)[kNameColumn] == name)
                return Row(i)[kTypeColumn];
        return std::string("missing");
    };
    EXPECT_EQ(shown("Marco"), "International") << "stored as 145";
    EXPECT_EQ(shown("Anna"), "International") << "a hand-added entry keeps its type";

    Click(kStoreNamesButtonId);
    Click(kReadNamesButtonId);
    EXPECT_EQ(list->topLevelItemCount(), 2 * (shipped + 2)) << "a second store appends again";
    const std::string copied = std::to_string(shipped + 2) + " Record succesfully copied";
    EXPECT_EQ(boxes, (Texts{"2 Record succesfully copied", copied}));
}

TEST_F(PhonebookWindowTest, APhoneInUcs2GivesNamesInAnyScriptStoredInUtf8) {
    PhoneSim phone({.fixture = "range SM 1 2\n"
                               "phonebook SM 1 145 \"+390612345\" \"Città più\"\n"
                               "phonebook SM 2 145 \"+74951234567\" \"Иван Петров\"\n"});
    Start(phone);
    ToggleSession();
    ASSERT_EQ(view->Session().SendAndWait(R"(AT+CSCS="UCS2")", kSendCommandLine), kAnswerOk);
    ShowPhonebook();
    ReadSim();
    ASSERT_TRUE(ReadEnded());
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(Row(0), (Texts{" 1", "Città più", "+390612345", "145"}));
    EXPECT_EQ(Row(1), (Texts{" 2", "Иван Петров", "+74951234567", "145"}));

    qobject_cast<QAbstractButton*>(view->Control(kDbaseRadioId))->click();
    Click(kStoreNamesButtonId);
    CDaoPhonebook book(&view->database);
    ASSERT_TRUE(book.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges));
    ASSERT_TRUE(book.FindFirst("Numero", "+74951234567"));
    EXPECT_EQ(book.Nome,
              "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2");
    ASSERT_TRUE(book.FindFirst("Numero", "+390612345"));
    EXPECT_EQ(book.Nome, "Citt\xC3\xA0 pi\xC3\xB9");
    book.Close();

    ASSERT_EQ(view->Session().SendAndWait("AT+CSCS?", kSendCommandLine), kAnswerOk);
    EXPECT_EQ(SnapshotLines(view->Session().Store()).front(), R"(+CSCS: "UCS2")")
        << "the phone's set as it was";
}

} // namespace

namespace {

TEST_F(PhonebookWindowTest, StoreWritesTheListToTheSimAfterAskingAndTellsWhatFailed) {
    PhoneSim phone({.fixture = "range SM 1 3\n"
                               "phonebook SM 1 145 \"+393471234567\" \"Marco\"\n"
                               "phonebook SM 2 129 \"07700900123\" \"Office, Rome\"\n"});
    Start(phone);
    ToggleSession();
    ShowPhonebook();
    ReadSim();
    ASSERT_TRUE(ReadEnded());
    list->addTopLevelItem(new QTreeWidgetItem({"NEW", "Anna", "+3912", "International"}));
    list->addTopLevelItem(new QTreeWidgetItem({"NEW", "Zoë", "555", "National"}));
    const auto writes = [&phone] {
        Texts found;
        for (const std::string& line : phone.Received())
            if (line.starts_with("AT+CPBW="))
                found.push_back(line);
        return found;
    };
    // No: nothing goes to the phone.
    QueueAnswer(QMessageBox::No);
    Click(kStoreNamesButtonId);
    EXPECT_TRUE(writes().empty());
    QueueAnswer(QMessageBox::Yes);
    Click(kStoreNamesButtonId);
    ASSERT_TRUE(RunUntil([this] { return boxes.size() == 3; }, 30000)) << boxes.size();
    const std::string question = "Write the 4 entries of the list to the SIM, positions 1 to 4?";
    EXPECT_EQ(boxes[0], question);
    EXPECT_EQ(boxes[1], question);
    // The hand-added rows take the free positions (the SIM holds three); the names go in UCS2,
    // as the read asked for them.
    EXPECT_EQ(writes(), (Texts{"AT+CPBW=1,\"+393471234567\",145,\"004D006100720063006F\"",
                               "AT+CPBW=2,\"07700900123\",129,"
                               "\"004F00660066006900630065002C00200052006F006D0065\"",
                               "AT+CPBW=3,\"+3912\",145,\"0041006E006E0061\"",
                               "AT+CPBW=4,\"555\",129,\"005A006F00EB\""}));
    EXPECT_EQ(boxes[2], "3 of 4 entries written to the SIM; not written: position 4 "
                        "(AT+CPBW=4,\"555\",129,\"005A006F00EB\": ERROR)");
    // The report comes before the store gives the port back: a read asked before then is refused.
    ASSERT_TRUE(RunUntil([this] { return !view->Phonebook().Busy(); }, 30000));
    list->clear(); // a read adds to the list
    ReadSim();
    ASSERT_TRUE(ReadEnded());
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(Row(2)[kNameColumn], "Anna");
}

} // namespace
