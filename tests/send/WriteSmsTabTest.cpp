// The Write SMS tab's activation, enabling rules, text count, recipient completion and the saving
// part of Send: a fake form over a copy of the shipped database and a settings file of its own.

#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "db/DbTestFiles.h"
#include "send/FakeWriteSmsForm.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "serial/settings/CSettingsStore.h"
#include "settings/SettingsTestDir.h"
#include "sms/send/CWriteSmsTab.h"
#include "sms/send/SmsText.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

const Texts kClassItems = {"Class 0 - (AKA: Flash Message)", "Class 1 - M.E.", "Class 2 - S.M.",
                           "Class 3 - T.A.", "Not specified - default"};

class WriteSmsTabTest : public ::testing::Test {
protected:
    WriteSmsTabTest() {
        RunSql(dbFile, "INSERT INTO Phonebook (Pos, Numero, Nome) VALUES "
                       "('1', '+39222', 'bruno'), ('2', '+39111', 'Anna');");
        Wire(form, tab);
    }

    void Wire(FakeWriteSmsForm& fake, CWriteSmsTab& handlers) {
        fake.onRecipientEdit = [&handlers] { handlers.OnRecipientEditChange(); };
        fake.onTextChange = [&handlers] { handlers.OnTextChange(); };
    }

    void OpenDatabase() { ASSERT_TRUE(database.Open(dbFile, true)); }

    void OpenPort() {
        session.portOpen = 1;
        form.EnablePortControls(true);
    }

    std::string Saved(const char* name) { return settings.ReadSetting(name); }

    SettingsTestDir settingsDir;
    TempDir dir;
    std::string dbFile = CopyShippedDatabase(dir);
    RecordingMessageSink sink;
    CSettingsStore settings{sink};
    CDaoDatabase database;
    FakeWaiter waiter;
    RecordingForm sessionForm;
    CModemSession session{sink, waiter, sessionForm};
    FakeWriteSmsForm form;
    CWriteSmsTab tab{form, sink, settings, database, session.portOpen};
    CSendSmsWorker worker{session, sink};
};

TEST_F(WriteSmsTabTest, FirstStartOpensInTheAdvancedFormWithReplyChecked) {
    const long long pidRows = QueryCount(dbFile, "SELECT count(*) FROM dbPID");
    const long long dcsRows = QueryCount(dbFile, "SELECT count(*) FROM dbDCS");
    OpenDatabase();
    OpenPort();
    tab.ActivateWriteTab();

    EXPECT_TRUE(sink.Requests().empty());
    EXPECT_TRUE(form.IsChecked(kAdvancedSubmitRadioId));
    EXPECT_FALSE(form.IsChecked(kStandardSubmitRadioId));
    EXPECT_TRUE(form.IsChecked(kRequestReplyCheckId));
    EXPECT_TRUE(form.IsEnabled(kPidComboId));
    EXPECT_FALSE(form.IsEnabled(kClassComboId));

    EXPECT_EQ(form.Items(kRecipientComboId), (Texts{"Anna;+39111", "bruno;+39222"}));
    EXPECT_EQ(form.ControlText(kRecipientComboId), "");
    EXPECT_EQ(form.Items(kClassComboId), kClassItems);
    EXPECT_EQ(form.ListSelection(kClassComboId), 4) << "Not specified - default, not Flash";
    for (const auto& [list, rows] : {std::pair{kPidComboId, pidRows}, {kDcsComboId, dcsRows}}) {
        const Texts items = form.Items(list);
        EXPECT_EQ(static_cast<long long>(items.size()), rows);
        ASSERT_FALSE(items.empty());
        EXPECT_EQ(form.ListSelection(list), 0);
        EXPECT_EQ(form.ControlText(list), items.front());
    }
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "160");
}

TEST_F(WriteSmsTabTest, SavedValuesComeBackOnTheNextActivation) {
    OpenDatabase();
    OpenPort();
    tab.ActivateWriteTab();
    form.SelectListItem(kRecipientComboId, 0);
    form.SetControlText(kScaEditId, "+4412");
    form.SelectListItem(kClassComboId, 3);
    form.SetControlText(kTypeComboId, "x1");
    form.SetChecked(kRequestReplyCheckId, false);
    form.Click(kStandardSubmitRadioId);
    form.Type(kSmsTextEditId, "hello");
    sink.QueueAnswer(BoxAnswer::No); // the "AT+CMGS=" question: nothing is sent
    ASSERT_TRUE(tab.OnSendSms(worker));
    worker.Join();
    EXPECT_EQ(Saved("REPLY"), "FALSE");
    EXPECT_EQ(Saved("ADVANCEDSEND"), "FALSE");

    FakeWriteSmsForm next;
    CWriteSmsTab nextTab{next, sink, settings, database, session.portOpen};
    Wire(next, nextTab);
    next.EnablePortControls(true);
    nextTab.ActivateWriteTab();
    EXPECT_EQ(next.ControlText(kRecipientComboId), "Anna;+39111");
    EXPECT_EQ(next.ControlText(kScaEditId), "+4412");
    EXPECT_EQ(next.ListSelection(kClassComboId), 3);
    EXPECT_EQ(next.ControlText(kTypeComboId), "x1");
    EXPECT_FALSE(next.IsChecked(kRequestReplyCheckId)) << "\"FALSE\" leaves the box as it was";
    EXPECT_TRUE(next.IsChecked(kStandardSubmitRadioId));
    EXPECT_FALSE(next.IsChecked(kAdvancedSubmitRadioId));
    EXPECT_TRUE(next.IsEnabled(kClassComboId));
    EXPECT_FALSE(next.IsEnabled(kPidComboId));
    EXPECT_EQ(nextTab.completedLength, 0) << "restoring the recipient is no typing";
}

