// The Read SMS tab on the real widgets against the phone simulator: the counts asked when the
// session opens, the walk over scattered indexes into the SMS list, the direction boxes,
// "Move", "Stop current task", an empty memory, the copy into the archive and the archive viewer
// opened from the menu, and a log file of the simulator's own transcript loaded through "Read
// From File".
#include "archive/CSmsArchiveDlg.h"
#include "db/CDaoSMS_In.h"
#include "db/CDaoSMS_Out.h"
#include "res/form/FormControls.h"
#include "sms/DeliveryReports.h"
#include "sms/SmsLogFile.h"
#include "sms/view/CMessageViewDlg.h"
#include "tests/app/PhoneWindow.h"

#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <fstream>

namespace {

// SMS-DELIVER from +12345678901 through the centre +12345678901, 29/03/99 15:16:59, "hello".
constexpr std::string_view kHelloPdu =
    "07912143658709F1040B912143658709F100009930925161958005e8329bfd06";
// A PDU that no parser takes.
constexpr std::string_view kBrokenPdu = "07912143658709F1040B91";

std::string Sms(int index, int stat, std::string_view pdu) {
    return "sms SM " + std::to_string(index) + " " + std::to_string(stat) + " " + std::string(pdu) +
           "\n";
}

class ReadSmsWindowTest : public PhoneWindowTest {
protected:
    // Opens the session and waits for the counts that the first tab's activation asks.
    void OpenAndCount() {
        ToggleSession();
        ASSERT_FALSE(CountText().empty());
    }

    std::string CountText() const {
        return qobject_cast<QLineEdit*>(view->Control(kSimCountEditId))->text().toStdString();
    }

    void Click(int id) const { qobject_cast<QAbstractButton*>(view->Control(id))->click(); }

    // Clicks "Read SMS from phone" and waits for the walk to end.
    void ReadFromPhone() {
        Click(kReadSmsButtonId);
        EXPECT_EQ(view->busy, 1);
        ASSERT_TRUE(RunUntil([this] { return view->busy == 0; }, 120000));
    }

    static Texts Reads(int first, int last) {
        Texts reads;
        for (int index = first; index <= last; ++index)
            reads.push_back("AT+CMGR=" + std::to_string(index));
        return reads;
    }

    // A column of the SMS list as the table view shows it.
    Texts Column(int column) const {
        const auto* list = qobject_cast<QTableView*>(view->Control(kSmsListId));
        const QAbstractItemModel* model = list->model();
        Texts texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts.push_back(model->index(row, column).data().toString().toStdString());
        return texts;
    }

    // Puts a name for the hello sender into the database's phonebook, through the Phonebook
    // Manager's store with "Dbase" checked.
    void StoreSenderName() {
        view->OnJumpTo(2);
        auto* list = qobject_cast<QTreeWidget*>(view->Control(kPhonebookListId));
        list->clear();
        list->addTopLevelItem(new QTreeWidgetItem({"1", "Mario Rossi", "+12345678901", "145"}));
        Click(kStoreNamesButtonId);
        ASSERT_EQ(boxes, Texts{"1 Record succesfully copied"});
        boxes.clear();
        view->OnJumpTo(0);
    }

    // Senders and texts of the archive's received messages.
    std::vector<std::pair<std::string, std::string>> ArchivedIn() const {
        std::vector<std::pair<std::string, std::string>> rows;
        CDaoSMS_In in(&view->database);
        if (!in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges))
            return rows;
        for (; !in.IsEOF(); in.MoveNext())
            rows.emplace_back(in.Mittente, in.Messaggio);
        return rows;
    }
};

