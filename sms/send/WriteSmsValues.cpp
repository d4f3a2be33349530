#include "sms/send/WriteSmsValues.h"

#include "core/ISettings.h"
#include "core/TextHelpers.h"
#include "sms/send/SmsText.h"

WriteSmsValues ReadWriteSmsValues(IWriteSmsForm& form) {
    WriteSmsValues values;
    values.sca = form.ControlText(kScaEditId);
    values.recipient = form.ControlText(kRecipientComboId);
    values.classIndex = form.ListSelection(kClassComboId);
    values.pduType = form.ControlText(kTypeComboId);
    values.requestReply = form.IsChecked(kRequestReplyCheckId);
    values.standardSubmit = form.IsChecked(kStandardSubmitRadioId);
    values.advancedSubmit = form.IsChecked(kAdvancedSubmitRadioId);
    values.validity = form.IsChecked(kValidityCheckId);
    values.absolute = form.IsChecked(kAbsoluteRadioId);
    values.relative = form.IsChecked(kRelativeRadioId);
    values.pid = form.ControlText(kPidComboId);
    values.dcs = form.ControlText(kDcsComboId);
    values.validityPeriod = form.ControlText(kValidityEditId);
    values.text = form.ControlText(kSmsTextEditId);
    return values;
}

void SaveWriteSmsValues(const WriteSmsValues& values, ISettings& settings) {
    const auto saveIfSet = [&settings](const char* name, std::string text) {
        if (!text.empty()) {
            settings.WriteSetting(name, text);
        }
    };
    saveIfSet("SCA", CutToCharacters(values.sca, kSettingChars));
    saveIfSet("RECIPIENT", CutToCharacters(values.recipient, kSettingChars));
    if (values.classIndex >= 0) {
        saveIfSet("CLASS", std::to_string(values.classIndex));
    }
    saveIfSet("PDUTYPE", CutToCharacters(values.pduType, kSettingChars));
    std::string reply = values.requestReply ? kSettingTrue : kSettingFalse;
    settings.WriteSetting("REPLY", reply);
    std::string advanced = values.advancedSubmit ? kSettingTrue : kSettingFalse;
    settings.WriteSetting("ADVANCEDSEND", advanced);
}
