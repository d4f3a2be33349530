#include "sms/send/CWriteSmsTab.h"

#include "core/ISettings.h"
#include "core/TextHelpers.h"
#include "core/TextToInt.h"
#include "db/CDaoPhonebook.h"
#include "db/CdbSMS_DCS.h"
#include "db/CdbSMS_PID.h"
#include "pdu/Gsm7Alphabet.h"
#include "sms/send/ConcatReference.h"
#include "sms/send/MessageCoding.h"
#include "sms/send/SmsText.h"
#include "sms/send/SubmitPdu.h"
#include "sms/send/TextRoom.h"
#include "sms/send/WriteSmsValues.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace {

// The class list, in its sorted order; position 0 to 3 give classes 0 to 3.
constexpr std::array<std::string_view, 5> kClassItems = {
    "Class 0 - (AKA: Flash Message)", "Class 1 - M.E.", "Class 2 - S.M.", "Class 3 - T.A.",
    "Not specified - default"};
// A first start sends plain messages: a class 0 one is shown once by the recipient's phone and
// not kept.
constexpr int kDefaultClassItem = 4;

constexpr std::size_t kRecipientChars = 99;

// Fills a list with one item per row of a table. False, leaving the list as it was, when the
// table cannot be opened.
template <typename Recordset, typename ItemOf>
bool FillListFromTable(CDaoDatabase& database, const char* sql, IWriteSmsForm& form, int listId,
                       ItemOf itemOf) {
    Recordset rows(&database);
    rows.Open(dbOpenDynaset, sql, dbSeeChanges);
    if (!rows.IsOpen()) {
        return false;
    }
    form.ResetList(listId);
    for (; !rows.IsEOF(); rows.MoveNext()) {
        form.AddListItem(listId, itemOf(rows));
    }
    rows.Close();
    return true;
}

} // namespace

void CWriteSmsTab::ActivateWriteTab() {
    writeTabFilling = 1;
    form.ResetList(kRecipientComboId);
    OnTextChange();
    SetStandardDefaults();
    InitWriteTab();
    writeTabFilling = 0;
}

void CWriteSmsTab::InitWriteTab() {
    const bool phonebook = FillListFromTable<CDaoPhonebook>(
        database, "SELECT * FROM Phonebook", form, kRecipientComboId,
        [](const CDaoPhonebook& row) { return row.Nome + ";" + row.Numero; });
    if (!phonebook) {
        ShowOk(sink, "Cannot Open dbPhonebook", kAppTitle);
    }
    FillClassList();
    RestoreSavedValues();
    const auto pid = [](const CdbSMS_PID& row) { return row.PID; };
    if (!FillListFromTable<CdbSMS_PID>(database, "SELECT * FROM dbPID", form, kPidComboId, pid)) {
        ShowOk(sink, "Cannot Open dbPID", kAppTitle);
        return;
    }
    form.SelectListItem(kPidComboId, 0);
    const auto dcs = [](const CdbSMS_DCS& row) { return row.DCS; };
    if (!FillListFromTable<CdbSMS_DCS>(database, "SELECT * FROM dbDCS", form, kDcsComboId, dcs)) {
        ShowOk(sink, "Cannot Open dbDCS", kAppTitle);
        return;
    }
    form.SelectListItem(kDcsComboId, 0);
}

void CWriteSmsTab::FillClassList() {
    form.ResetList(kClassComboId);
    for (const std::string_view item : kClassItems) {
        form.AddListItem(kClassComboId, item);
    }
    form.SelectListItem(kClassComboId, kDefaultClassItem);
}

void CWriteSmsTab::RestoreSavedValues() {
    for (const auto& [name, id] :
         {std::pair{"SCA", kScaEditId}, std::pair{"RECIPIENT", kRecipientComboId},
          std::pair{"PDUTYPE", kTypeComboId}}) {
        const std::string saved = settings.ReadSetting(name);
        if (!saved.empty()) {
            form.SetControlText(id, saved);
        }
    }
    const std::string savedClass = settings.ReadSetting("CLASS");
    if (!savedClass.empty()) {
        form.SelectListItem(kClassComboId, TextToInt(savedClass));
    }
    // Anything but "FALSE", nothing saved included, means checked: a first start opens with
    // "Request reply" and the advanced form.
    if (settings.ReadSetting("REPLY") != kSettingFalse) {
        form.SetChecked(kRequestReplyCheckId, true);
    }
    SetSubmitMode(settings.ReadSetting("ADVANCEDSEND") != kSettingFalse);
}