TEST_F(ReadSmsWindowTest, ReadsScatteredMessagesUpToTheCountThenArchivesAndViewsThem) {
    PhoneSim phone({.fixture = Sms(1, 1, kHelloPdu) + Sms(4, 0, kHelloPdu) + Sms(9, 1, kHelloPdu)});
    Start(phone);
    StoreSenderName();
    OpenAndCount();
    EXPECT_EQ(CountText(), " 3");
    EXPECT_TRUE(Starting(phone, "AT+CMGR").empty()) << "opening asks the counts only";

    ReadFromPhone();
    EXPECT_EQ(Starting(phone, "AT+CMGR="), Reads(1, 9)) << "nothing after the third message";
    EXPECT_TRUE(Starting(phone, "AT+CMGD").empty());
    EXPECT_EQ(Column(kSmsNumberColumn), (Texts{"3", "2", "1"}));
    EXPECT_EQ(Column(kSmsStatColumn), (Texts{"READ", "UNREAD", "READ"}));
    EXPECT_EQ(Column(kSmsTextColumn), (Texts{"hello", "hello", "hello"}));
    EXPECT_EQ(Column(kSmsNameColumn), (Texts{"Mario Rossi", "Mario Rossi", "Mario Rossi"}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(view->Control(kReadSmsButtonId)->isEnabled()) << "read controls enabled again";

    const std::size_t archivedBefore = ArchivedIn().size();
    Click(kCopySmsButtonId);
    const auto archived = ArchivedIn();
    ASSERT_EQ(archived.size(), archivedBefore + 3);
    for (std::size_t i = archivedBefore; i < archived.size(); ++i)
        EXPECT_EQ(archived[i], std::make_pair(std::string("+12345678901"), std::string("hello")));
    EXPECT_EQ(Column(kSmsNumberColumn).size(), 3U) << "the list stays as it is";
    EXPECT_EQ(boxes, Texts{"SMS succesfully copied to database"});
    boxes.clear();

    Texts names;
    onDialog = [&names](QWidget* modal) {
        auto* dialog = qobject_cast<CSmsArchiveDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        const auto* list = dialog->findChild<QTableView*>(
            QStringLiteral("control%1").arg(CSmsArchiveDlg::kListId));
        ASSERT_NE(list, nullptr);
        for (int row = 0; row < list->model()->rowCount(); ++row)
            names.push_back(
                list->model()->index(row, kSmsNameColumn).data().toString().toStdString());
        dialog->accept();
    };
    frame->Action(kCmdSmsArchive)->trigger();
    EXPECT_EQ(std::count(names.begin(), names.end(), "Mario Rossi"), 3) << "listed with the name";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ReadSmsWindowTest, MoveErasesEachListedMessageAfterItsRead) {
    PhoneSim phone(
        {.fixture = Sms(1, 1, kHelloPdu) + Sms(2, 1, kBrokenPdu) + Sms(3, 0, kHelloPdu)});
    Start(phone);
    OpenAndCount();
    qobject_cast<QAbstractButton*>(view->Control(kMoveCheckId))->setChecked(true);
    ReadFromPhone();
    Texts exchanges = phone.Received();
    std::erase_if(exchanges, [](const std::string& line) {
        return !line.starts_with("AT+CMGR") && !line.starts_with("AT+CMGD");
    });
    EXPECT_EQ(exchanges, (Texts{"AT+CMGR=1", "AT+CMGD=1", "AT+CMGR=2", "AT+CMGR=3", "AT+CMGD=3"}))
        << "the message that could not be shown stays on the phone";
    EXPECT_EQ(boxes, Texts{"Error parsing... sorry"});
}

// What a phone may keep under a received status: its own SUBMIT, and the centre's report on
// message 64 (published by faucamp/python-gsmmodem, issue #44).
TEST_F(ReadSmsWindowTest, EachPduIsListedAsWhatItIsAndOnlyMessagesAreArchived) {
    const std::string_view submit = "07912143658709F11100099121436587F900f0FF0361f118";
    const std::string_view report =
        "079119890400202306400C91197909913764511090718384225110907183252200";
    PhoneSim phone({.fixture = Sms(1, 1, submit) + Sms(2, 0, report) + Sms(3, 1, kBrokenPdu) +
                               Sms(4, 0, kHelloPdu)});
    Start(phone);
    OpenAndCount();
    qobject_cast<QAbstractButton*>(view->Control(kMoveCheckId))->setChecked(true);
    ReadFromPhone();
    EXPECT_EQ(Column(kSmsTypeColumn), (Texts{"IN", "IN", "REPORT", "OUT"}));
    EXPECT_EQ(Column(kSmsTextColumn),
              (Texts{"hello", std::string(kBrokenPdu), "Report on message 64: delivered", "abc"}));
    EXPECT_EQ(Column(kSmsSenderColumn), (Texts{"+12345678901", "", "+919790197346", "--"}));
    EXPECT_EQ(boxes, Texts{"Error parsing... sorry"}) << "only for the broken PDU";
    boxes.clear();
    EXPECT_EQ(Starting(phone, "AT+CMGD="), (Texts{"AT+CMGD=1", "AT+CMGD=2", "AT+CMGD=4"}))
        << "what was listed decoded is moved, so no later read archives it again";

    const std::size_t archivedBefore = ArchivedIn().size();
    Click(kCopySmsButtonId);
    const auto archived = ArchivedIn();
    ASSERT_EQ(archived.size(), archivedBefore + 1) << "neither the report nor the raw line";
    EXPECT_EQ(archived.back().second, "hello");
    CDaoSMS_Out out(&view->database);
    ASSERT_TRUE(out.Open(dbOpenDynaset, "SELECT * FROM SMS_OUT", dbSeeChanges));
    std::string lastOut;
    for (; !out.IsEOF(); out.MoveNext())
        lastOut = out.Messaggio;
    out.Close();
    EXPECT_EQ(lastOut, "abc") << "the SUBMIT goes to SMS_Out";
    EXPECT_EQ(boxes, Texts{"SMS succesfully copied to database"});
    EXPECT_EQ(frame->statusBar()->currentMessage().toStdString(),
              "Not copied to the database: 1 status report and 1 message that did not decode");
}

TEST_F(ReadSmsWindowTest, TheDirectionBoxesChooseWhatTheReadLists) {
    // A stored, unsent SMS-SUBMIT to +123456789, "abc".
    const std::string_view submit = "07912143658709F11100099121436587F900f0FF0361f118";
    PhoneSim phone({.fixture = Sms(1, 1, kHelloPdu) + Sms(2, 2, submit) + Sms(3, 0, kHelloPdu)});
    Start(phone);
    OpenAndCount();
    auto* in = qobject_cast<QAbstractButton*>(view->Control(kSmsInCheckId));
    auto* out = qobject_cast<QAbstractButton*>(view->Control(kSmsOutCheckId));
    ASSERT_TRUE(in != nullptr && out != nullptr);
    EXPECT_EQ(in->text(), "SMS IN");
    EXPECT_EQ(out->text(), "SMS Out");
    out->setChecked(true);
    ReadFromPhone();
    EXPECT_EQ(Column(kSmsTypeColumn), Texts{"OUT"});
    EXPECT_EQ(Column(kSmsTextColumn), Texts{"abc"});

    out->setChecked(false);
    in->setChecked(true);
    ReadFromPhone();
    EXPECT_EQ(Column(kSmsTypeColumn), (Texts{"IN", "IN"}));

    in->setChecked(false);
    ReadFromPhone();
    EXPECT_EQ(Column(kSmsTypeColumn), (Texts{"IN", "OUT", "IN"})) << "neither box: both listed";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ReadSmsWindowTest, StopCurrentTaskEndsTheWalkBeforeTheNextIndex) {
    // Two messages far apart: the walk would ask every index up to 40.
    PhoneSim phone({.fixture = "capacity SM 50\n" + Sms(1, 1, kHelloPdu) + Sms(40, 1, kHelloPdu)});
    Start(phone);
    OpenAndCount();
    Click(kReadSmsButtonId);
    ASSERT_TRUE(RunUntil([&phone] { return Starting(phone, "AT+CMGR=").size() >= 3; }));
    frame->Action(kCmdStopTask)->trigger();
    ASSERT_TRUE(RunUntil([this] { return view->busy == 0; }));
    EXPECT_EQ(view->stopRequest, 0);
    const std::size_t asked = Starting(phone, "AT+CMGR=").size();
    EXPECT_LE(asked, 4U) << "at most the index under way when the stop came";
    // Nothing more goes out once the walk has ended.
    RunUntil([] { return false; }, 800);
    EXPECT_EQ(Starting(phone, "AT+CMGR=").size(), asked);
    EXPECT_EQ(Column(kSmsNumberColumn), Texts{"1"});
}

TEST_F(ReadSmsWindowTest, ClosingTheWindowDuringAReadEndsIt) {
    PhoneSim phone({.fixture = "capacity SM 50\n" + Sms(1, 1, kHelloPdu) + Sms(40, 1, kHelloPdu)});
    Start(phone);
    OpenAndCount();
    Click(kReadSmsButtonId);
    ASSERT_TRUE(RunUntil([&phone] { return Starting(phone, "AT+CMGR=").size() >= 2; }));
    frame->close(); // must neither hang nor show a box
    EXPECT_EQ(view->busy, 0);
    EXPECT_EQ(view->portOpen, 0);
    EXPECT_LT(Starting(phone, "AT+CMGR=").size(), 5U);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ReadSmsWindowTest, EmptyMemorySendsNoReadAndEmptiesTheList) {
    PhoneSim phone;
    Start(phone);
    OpenAndCount();
    EXPECT_EQ(CountText(), " 0");
    view->SmsForm().InsertSmsRows(0, {SmsRow{"old"}});
    ASSERT_EQ(Column(kSmsNumberColumn), Texts{"old"});
    ReadFromPhone();
    EXPECT_TRUE(Starting(phone, "AT+CMGR").empty());
    EXPECT_TRUE(Column(kSmsNumberColumn).empty());
    EXPECT_TRUE(boxes.empty());
}

// "Erase all SMS on phone": asked first, then the delete-all flag where the phone offers it, one
// position at a time where it does not, the counts read again and the list emptied.
class EraseAllSmsWindowTest : public ReadSmsWindowTest {
protected:
    // Clicks the button and waits until the erase has given the port back.
    void EraseAll() {
        Click(kEraseAllSmsButtonId);
        ASSERT_TRUE(view->Session().PortTaken()) << "the erase runs as a task";
        ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken(); }, 60000));
    }

    std::string Status() const { return frame->statusBar()->currentMessage().toStdString(); }

    static std::string ThreeOnSim() {
        return Sms(1, 1, kHelloPdu) + Sms(4, 0, kHelloPdu) + Sms(9, 1, kHelloPdu) + "sms ME 2 1 " +
               std::string(kHelloPdu) + "\n";
    }
};