TEST_F(WriteSmsTabTest, ValuesStaySavedWhenTheBuildFails) {
    form.SetControlText(kScaEditId, "+4412");
    form.SetChecked(kAdvancedSubmitRadioId, true);
    form.SetControlText(kPidComboId, "zz");
    EXPECT_FALSE(tab.OnSendSms(worker));
    // The empty recipient is refused before the PID is looked at.
    EXPECT_EQ(sink.Texts(), (Texts{"Recipient number not valid: no digits"}));
    EXPECT_EQ(Saved("SCA"), "+4412");
    EXPECT_EQ(Saved("ADVANCEDSEND"), "TRUE");
    EXPECT_EQ(Saved("RECIPIENT"), "") << "an empty recipient is not saved";
    EXPECT_EQ(Saved("CLASS"), "") << "no class selected";
    EXPECT_FALSE(worker.Running());
}

TEST_F(WriteSmsTabTest, SendIsRefusedWhileATaskHoldsThePort) {
    form.SetControlText(kScaEditId, "+4412");
    const PortLease held = session.TakePort();
    EXPECT_FALSE(tab.OnSendSms(worker));
    EXPECT_TRUE(sink.Requests().empty());
    EXPECT_FALSE(QFile::exists(settingsDir.File())) << "nothing saved";
    EXPECT_EQ(session.busy, 0);
}

TEST_F(WriteSmsTabTest, TablesThatDoNotOpenAreToldAndLeaveTheirListsEmpty) {
    tab.ActivateWriteTab(); // no database open
    EXPECT_EQ(sink.Texts(), (Texts{"Cannot Open dbPhonebook", "Cannot Open dbPID"}))
        << "the activation ends at dbPID";
    EXPECT_EQ(sink.Requests().front().caption, "Telvane");
    EXPECT_TRUE(form.Items(kRecipientComboId).empty());
    EXPECT_TRUE(form.Items(kPidComboId).empty());
    EXPECT_EQ(form.Items(kClassComboId), kClassItems);
}

TEST_F(WriteSmsTabTest, AnEmptyTableLeavesItsListEmptyWithoutMessage) {
    ASSERT_TRUE(RunSql(dbFile, "DELETE FROM dbDCS; DELETE FROM Phonebook;"));
    OpenDatabase();
    tab.ActivateWriteTab();
    EXPECT_TRUE(sink.Requests().empty());
    EXPECT_TRUE(form.Items(kDcsComboId).empty());
    EXPECT_EQ(form.ListSelection(kDcsComboId), -1);
    EXPECT_TRUE(form.Items(kRecipientComboId).empty());
    EXPECT_FALSE(form.Items(kPidComboId).empty());
}

TEST_F(WriteSmsTabTest, EnablingFollowsTheSubmitModeWhileThePortIsOpen) {
    OpenDatabase();
    tab.ActivateWriteTab();
    EXPECT_FALSE(form.IsEnabled(kPidComboId)) << "port closed: nothing enabled";
    EXPECT_FALSE(form.IsEnabled(kClassComboId));

    OpenPort();
    form.Click(kStandardSubmitRadioId);
    tab.OnStandardSubmit();
    for (int id : {kClassComboId, kClassLabelId})
        EXPECT_TRUE(form.IsEnabled(id)) << id;
    for (int id : {kPidComboId, kPidLabelId, kDcsComboId, kDcsLabelId, kTypeComboId, kTypeLabelId,
                   kValidityCheckId, kRelativeRadioId, kValidityEditId})
        EXPECT_FALSE(form.IsEnabled(id)) << id;

    form.Click(kAdvancedSubmitRadioId);
    tab.OnAdvancedSubmit();
    EXPECT_TRUE(form.IsEnabled(kPidComboId));
    EXPECT_TRUE(form.IsEnabled(kValidityCheckId));
    EXPECT_FALSE(form.IsEnabled(kClassLabelId));
    EXPECT_FALSE(form.IsEnabled(kAbsoluteRadioId)) << "validity not checked";

    form.SetChecked(kValidityCheckId, true);
    tab.UpdateValidityControls();
    for (int id : {kAbsoluteRadioId, kRelativeRadioId, kValidityEditId, kValiditySpinId})
        EXPECT_TRUE(form.IsEnabled(id)) << id;

    std::string standardForm = "FALSE";
    settings.WriteSetting("ADVANCEDSEND", standardForm);
    tab.ActivateWriteTab(); // the standard defaults, then the saved standard form
    EXPECT_TRUE(form.IsChecked(kStandardSubmitRadioId));
    EXPECT_TRUE(form.IsChecked(kAbsoluteRadioId));
    EXPECT_FALSE(form.IsChecked(kValidityCheckId));
    EXPECT_FALSE(form.IsEnabled(kValidityEditId));
}