void CWriteSmsTab::SetSubmitMode(bool advanced) {
    form.SetChecked(kAdvancedSubmitRadioId, advanced);
    form.SetChecked(kStandardSubmitRadioId, !advanced);
    if (portOpen != 0) {
        EnableAdvancedControls(advanced);
    }
}

void CWriteSmsTab::SetStandardDefaults() {
    EnableAdvancedControls(false);
    form.SetChecked(kStandardSubmitRadioId, true);
    form.SetChecked(kValidityCheckId, false);
    form.SetChecked(kAbsoluteRadioId, true);
}

void CWriteSmsTab::EnableAdvancedControls(bool advanced) {
    if (portOpen == 0) {
        return;
    }
    for (const int id : {kDcsComboId, kDcsLabelId, kPidComboId, kPidLabelId, kTypeComboId,
                         kTypeLabelId, kValidityCheckId}) {
        form.EnableControl(id, advanced);
    }
    form.EnableControl(kClassComboId, !advanced);
    form.EnableControl(kClassLabelId, !advanced);
    UpdateValidityControls();
}

void CWriteSmsTab::UpdateValidityControls() {
    const bool enable = form.IsChecked(kValidityCheckId) && !form.IsChecked(kStandardSubmitRadioId);
    for (const int id : {kRelativeRadioId, kAbsoluteRadioId, kValidityEditId, kValiditySpinId}) {
        form.EnableControl(id, enable);
    }
}

void CWriteSmsTab::OnStandardSubmit() {
    if (portOpen != 0) {
        EnableAdvancedControls(false);
    }
    ShowSendPlan();
}

void CWriteSmsTab::OnAdvancedSubmit() {
    if (portOpen != 0) {
        EnableAdvancedControls(true);
    }
    ShowSendPlan();
}

void CWriteSmsTab::OnTextChange() {
    std::string text = form.ControlText(kSmsTextEditId);
    // Counted in the coding the message goes out in; the text's own when the form cannot say.
    const WriteSmsValues values = ReadWriteSmsValues(form);
    const auto chosen = ChooseCoding(values);
    const UdCoding coding = chosen ? chosen->coding : CodingOfText(text);
    std::string kept = CutToRoom(text, coding);
    if (kept != text) {
        text = std::move(kept);
        form.SetControlText(kSmsTextEditId, text);
    }
    form.SetControlText(kCharsLeftEditId, std::to_string(MeasureText(text, coding).left));
    ShowSendPlan();
}

void CWriteSmsTab::ShowSendPlan() {
    const std::string plan = SendPlanText(ReadWriteSmsValues(form));
    if (!plan.empty()) {
        form.ShowStatus(plan);
    }
}

void CWriteSmsTab::OnRecipientEditChange() {
    if (writeTabFilling != 0) {
        return;
    }
    writeTabFilling = 1;
    CompleteRecipient();
    writeTabFilling = 0;
}

void CWriteSmsTab::CompleteRecipient() {
    const std::string typed = CutToCharacters(form.ControlText(kRecipientComboId), kRecipientChars);
    const int typedLength = static_cast<int>(CharCount(typed));
    const int found = form.FindListPrefix(kRecipientComboId, typed);
    if (found < 0) {
        return;
    }
    if (typedLength > completedLength) {
        const std::string item = form.ListItemText(kRecipientComboId, found);
        form.SetControlText(kRecipientComboId, item);
        form.SetEditSelection(kRecipientComboId, typedLength, static_cast<int>(CharCount(item)));
    }
    completedLength = typedLength;
}

bool CWriteSmsTab::OnSendSms(CSendSmsWorker& worker, CSendSmsWorker::DoneCallback done) {
    if (worker.Busy()) {
        return false;
    }
    const WriteSmsValues values = ReadWriteSmsValues(form);
    SaveWriteSmsValues(values, settings);
    std::optional<SubmitParts> parts = BuildFormParts(values);
    return parts && worker.Start(std::move(*parts), std::move(done));
}

bool CWriteSmsTab::OnStoreSms(CSendSmsWorker& worker, CSendSmsWorker::StoreCallback done) {
    if (worker.Busy())
        return false;
    std::optional<SubmitParts> parts = BuildFormParts(ReadWriteSmsValues(form));
    return parts && worker.StartStore(std::move(*parts), std::move(done));
}

std::optional<SubmitParts> CWriteSmsTab::BuildFormParts(const WriteSmsValues& values) {
    SubmitParts parts;
    if (BuildSubmitParts(values, sink, parts, NextConcatReference()) != 0)
        return std::nullopt;
    return parts;
}