TEST_F(EraseAllSmsWindowTest, AsksNamingMemoryAndCountThenErasesWithTheDeleteAllFlag) {
    PhoneSim phone({.fixture = ThreeOnSim()});
    Start(phone);
    OpenAndCount();
    ReadFromPhone();
    ASSERT_EQ(Column(kSmsNumberColumn).size(), 3U);

    QueueAnswer(QMessageBox::No);
    EraseAll();
    EXPECT_EQ(boxes, Texts{"Erase all 3 SMS stored in SIM (SM) ?\nThey cannot be recovered."});
    EXPECT_TRUE(Starting(phone, "AT+CMGD").empty()) << "No erases nothing";
    EXPECT_EQ(Column(kSmsNumberColumn).size(), 3U);

    boxes.clear();
    EraseAll();
    EXPECT_EQ(boxes.size(), 1U);
    EXPECT_EQ(Starting(phone, "AT+CMGD"), (Texts{"AT+CMGD=?", "AT+CMGD=1,4"}));
    EXPECT_EQ(CountText(), " 0");
    EXPECT_EQ(qobject_cast<QLineEdit*>(view->Control(kPhoneCountEditId))->text(), " 1");
    EXPECT_EQ(Status(), "3 SMS erased from SIM (SM)");
    EXPECT_TRUE(Column(kSmsNumberColumn).empty()) << "the list showed the erased memory";
    EXPECT_TRUE(view->Control(kReadSmsButtonId)->isEnabled());

    boxes.clear();
    EraseAll();
    EXPECT_TRUE(boxes.empty()) << "nothing to ask about";
    EXPECT_EQ(Status(), "No SMS stored in SIM (SM)");
}