TEST_F(WriteSmsTabTest, CharactersLeftCountSeptetsInThePartAndTheTextStopsAtTenParts) {
    form.Type(kSmsTextEditId, "abc€");
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "155");
    form.Type(kSmsTextEditId, std::string(160, 'a'));
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "0");
    form.Type(kSmsTextEditId, std::string(170, 'a'));
    EXPECT_EQ(form.ControlText(kSmsTextEditId), std::string(170, 'a'));
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "136") << "two parts of 153";
    form.Type(kSmsTextEditId, std::string(1540, 'a'));
    EXPECT_EQ(form.ControlText(kSmsTextEditId), std::string(1530, 'a'));
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "0");
    form.Type(kSmsTextEditId, std::string(1529, 'a') + "€");
    EXPECT_EQ(form.ControlText(kSmsTextEditId), std::string(1529, 'a'));
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "1");

    form.Type(kSmsTextEditId, "ciao");
    form.SetControlText(kCharsLeftEditId, "");
    tab.ActivateWriteTab(); // back to the tab: the text stays, its count shows
    EXPECT_EQ(form.ControlText(kSmsTextEditId), "ciao");
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "156");
}

TEST_F(WriteSmsTabTest, UnicodeTextCountsCharactersAndTheStatusBarTellsHowItGoes) {
    OpenDatabase();
    OpenPort();
    tab.ActivateWriteTab();
    form.Click(kStandardSubmitRadioId);
    tab.OnStandardSubmit();
    form.Type(kSmsTextEditId, "abc€[");
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "153") << "extension characters: two septets";
    EXPECT_EQ(form.status, "GSM 7-bit, 1 message");
    form.Type(kSmsTextEditId, "Καλημέρα");
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "62") << "a UCS2 message holds 70";
    EXPECT_EQ(form.status, "Unicode, 1 message");
    std::string greek;
    for (int i = 0; i < 170; ++i)
        greek += "λ";
    form.Type(kSmsTextEditId, greek);
    EXPECT_EQ(CharCount(form.ControlText(kSmsTextEditId)), 170u) << "characters, not bytes";
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "31") << "three parts of 67";
    EXPECT_EQ(form.status, "Unicode, 3 messages");
    form.Type(kSmsTextEditId, greek + greek + greek + greek + greek);
    EXPECT_EQ(CharCount(form.ControlText(kSmsTextEditId)), 670u);
    EXPECT_EQ(form.ControlText(kCharsLeftEditId), "0");
    EXPECT_EQ(form.status, "Unicode, 10 messages");

    form.Click(kAdvancedSubmitRadioId);
    tab.OnAdvancedSubmit();
    form.SetControlText(kDcsComboId, "04 - 8 bit data");
    form.Type(kSmsTextEditId, "hello");
    EXPECT_EQ(form.status, "8-bit, 1 message");
    form.SetControlText(kDcsComboId, "00 - GSM 7 bit default alphabet");
    form.Type(kSmsTextEditId, "Καλημέρα");
    EXPECT_EQ(form.status, "GSM 7-bit, 1 message") << "advanced 7-bit: the \"?\" warning stays";
    form.SetControlText(kDcsComboId, "2C");
    tab.ShowSendPlan();
    EXPECT_EQ(form.status, "DCS 2c: compressed text cannot be sent");
}

TEST_F(WriteSmsTabTest, CompletionProposesTheRestOnlyWhenCharactersWereAdded) {
    OpenDatabase();
    tab.ActivateWriteTab();
    form.Type(kRecipientComboId, "B");
    EXPECT_EQ(form.ControlText(kRecipientComboId), "bruno;+39222") << "case not regarded";
    EXPECT_EQ(form.EditSelection(kRecipientComboId), (std::pair{1, 12}));
    form.Type(kRecipientComboId, "br"); // typing replaces the proposed rest
    EXPECT_EQ(form.ControlText(kRecipientComboId), "bruno;+39222");
    EXPECT_EQ(form.EditSelection(kRecipientComboId), (std::pair{2, 12}));

    form.Type(kRecipientComboId, "b"); // a deletion
    EXPECT_EQ(form.ControlText(kRecipientComboId), "b");
    form.Type(kRecipientComboId, "bx"); // no item: the remembered length stays 1
    EXPECT_EQ(form.ControlText(kRecipientComboId), "bx");
    EXPECT_EQ(tab.completedLength, 1);
    form.Type(kRecipientComboId, "an");
    EXPECT_EQ(form.ControlText(kRecipientComboId), "Anna;+39111");
    EXPECT_EQ(tab.writeTabFilling, 0);
}

} // namespace
