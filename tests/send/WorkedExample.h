#pragma once
// The form filled with the worked example: service centre "+12345678901", recipient
// "+123456789", Standard Submit of class 0 without reply, text "abc". Its PDU is
// "07912143658709F11100099121436587F900f0FF0361f118", announced as 16 octets.

#include "send/FakeWriteSmsForm.h"

inline constexpr const char* kWorkedExamplePdu = "07912143658709F11100099121436587F900f0FF0361f118";

inline void FillWorkedExample(FakeWriteSmsForm& form) {
    form.EnablePortControls(true);
    form.SetControlText(kScaEditId, "+12345678901");
    form.SetControlText(kRecipientComboId, "+123456789");
    form.SetChecked(kStandardSubmitRadioId, true);
    for (const char* item : {"Class 0 - (AKA: Flash Message)", "Class 1 - M.E.", "Class 2 - S.M.",
                             "Class 3 - T.A.", "Not specified - default"})
        form.AddListItem(kClassComboId, item);
    form.SelectListItem(kClassComboId, 0);
    form.SetControlText(kSmsTextEditId, "abc");
}