TEST_F(EraseAllSmsWindowTest, WithoutTheFlagErasesTheListedPositionsOfTheChosenMemoryOnly) {
    PhoneSim phone({.fixture = ThreeOnSim() + "sms ME 7 1 " + std::string(kHelloPdu) + "\n" +
                               "reply AT+CMGD=? +CMGD: (2,7),(0-3)|OK\n"});
    Start(phone);
    OpenAndCount();
    ReadFromPhone(); // the list shows the SIM's messages
    qobject_cast<QAbstractButton*>(view->Control(kReadMeRadioId))->setChecked(true);
    EraseAll();
    EXPECT_EQ(boxes, Texts{"Erase all 2 SMS stored in ME (ME) ?\nThey cannot be recovered."});
    EXPECT_EQ(Starting(phone, "AT+CMGD"), (Texts{"AT+CMGD=?", "AT+CMGD=2", "AT+CMGD=7"}));
    EXPECT_EQ(qobject_cast<QLineEdit*>(view->Control(kPhoneCountEditId))->text(), " 0");
    EXPECT_EQ(CountText(), " 3") << "the SIM keeps its messages";
    EXPECT_EQ(Column(kSmsNumberColumn).size(), 3U) << "and the list its rows";
    EXPECT_EQ(Status(), "2 SMS erased from ME (ME)");
}

