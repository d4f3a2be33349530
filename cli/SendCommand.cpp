// "send": the Standard Submit of the Write SMS tab, built and sent by the window's own code from
// a form filled with the options.

#include "cli/CliWriteSmsForm.h"
#include "cli/Commands.h"
#include "core/TextToInt.h"
#include "sms/DeliveryReports.h"
#include "sms/send/CWriteSmsTab.h"
#include "sms/send/ConcatReference.h"
#include "sms/send/SendSms.h"
#include "sms/send/SubmitPdu.h"
#include "sms/send/WriteSmsValues.h"

#include <cstdio>
#include <iostream>
#include <iterator>

namespace {

// Positions of the class list: the four classes, then "Not specified - default".
constexpr int kClassPositions = 5;

std::string TextFromStandardInput() {
    std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    if (text.ends_with('\n'))
        text.pop_back();
    if (text.ends_with('\r'))
        text.pop_back();
    return text;
}

// The class as the window would have it: the option, else the one the last send saved, else
// the first of the list.
int ClassPosition(CliRun& run) {
    if (run.options.classIndex)
        return *run.options.classIndex;
    const std::string saved = run.settings.ReadSetting("CLASS");
    return saved.empty() ? 0 : TextToInt(saved);
}

// The form as a user would leave it for a Standard Submit of these values. The service centre
// is the option or, as in the window, the one the last send saved.
void FillForm(CliRun& run, const std::string& text, CliWriteSmsForm& form) {
    const CliOptions& options = run.options;
    form.SetControlText(kScaEditId, options.sca ? *options.sca : run.settings.ReadSetting("SCA"));
    form.SetControlText(kRecipientComboId, options.to);
    form.SetChecked(kStandardSubmitRadioId, true);
    form.SetChecked(kAdvancedSubmitRadioId, false);
    form.SetChecked(kRequestReplyCheckId, options.reply);
    form.ResetList(kClassComboId);
    for (int position = 0; position < kClassPositions; ++position)
        form.AddListItem(kClassComboId, std::to_string(position));
    form.SelectListItem(kClassComboId, ClassPosition(run));
    form.SetControlText(kSmsTextEditId, text);
}

// One row per part: its command, its PDU and how it ended ("" for a part never tried).
Table PartsTable(const SubmitParts& parts, const SendReport& report, SendOutcome outcome) {
    Table table{{"Command", "PDU", "Result"}, {}};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const int part = static_cast<int>(i) + 1;
        std::string result;
        if (report.failedPart == 0 || part < report.failedPart)
            result = SendOutcomeText(report.failedPart == 0 ? outcome : SendOutcome::SentOk);
        else if (part == report.failedPart)
            result = SendOutcomeText(outcome);
        table.rows.push_back(
            {"AT+CMGS=" + std::to_string(parts[i].length), parts[i].pdu, std::move(result)});
    }
    return table;
}

// After the outcome, the phone's reference of each part it accepted, for matching the
// status reports that name it.
void PrintReferences(const SendReport& report, std::size_t parts) {
    for (std::size_t i = 0; i < report.references.size(); ++i) {
        const int reference = report.references[i];
        const std::string text = reference == kNoReference ? "none" : std::to_string(reference);
        std::fprintf(stderr, "Reference of part %zu/%zu: %s\n", i + 1, parts, text.c_str());
    }
}

// With --reply the parts are recorded in the database (when it opens) for the reports that
// "watch" or a later read match; the send itself does not depend on it.
void RecordForReports(CliRun& run, const SubmitParts& parts, const SendReport& report) {
    if (!run.options.reply || report.references.empty())
        return;
    std::string why = "the database did not open";
    if (!run.Database().IsOpen() && !run.OpenDatabase()) {
        std::fprintf(stderr, "%s%s\n", std::string(kDeliveryNotRecorded).c_str(), why.c_str());
        return;
    }
    if (!RecordSentParts(run.Database(), PdusOf(parts), report.references, &why))
        std::fprintf(stderr, "%s%s\n", std::string(kDeliveryNotRecorded).c_str(), why.c_str());
}

} // namespace

int RunSend(CliRun& run) {
    const std::string text = run.options.text == "-" ? TextFromStandardInput() : run.options.text;
    CliWriteSmsForm form;
    FillForm(run, text, form);
    // The text edit's own rule: what ten linked parts cannot hold is cut off there, and refused
    // here.
    CWriteSmsTab tab(form, run.sink, run.settings, run.Database(), run.session.portOpen);
    tab.OnTextChange();
    if (form.ControlText(kSmsTextEditId) != text) {
        std::fprintf(stderr, "telvane-cli: the text is longer than ten linked messages hold\n");
        return kExitUsage;
    }
    SubmitParts parts;
    if (BuildSubmitParts(ReadWriteSmsValues(form), run.sink, parts, NextConcatReference()) != 0)
        return kExitRefused;
    if (!run.OpenPort())
        return run.RefusedStatus();
    const SendPause pause = run.options.confirm ? SendPause::AskUser : SendPause::WaitForPrompt;
    SendReport report;
    const PortLease sending = run.session.TakePort();
    const SendOutcome outcome = SendSubmitParts(run.session, parts, run.sink, &report, pause);
    PrintReferences(report, parts.size());
    RecordForReports(run, parts, report);
    PrintTable(PartsTable(parts, report, outcome), run.options.format);
    return outcome == SendOutcome::SentOk ? kExitDone : kExitRefused;
}
