// The Write SMS tab on the real widgets, against the phone simulator: the submit PDU built from
// what the controls hold, the radio and class rules, sending with its boxes, and the values a
// send saves coming back on the next activation.
#include "db/DeliveryTable.h"
#include "pdu/HexText.h"
#include "res/form/FormControls.h"
#include "sms/DeliveryReports.h"
#include "sms/send/IWriteSmsForm.h"
#include "sms/send/ReadSca.h"
#include "sms/send/SubmitPdu.h"
#include "sms/send/WriteSmsValues.h"
#include "tests/app/PhoneWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <optional>

namespace {

constexpr const char* kWorkedExamplePdu = "07912143658709F11100099121436587F900f0FF0361f118";

class WriteSmsWindowTest : public PhoneWindowTest {
protected:
    // Starts on the simulator, opens the session and selects the Write SMS tab.
    void Open(const PhoneSim& phone, bool notifyNew = false) {
        Start(phone, notifyNew);
        ToggleSession();
        ASSERT_EQ(view->portOpen, 1);
        view->OnJumpTo(1);
    }

    template <typename Widget> Widget* Get(int id) const {
        auto* widget = qobject_cast<Widget*>(view->Control(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }

    // What a user does for the worked example: service centre "+12345678901", recipient
    // "+123456789", Standard Submit of class 0 without reply, text "abc".
    void FillWorkedExample() {
        Get<QLineEdit>(kScaEditId)->setText(QStringLiteral("+12345678901"));
        Get<QComboBox>(kRecipientComboId)->setEditText(QStringLiteral("+123456789"));
        Get<QRadioButton>(kStandardSubmitRadioId)->click();
        SelectClass(0);
        Get<QAbstractButton>(kRequestReplyCheckId)->setChecked(false);
        Get<QPlainTextEdit>(kSmsTextEditId)->setPlainText(QStringLiteral("abc"));
    }

    void SelectClass(int index) { Get<QComboBox>(kClassComboId)->setCurrentIndex(index); }

    void Advanced() {
        Get<QRadioButton>(kAdvancedSubmitRadioId)->click();
        Get<QComboBox>(kPidComboId)->setEditText(QStringLiteral("00 - Default (SME to SME)"));
        Get<QComboBox>(kDcsComboId)->setEditText(QStringLiteral("00 - GSM 7 bit default"));
    }

    // Builds from the controls; the PDU, or "" when the build failed (its box in lastBox).
    std::string Build() {
        RecordingMessageSink sink;
        submit = {};
        const int result = BuildSubmitPdu(ReadWriteSmsValues(view->WriteForm()), sink, submit);
        const auto requests = sink.Requests();
        lastBox = requests.empty() ? MessageBoxRequest{} : requests.back();
        return result == 0 ? submit.pdu : "";
    }

    // Presses "Send" and waits for the end of the exchange.
    std::optional<SendOutcome> Send(int timeoutMs = 15000) {
        std::optional<SendOutcome> outcome;
        const auto connection = QObject::connect(view, &CTelvaneView::sendDone,
                                                 [&outcome](SendOutcome o) { outcome = o; });
        Get<QAbstractButton>(kSendButtonId)->click();
        RunUntil([&outcome] { return outcome.has_value(); }, timeoutMs);
        QObject::disconnect(connection);
        return outcome;
    }

    // Presses "Store" and waits for its note; true when every part was stored.
    std::optional<bool> Store() {
        std::optional<bool> stored;
        const auto connection =
            QObject::connect(view, &CTelvaneView::storeDone, [&stored](bool s) { stored = s; });
        Get<QAbstractButton>(kStoreSmsButtonId)->click();
        RunUntil([&stored] { return stored.has_value(); });
        QObject::disconnect(connection);
        return stored;
    }

    std::string Status() const { return frame->statusBar()->currentMessage().toStdString(); }

    SubmitPdu submit;
    MessageBoxRequest lastBox;
};

TEST_F(WriteSmsWindowTest, WorkedExampleRecipientAndCodeChecks) {
    PhoneSim phone;
    Open(phone);
    FillWorkedExample();
    EXPECT_EQ(Build(), kWorkedExamplePdu);
    EXPECT_EQ(submit.length, 16);

    const std::string head = "07912143658709F11100";
    const std::string tail = "00f0FF0361f118";
    auto* recipient = Get<QComboBox>(kRecipientComboId);
    recipient->setEditText(QStringLiteral("Mario Rossi;123"));
    EXPECT_EQ(Build(), head + "038121F3" + tail) << "the number follows the first ';'";
    recipient->setEditText(QStringLiteral("A;B;0123"));
    EXPECT_EQ(Build(), "") << "only the first ';' cuts: what follows is no number";
    recipient->setEditText(QStringLiteral("+123456789"));

    Advanced();
    Get<QComboBox>(kPidComboId)->setEditText(QStringLiteral("7F - anything"));
    EXPECT_EQ(Build(), "07912143658709F10100099121436587F97F000361f118");
    Get<QComboBox>(kPidComboId)->setEditText(QStringLiteral("7"));
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(lastBox.text, "Invalid characters in PID");
    Get<QComboBox>(kPidComboId)->setEditText(QStringLiteral("00"));
    Get<QComboBox>(kDcsComboId)->setEditText(QStringLiteral("G0"));
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(lastBox.text, "Invalid characters in DCS");
}

TEST_F(WriteSmsWindowTest, RelativeValidityWinsAndAbsoluteIsRefused) {
    PhoneSim phone;
    Open(phone);
    FillWorkedExample();
    Advanced();
    Get<QAbstractButton>(kValidityCheckId)->click();
    auto* absolute = Get<QRadioButton>(kAbsoluteRadioId);
    auto* relative = Get<QRadioButton>(kRelativeRadioId);
    ASSERT_TRUE(relative->isEnabled()) << "validity checked in the advanced form";
    // The tab's defaults check Absolute; the form can check Relative beside it.
    EXPECT_TRUE(absolute->isChecked());
    view->WriteForm().SetChecked(kRelativeRadioId, true);
    EXPECT_TRUE(absolute->isChecked());
    Get<QLineEdit>(kValidityEditId)->setText(QStringLiteral("a7 hours"));
    EXPECT_EQ(Build(), "07912143658709F11100099121436587F90000a70361f118");

    absolute->click();
    EXPECT_FALSE(relative->isChecked()) << "a click unchecks the other";
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(lastBox.text, "VPF Absolute representation not implemented");
    EXPECT_EQ(lastBox.caption, "Warning");
}

TEST_F(WriteSmsWindowTest, ClassListRulesOfTheStandardForm) {
    PhoneSim phone;
    Open(phone);
    FillWorkedExample();
    EXPECT_FALSE(Get<QComboBox>(kPidComboId)->isEnabled());
    EXPECT_TRUE(Get<QComboBox>(kClassComboId)->isEnabled());
    const Texts dcs = {"f0", "f1", "f2", "f3", "00"};
    for (int index = 0; index < 5; ++index) {
        SelectClass(index);
        EXPECT_EQ(Build().substr(36, 2), dcs[static_cast<std::size_t>(index)]) << index;
    }
    view->WriteForm().SelectListItem(kClassComboId, -1);
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(lastBox.text, "Please, select a class for the message");
    Advanced();
    EXPECT_FALSE(Get<QComboBox>(kClassComboId)->isEnabled());
    EXPECT_NE(Build(), "") << "the advanced form needs no class";
}

TEST_F(WriteSmsWindowTest, FirstStartIsAdvancedWithReplyAndASendsValuesComeBack) {
    PhoneSim phone;
    Open(phone);
    EXPECT_TRUE(Get<QRadioButton>(kAdvancedSubmitRadioId)->isChecked());
    EXPECT_FALSE(Get<QRadioButton>(kStandardSubmitRadioId)->isChecked());
    EXPECT_TRUE(Get<QAbstractButton>(kRequestReplyCheckId)->isChecked());

    FillWorkedExample();
    SelectClass(2);
    QueueAnswer(QMessageBox::No);
    EXPECT_EQ(Send(), SendOutcome::Cancelled);

    view->OnJumpTo(2);
    view->OnJumpTo(1);
    EXPECT_EQ(Get<QLineEdit>(kScaEditId)->text(), QStringLiteral("+12345678901"));
    EXPECT_EQ(Get<QComboBox>(kRecipientComboId)->currentText(), QStringLiteral("+123456789"));
    EXPECT_TRUE(Get<QRadioButton>(kStandardSubmitRadioId)->isChecked());
    EXPECT_FALSE(Get<QRadioButton>(kAdvancedSubmitRadioId)->isChecked());
    EXPECT_FALSE(Get<QAbstractButton>(kRequestReplyCheckId)->isChecked());
    EXPECT_EQ(Get<QComboBox>(kClassComboId)->currentIndex(), 2);
}

TEST_F(WriteSmsWindowTest, YesSendsExactlyThePduAndNoSendsEscape) {
    PhoneSim phone;
    Open(phone);
    FillWorkedExample();
    QueueAnswer(QMessageBox::No);
    EXPECT_EQ(Send(), SendOutcome::Cancelled);
    EXPECT_EQ(boxes, Texts{"AT+CMGS=16"});
    ASSERT_TRUE(phone.WaitForReceived(4));
    EXPECT_EQ(phone.Received().back(), "<ESC>");
    EXPECT_TRUE(phone.SentPdus().empty());

    EXPECT_EQ(Send(), SendOutcome::SentOk);
    EXPECT_EQ(boxes, (Texts{"AT+CMGS=16", "AT+CMGS=16", "Sent OK"}));
    EXPECT_EQ(phone.SentPdus(), Texts{kWorkedExamplePdu});
    EXPECT_EQ(view->busy, 0);
}

// The centre's report on message `mr` to +123456789, discharged 12/09/26 18:20:10.
std::string ReportOn(int mr, int status) {
    return "0006" + hex_octet(static_cast<std::uint8_t>(mr)) + "099121436587F9" +
           "62902181000040"
           "62902181020140" +
           hex_octet(static_cast<std::uint8_t>(status));
}

TEST_F(WriteSmsWindowTest, ASendAskingForAReportKeepsARecordOfEachPartThatItsReportsFind) {
    PhoneSim phone;
    Open(phone);
    FillWorkedExample();
    EXPECT_EQ(Send(), SendOutcome::SentOk);
    DeliveryTable table(&view->database);
    EXPECT_TRUE(table.LatestSends(10).empty()) << "no report asked for, no record";

    Get<QAbstractButton>(kRequestReplyCheckId)->setChecked(true);
    EXPECT_EQ(Send(), SendOutcome::SentOk);
    auto sends = table.LatestSends(10);
    ASSERT_EQ(sends.size(), 1U);
    EXPECT_EQ(sends[0].recipient, "+123456789");
    EXPECT_EQ(sends[0].text, "abc");
    const int single = sends[0].reference;
    EXPECT_EQ(HandleStatusReportPdu(view->database, ReportOn(single, 0x00)),
              "Delivered to +123456789, 12/09/26 18:20:10");

    // A long text: three parts, three references, each report finds its own part.
    Get<QPlainTextEdit>(kSmsTextEditId)->setPlainText(QString(400, QLatin1Char('x')));
    EXPECT_EQ(Send(), SendOutcome::SentOk);
    sends = table.LatestSends(10);
    ASSERT_EQ(sends.size(), 2U);
    const auto parts = table.OfSend(sends[0].sendId);
    ASSERT_EQ(parts.size(), 3U);
    EXPECT_EQ(HandleStatusReportPdu(view->database, ReportOn(parts[1].reference, 0x46)),
              "Not delivered to +123456789: failed: validity period expired");
    EXPECT_EQ(HandleStatusReportPdu(view->database, ReportOn(parts[0].reference, 0x00)),
              "Delivered to +123456789, 12/09/26 18:20:10");
    EXPECT_EQ(DeliveryLines(view->database, std::string(400, 'x')),
              (Texts{"Part 1/3: delivered 12/09/26 18:20:10",
                     "Part 2/3: failed: validity period expired 12/09/26 18:20:10",
                     "Part 3/3: no report yet"}));
    EXPECT_EQ(table.OfSend(sends[1].sendId).at(0).statusText, "delivered");
}

// With "Notify new messages" on, the phone pushes its report (+CDS) a moment after the send.
TEST_F(WriteSmsWindowTest, AReportThePhonePushesIsMatchedToItsSendAndTold) {
    PhoneSim phone({.fixture = "report 1500 00\n"});
    Open(phone, true);
    FillWorkedExample();
    Get<QAbstractButton>(kRequestReplyCheckId)->setChecked(true);
    EXPECT_EQ(Send(), SendOutcome::SentOk);
    ASSERT_TRUE(
        RunUntil([this] { return Status().starts_with("Delivered to +123456789, "); }, 5000))
        << Status();
    const auto sends = DeliveryTable(&view->database).LatestSends(10);
    ASSERT_EQ(sends.size(), 1U);
    EXPECT_EQ(sends[0].statusText, "delivered");
}

TEST_F(WriteSmsWindowTest, AFailedReportThePhonePushesIsToldNotDelivered) {
    PhoneSim phone({.fixture = "report 1500 46\n"});
    Open(phone, true);
    FillWorkedExample();
    Get<QAbstractButton>(kRequestReplyCheckId)->setChecked(true);
    EXPECT_EQ(Send(), SendOutcome::SentOk);
    EXPECT_TRUE(RunUntil(
        [this] {
            return Status() == "Not delivered to +123456789: failed: validity period expired";
        },
        5000))
        << Status();
}

TEST_F(WriteSmsWindowTest, ARefusingPhoneGivesError) {
    PhoneSim phone({.fixture = "reply AT+CMGS +CMS ERROR: 500\n"});
    Open(phone);
    FillWorkedExample();
    EXPECT_EQ(Send(), SendOutcome::Error);
    EXPECT_EQ(boxes, (Texts{"AT+CMGS=16", "Error"}));
    EXPECT_TRUE(phone.SentPdus().empty());
}

TEST_F(WriteSmsWindowTest, ASilentPhoneGivesTimeoutWhileTheWindowKeepsAnswering) {
    PhoneSim phone({.fixture = "reply AT+CMGS\n"});
    Open(phone);
    FillWorkedExample();
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(100);
    EXPECT_EQ(Send(), SendOutcome::Timeout);
    EXPECT_EQ(boxes, (Texts{"AT+CMGS=16", "Timeout"}));
    EXPECT_GT(ticks, 20) << "the event loop went on during the wait";
}

TEST_F(WriteSmsWindowTest, TextIsCutAtTenPartsWithTheCursorAtItsEnd) {
    PhoneSim phone;
    Open(phone);
    auto* text = Get<QPlainTextEdit>(kSmsTextEditId);
    text->setPlainText(QString(1528, QLatin1Char('a')));
    EXPECT_EQ(Get<QLineEdit>(kCharsLeftEditId)->text(), QStringLiteral("2"));
    text->moveCursor(QTextCursor::End);
    text->insertPlainText(QStringLiteral("b\u20AC")); // the euro sign takes two septets
    EXPECT_EQ(text->toPlainText(), QString(1528, QLatin1Char('a')) + QLatin1Char('b'));
    EXPECT_EQ(Get<QLineEdit>(kCharsLeftEditId)->text(), QStringLiteral("1"));
    EXPECT_EQ(text->textCursor().position(), 1529);
}

TEST_F(WriteSmsWindowTest, CharactersLeftCountInTheMessagesCoding) {
    PhoneSim phone;
    Open(phone);
    FillWorkedExample(); // Standard Submit: the text's characters choose the coding
    auto* text = Get<QPlainTextEdit>(kSmsTextEditId);
    text->setPlainText(QString(17, QChar(0x03BB))); // λ: only UCS2 carries it
    EXPECT_EQ(Get<QLineEdit>(kCharsLeftEditId)->text(), QStringLiteral("53"));
    text->setPlainText(QString(300, QLatin1Char('x')));
    EXPECT_EQ(text->toPlainText().size(), 300);
    EXPECT_EQ(Get<QLineEdit>(kCharsLeftEditId)->text(), QStringLiteral("6"));
}

TEST_F(WriteSmsWindowTest, RecipientCompletionSelectsTheProposedRestInCharacters) {
    PhoneSim phone;
    Open(phone);
    // A character outside the 16-bit plane: two UTF-16 units, one character.
    const QString item = QStringLiteral("\U0001D11Ee Anna;+3912");
    view->WriteForm().AddListItem(kRecipientComboId, item.toStdString());
    auto* recipient = Get<QComboBox>(kRecipientComboId);
    recipient->setEditText(QStringLiteral("\U0001D11Ee"));
    EXPECT_EQ(recipient->currentText(), item);
    EXPECT_EQ(recipient->lineEdit()->selectedText(), QStringLiteral(" Anna;+3912"));
}

TEST_F(WriteSmsWindowTest, ASecondSendWhileOneRunsIsToldInTheStatusBar) {
    PhoneSim phone({.fixture = "reply AT+CMGS\n"});
    Open(phone);
    FillWorkedExample();
    PortLease held = view->Session().TakePort(); // another task holds the port
    Get<QAbstractButton>(kSendButtonId)->click();
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Another task is running: wait or stop it"));
    EXPECT_FALSE(view->SendWorker().Running());
    held.Release();
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", R"(AT+CPMS="SM")", R"(AT+CPMS="ME")"}))
        << "nothing after the counts that opening asks";
}

TEST_F(WriteSmsWindowTest, TheStatusBarTellsHowEachTextGoesAndLongUnicodeGoesInParts) {
    PhoneSim phone;
    Open(phone);
    FillWorkedExample();
    const auto status = [this] { return frame->statusBar()->currentMessage().toStdString(); };
    auto* text = Get<QPlainTextEdit>(kSmsTextEditId);
    text->setPlainText(QStringLiteral("5\u20AC [x]"));
    EXPECT_EQ(status(), "GSM 7-bit, 1 message");
    EXPECT_EQ(Get<QLineEdit>(kCharsLeftEditId)->text(), QStringLiteral("151")) << "€ [ ]: 2 each";
    text->setPlainText(QString::fromUtf8("Καλημέρα"));
    EXPECT_EQ(status(), "Unicode, 1 message");
    EXPECT_EQ(Get<QLineEdit>(kCharsLeftEditId)->text(), QStringLiteral("62")) << "UCS2 holds 70";

    text->setPlainText(QString(100, QChar(0x03C9))); // omega
    EXPECT_EQ(status(), "Unicode, 2 messages");
    EXPECT_EQ(Send(), SendOutcome::SentOk);
    EXPECT_EQ(boxes, (Texts{"AT+CMGS=153", "Sent OK"}));
    ASSERT_TRUE(phone.WaitForTranscript([&](const auto&) { return phone.SentPdus().size() == 2; }));
    EXPECT_EQ(phone.Received().back(), "AT+CMGS=85");

    Advanced();
    text->setPlainText(QStringLiteral("hello"));
    Get<QComboBox>(kDcsComboId)->setEditText(QStringLiteral("08 - UCS2 (16 bit)"));
    EXPECT_EQ(status(), "Unicode, 1 message");
    Get<QComboBox>(kDcsComboId)->setEditText(QStringLiteral("04 - 8 bit data"));
    EXPECT_EQ(status(), "8-bit, 1 message");
}

TEST_F(WriteSmsWindowTest, ReadScaFillsTheServiceCentreFromThePhone) {
    PhoneSim phone;
    Open(phone);
    Get<QLineEdit>(kScaEditId)->clear();
    bool done = false;
    const auto connection =
        QObject::connect(view, &CTelvaneView::readScaDone, [&done] { done = true; });
    Get<QAbstractButton>(kReadScaButtonId)->click();
    ASSERT_TRUE(RunUntil([&done] { return done; }));
    QObject::disconnect(connection);
    EXPECT_EQ(Get<QLineEdit>(kScaEditId)->text(), QStringLiteral("+31624000000"));
    EXPECT_EQ(phone.Received().back(), "AT+CSCA?");
    EXPECT_EQ(Get<QAbstractButton>(kReadScaButtonId)->toolTip(),
              QStringLiteral("Read SCA from phone"));

    const PortLease other = view->Session().TakePort();
    ASSERT_TRUE(other);
    Get<QAbstractButton>(kReadScaButtonId)->click();
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Another task is running: wait or stop it"));
}

TEST_F(WriteSmsWindowTest, TabLeavesTheTextAndCtrlTabSwitchesTheFormsTabs) {
    PhoneSim phone;
    Open(phone);
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    auto* text = Get<QPlainTextEdit>(kSmsTextEditId);
    text->clear();
    text->setFocus();
    ASSERT_TRUE(RunUntil([text] { return text->hasFocus(); }, 2000));
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_FALSE(text->hasFocus()) << "Tab moves on";
    EXPECT_FALSE(text->toPlainText().contains(QLatin1Char('\t')));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(text->toPlainText(), QStringLiteral("\t")) << "Ctrl+Tab types one";
    EXPECT_EQ(view->currentTab, 1) << "and the tab stays";

    auto* send = view->Control(kSendButtonId);
    send->setFocus();
    auto* tabs = view->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    QTest::keyClick(send, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 2);
    QTest::keyClick(tabs, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0) << "round the end";
    QTest::keyClick(tabs, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 2);
}

TEST_F(WriteSmsWindowTest, TheCodingLineShowsOnlyWithWriteSms) {
    PhoneSim phone;
    Open(phone);
    FillWorkedExample();
    const auto status = [this] { return frame->statusBar()->currentMessage().toStdString(); };
    auto* text = Get<QPlainTextEdit>(kSmsTextEditId);
    text->setPlainText(QStringLiteral("hello"));
    EXPECT_EQ(status(), "GSM 7-bit, 1 message");
    view->OnJumpTo(0);
    EXPECT_EQ(status(), "") << "Read SMS shows no coding line";
    text->setPlainText(QStringLiteral("changed elsewhere"));
    EXPECT_EQ(status(), "");
    view->OnJumpTo(1);
    EXPECT_EQ(status(), "GSM 7-bit, 1 message");
}

} // namespace

namespace {

// "Store" writes what Send would send into the phone's memory, part by part, and says where.
TEST_F(WriteSmsWindowTest, StoreWritesTheSendsPartsIntoThePhoneAndSaysWhere) {
    PhoneSim phone(
        {.fixture = "capacity SM 5\nsms SM 1 3 " + std::string(kWorkedExamplePdu) + "\n"});
    Open(phone);
    FillWorkedExample();
    EXPECT_EQ(Store(), true);
    EXPECT_TRUE(boxes.empty()) << "no question: nothing goes out";
    EXPECT_EQ(Status(), "Stored in SM at 2");
    EXPECT_EQ(Starting(phone, "AT+CMGW"), Texts{"AT+CMGW=16,2"});
    EXPECT_EQ(phone.Received().back(), kWorkedExamplePdu) << "the PDU the send builds";
    EXPECT_TRUE(phone.SentPdus().empty());

    auto* text = Get<QPlainTextEdit>(kSmsTextEditId);
    text->setPlainText(QString(100, QChar(0x03C9))); // two UCS2 parts
    EXPECT_EQ(Store(), true);
    EXPECT_EQ(Status(), "Stored in SM at 3, 4");
    EXPECT_EQ(Starting(phone, "AT+CMGW").size(), 3U);
    EXPECT_EQ(Starting(phone, "AT+CMGW")[1], "AT+CMGW=153,2");

    // The stored parts read back as one unsent outgoing message.
    view->OnJumpTo(0); // which asks the counts first
    ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken(); }));
    qobject_cast<QAbstractButton*>(view->Control(kReadSmsButtonId))->click();
    ASSERT_EQ(view->busy, 1);
    ASSERT_TRUE(RunUntil([this] { return view->busy == 0 && !view->Session().PortTaken(); }));
    Texts unsent;
    for (int row = 0; row < view->SmsRows().Count(); ++row)
        if (view->SmsRows().Row(row)[kSmsStatColumn] == "NOT SENT")
            unsent.push_back(view->SmsRows().Row(row)[kSmsTextColumn]);
    EXPECT_EQ(unsent.size(), 3U) << "the first store and both parts";
    view->OnJumpTo(1); // the activation puts the standard defaults back
    FillWorkedExample();
    EXPECT_EQ(Store(), true);
    EXPECT_EQ(Status(), "Stored in SM at 5");
    EXPECT_EQ(Store(), false);
    EXPECT_EQ(boxes, Texts{"Not stored: Error"}) << "the memory is full";
    EXPECT_EQ(Status(), "Not stored: Error");
}

TEST_F(WriteSmsWindowTest, AMessageStoredOnlyInPartIsErasedAgain) {
    PhoneSim phone({.fixture = "capacity SM 1\n"});
    Open(phone);
    FillWorkedExample();
    Get<QPlainTextEdit>(kSmsTextEditId)->setPlainText(QString(200, QLatin1Char('x')));
    EXPECT_EQ(Store(), false);
    EXPECT_EQ(boxes, Texts{"Part 2 of 2 not stored: Error; part 1 erased again"});
    EXPECT_EQ(Starting(phone, "AT+CMGD"), Texts{"AT+CMGD=1"});
    // The opening's count read left ME as the memory AT+CMGD works in: SM for the erase, then back.
    const Texts memories = Starting(phone, "AT+CPMS=");
    ASSERT_GE(memories.size(), 2U);
    EXPECT_EQ(memories[memories.size() - 2], "AT+CPMS=\"SM\"");
    EXPECT_EQ(memories.back(), "AT+CPMS=\"ME\"");
    EXPECT_EQ(Store(), false) << "the slot is free again: part 1 goes, part 2 finds it full";
}

} // namespace