TEST_F(EraseAllSmsWindowTest, APhoneThatListsNothingHasEveryPositionErased) {
    PhoneSim phone({.fixture = "capacity SM 5\n" + Sms(2, 1, kHelloPdu) + Sms(5, 1, kHelloPdu) +
                               "reply AT+CMGD=? ERROR\n"});
    Start(phone);
    OpenAndCount();
    EraseAll();
    EXPECT_EQ(Starting(phone, "AT+CMGD"), (Texts{"AT+CMGD=?", "AT+CMGD=1", "AT+CMGD=2", "AT+CMGD=3",
                                                 "AT+CMGD=4", "AT+CMGD=5"}));
    EXPECT_EQ(CountText(), " 0");
    EXPECT_EQ(Status(), "2 SMS erased from SIM (SM)");
    EXPECT_EQ(qobject_cast<QProgressBar*>(view->Control(kSmsProgressBarId))->value(), 5);
}

TEST_F(EraseAllSmsWindowTest, StopCurrentTaskEndsTheWalkAndTellsWhatIsLeft) {
    PhoneSim phone({.fixture = "capacity SM 60\n" + Sms(1, 1, kHelloPdu) + Sms(60, 1, kHelloPdu) +
                               "reply AT+CMGD=? ERROR\n"});
    Start(phone);
    OpenAndCount();
    Click(kEraseAllSmsButtonId);
    ASSERT_TRUE(RunUntil([&phone] { return Starting(phone, "AT+CMGD=").size() >= 4; }));
    frame->Action(kCmdStopTask)->trigger();
    ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken(); }));
    EXPECT_LT(Starting(phone, "AT+CMGD=").size(), 8U);
    EXPECT_EQ(Status(), "1 SMS erased from SIM (SM), 1 left (stopped)");
    EXPECT_EQ(view->stopRequest, 0);
    EXPECT_EQ(CountText(), " 1");
}

TEST_F(ReadSmsWindowTest, ReadFromFileListsTheGroupsOfACapturedTranscript) {
    Texts captured;
    {
        PhoneSim phone({.fixture = Sms(1, 1, kHelloPdu) + Sms(2, 0, kHelloPdu)});
        Start(phone);
        OpenAndCount();
        ReadFromPhone();
        ASSERT_EQ(Column(kSmsNumberColumn).size(), 2U);
        for (const TranscriptEntry& entry : phone.Transcript())
            if (entry.kind == "TX")
                captured.push_back(entry.text);
        ToggleSession();
    }
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("capture.log")).toStdString();
    {
        std::ofstream log(path, std::ios::binary);
        for (const std::string& line : captured)
            log << line << "\r\n";
    }
    view->SmsForm().DeleteAllSmsRows();

    QStringList filters;
    onDialog = [&path, &filters](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->selectFile(QString::fromStdString(path));
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own accept is protected
    };
    Click(kReadFromFileButtonId);
    ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken() && !boxes.empty(); }));
    EXPECT_EQ(filters.value(0), QStringLiteral("Text/Log files (*.TXT, *.LOG) (*.txt *.log)"));
    EXPECT_EQ(filters.size(), 3);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_TRUE(boxes[0].starts_with("Read succesfully ")) << boxes[0];
    EXPECT_EQ(Column(kSmsNumberColumn), (Texts{"1", "2"})) << "ordinals from 1, in file order";
    EXPECT_EQ(Column(kSmsStatColumn), (Texts{"READ", "UNREAD"}));
    EXPECT_EQ(Column(kSmsTextColumn), (Texts{"hello", "hello"}));
    EXPECT_EQ(Column(kSmsSenderColumn), (Texts{"+12345678901", "+12345678901"}));
}

// The three parts of "Uno, due, tre!" from +12345678901 (UCS2, 8-bit reference 42).
constexpr std::string_view kPartPdus[] = {
    "07912143658709F1440B912143658709F1000899309251619580100500032A03010055006E006F002C0020",
    "07912143658709F1440B912143658709F1000899309251619580100500032A0302006400750065002C0020",
    "07912143658709F1440B912143658709F10008993092516195800E0500032A03030074007200650021"};

class LongMessageWindowTest : public ReadSmsWindowTest {
protected:
    // Activates a row of the SMS list as a double-click does; the text of the view it opens.
    std::string ViewText(int row) {
        auto* list = qobject_cast<QTableView*>(view->Control(kSmsListId));
        emit list->activated(list->model()->index(row, kSmsTextColumn));
        auto* dialog = view->findChild<CMessageViewDlg*>();
        if (dialog == nullptr)
            return "<no view>";
        const std::string text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("messageText"))
                                     ->toPlainText()
                                     .toStdString();
        sender = dialog->findChild<QLabel*>(QStringLiteral("messageSender"))->text().toStdString();
        const auto* delivered = dialog->findChild<QLabel*>(QStringLiteral("messageDelivery"));
        delivery = delivered == nullptr ? "<none>" : delivered->text().toStdString();
        delete dialog;
        return text;
    }
    std::string sender;
    std::string delivery; // the view's delivery lines, "<none>" when it shows none
};

// A message sent with Request reply that the phone also keeps as sent, and the centre's report
// on it stored beside: the read matches the report, and both views show the part delivered.
TEST_F(LongMessageWindowTest, TheViewOfASentMessageAndOfItsReportShowTheDeliveryOfEachPart) {
    const std::string sent = "07912143658709F13100099121436587F900f0FF0361f118"; // "abc", SRR
    const std::string report = "000611099121436587F9"
                               "62902181000040"
                               "62902181020140"
                               "00"; // on 17 to +123456789
    PhoneSim phone({.fixture = Sms(1, 3, sent) + Sms(2, 1, report) + Sms(3, 1, kHelloPdu)});
    Start(phone);
    ASSERT_TRUE(RecordSentParts(view->database, {sent}, {17}));
    OpenAndCount();
    ReadFromPhone();
    EXPECT_EQ(Column(kSmsTypeColumn), (Texts{"IN", "REPORT", "OUT"}));
    EXPECT_EQ(ViewText(2), "abc");
    EXPECT_EQ(delivery, "Part 1/1: delivered 12/09/26 18:20:10");
    EXPECT_EQ(ViewText(1), "Report on message 17: delivered");
    EXPECT_EQ(delivery, "Part 1/1: delivered 12/09/26 18:20:10");
    EXPECT_EQ(ViewText(0), "hello");
    EXPECT_EQ(delivery, "<none>") << "a received message has no delivery lines";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LongMessageWindowTest, PartsStoredOutOfOrderAreListedWithPartAndJoinedInTheView) {
    PhoneSim phone({.fixture = Sms(1, 1, kPartPdus[2]) + Sms(2, 1, kPartPdus[0]) +
                               Sms(5, 1, kPartPdus[1]) + Sms(6, 1, kHelloPdu)});
    Start(phone);
    StoreSenderName();
    OpenAndCount();
    ReadFromPhone();
    Texts parts = Column(kSmsPartColumn);
    ASSERT_EQ(parts.size(), 4U);
    EXPECT_EQ(Column(kSmsNumberColumn), (Texts{"4", "3", "2", "1"}));
    EXPECT_EQ(parts, (Texts{"", "2/3", "1/3", "3/3"}));
    const auto* list = qobject_cast<QTableView*>(view->Control(kSmsListId));
    EXPECT_EQ(list->model()->headerData(kSmsPartColumn, Qt::Horizontal).toString(),
              QStringLiteral("PART"));
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(ViewText(row), "Uno, due, tre!") << row;
    EXPECT_EQ(sender, "+12345678901 (Mario Rossi)");
    EXPECT_EQ(ViewText(0), "hello");
}

TEST_F(LongMessageWindowTest, AMissingPartShowsAsEllipsisInBrackets) {
    PhoneSim phone({.fixture = Sms(1, 1, kPartPdus[2]) + Sms(2, 1, kPartPdus[0])});
    Start(phone);
    OpenAndCount();
    ReadFromPhone();
    EXPECT_EQ(Column(kSmsPartColumn), (Texts{"1/3", "3/3"}));
    EXPECT_EQ(ViewText(0), "Uno, [...]tre!");
}

TEST_F(LongMessageWindowTest, TheArchiveViewerOpensTheViewOnTheTextAsArchived) {
    PhoneSim phone({.fixture = Sms(1, 1, kPartPdus[0])});
    Start(phone);
    OpenAndCount();
    ReadFromPhone();
    Click(kCopySmsButtonId);
    std::string shown = "<no view>";
    onDialog = [&shown](QWidget* modal) {
        auto* dialog = qobject_cast<CSmsArchiveDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* list = dialog->findChild<QTableView*>(
            QStringLiteral("control%1").arg(CSmsArchiveDlg::kListId));
        ASSERT_NE(list, nullptr);
        const int last = list->model()->rowCount() - 1;
        emit list->activated(list->model()->index(last, kSmsTextColumn));
        if (auto* viewDialog = dialog->findChild<CMessageViewDlg*>())
            shown = viewDialog->findChild<QPlainTextEdit*>(QStringLiteral("messageText"))
                        ->toPlainText()
                        .toStdString();
        dialog->accept();
    };
    frame->Action(kCmdSmsArchive)->trigger();
    EXPECT_EQ(shown, "Uno, ");
}

} // namespace
