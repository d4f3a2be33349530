// "send": the Standard Submit of the Write SMS tab, built and sent by the window's own code from
// a form filled with the options.

#include "cli/CliWriteSmsForm.h"
#include "cli/Commands.h"
#include "core/TextToInt.h"
#include "pdu/HexText.h"
#include "sms/DeliveryReports.h"
#include "sms/send/CWriteSmsTab.h"
#include "sms/send/ConcatReference.h"
#include "sms/send/MessageCoding.h"
#include "sms/send/ReadSca.h"
#include "sms/send/SendSms.h"
#include "sms/send/SubmitPdu.h"
#include "sms/send/WriteSmsValues.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>

namespace {

// Positions of the class list: the four classes, then "Not specified - default".
constexpr int kClassPositions = 5;
constexpr int kNoClassPosition = 4;
constexpr int kFlashClassPosition = 0;

std::string TextFromStandardInput() {
    std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    if (text.ends_with('\n'))
        text.pop_back();
    if (text.ends_with('\r'))
        text.pop_back();
    return text;
}

// A script's message is a plain one unless it asks for a class: the window's last choice is
// not the script's.
int ClassPosition(const CliRun& run) {
    if (run.options.classIndex)
        return *run.options.classIndex;
    return run.options.flash ? kFlashClassPosition : kNoClassPosition;
}

// The relative validity period octet that holds at least `minutes` (3GPP TS 23.040
// 9.2.3.12.1): 5-minute steps to 12 hours, 30-minute steps to a day, then days, then weeks.
int ValidityOctet(int minutes) {
    constexpr int kHalfDay = 12 * 60;
    constexpr int kDay = 24 * 60;
    constexpr int kMonth = 30 * kDay;
    constexpr int kWeek = 7 * kDay;
    if (minutes <= kHalfDay)
        return (minutes + 4) / 5 - 1;
    if (minutes <= kDay)
        return 143 + (minutes - kHalfDay + 29) / 30;
    if (minutes <= kMonth)
        return 166 + (minutes + kDay - 1) / kDay;
    return std::min(255, 192 + (minutes + kWeek - 1) / kWeek);
}

// Puts the validity octet into a built SMS-SUBMIT that announces a relative one: after the
// centre's field, the first octet, the reference, the recipient's field, PID and DCS.
bool SetRelativeValidity(std::string& pdu, int octet) {
    const auto scaOctets = static_cast<std::size_t>(read_byte(pdu));
    const std::size_t first = 2 + 2 * scaOctets;
    if (first + 6 > pdu.size())
        return false;
    const auto digits = static_cast<std::size_t>(read_byte(pdu.substr(first + 4)));
    const std::size_t vp = first + 4 + 4 + 2 * ((digits + 1) / 2) + 4;
    if (vp + 2 > pdu.size())
        return false;
    pdu.replace(vp, 2, hex_octet(static_cast<std::uint8_t>(octet)));
    return true;
}

// The form as a user would leave it for a Standard Submit of these values. The service centre
// is the option or, as in the window, the one the last send saved.
void FillForm(CliRun& run, const std::string& text, CliWriteSmsForm& form) {
    const CliOptions& options = run.options;
    form.SetControlText(kScaEditId, options.sca ? *options.sca : run.settings.ReadSetting("SCA"));
    form.SetControlText(kRecipientComboId, options.to);
    form.SetChecked(kStandardSubmitRadioId, true);
    form.SetChecked(kAdvancedSubmitRadioId, false);
    form.SetChecked(kRequestReplyCheckId, options.report);
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

// With --report the parts are recorded in the database (when it opens) for the reports that
// "watch" or a later read match; the send itself does not depend on it.
void RecordForReports(CliRun& run, const SubmitParts& parts, const SendReport& report) {
    if (!run.options.report || report.references.empty())
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

namespace {

// The centre when neither --sca nor the settings name one: the phone's own (AT+CSCA?).
void AskPhoneForCentre(CliRun& run, CliWriteSmsForm& form) {
    const ReadScaResult read = ReadServiceCentre(run.session);
    if (read.status == ReadScaStatus::Read)
        form.SetControlText(kScaEditId, read.number);
}

// --max-parts and --validity on the built parts; false (told) when the parts are too many.
bool ApplySendOptions(const CliRun& run, SubmitParts& parts) {
    const CliOptions& options = run.options;
    if (options.maxParts && std::ssize(parts) > *options.maxParts) {
        std::fprintf(stderr, "telvane-cli: the text takes %zu parts, more than --max-parts %d\n",
                     parts.size(), *options.maxParts);
        return false;
    }
    if (options.validityMinutes)
        for (SubmitPdu& part : parts)
            SetRelativeValidity(part.pdu, ValidityOctet(*options.validityMinutes));
    return true;
}

} // namespace

int RunSend(CliRun& run) {
    const std::string text = run.options.text == "-" ? TextFromStandardInput() : run.options.text;
    CliWriteSmsForm form;
    FillForm(run, text, form);
    // The window holds a text to ten linked parts; a script may send as many as the
    // concatenation header counts. What they cannot hold is refused, never cut.
    if (!TextFitsParts(ReadWriteSmsValues(form), kMaxLinkedParts)) {
        std::fprintf(stderr, "telvane-cli: the text is longer than %d linked messages hold\n",
                     kMaxLinkedParts);
        return kExitUsage;
    }
    // Without a centre the port opens first, to ask the phone for its own.
    const bool centreKnown = !form.ControlText(kScaEditId).empty();
    if (!centreKnown) {
        if (!run.OpenPort())
            return run.RefusedStatus();
        AskPhoneForCentre(run, form);
    }
    SubmitParts parts;
    if (BuildSubmitParts(ReadWriteSmsValues(form), run.sink, parts, NextConcatReference(),
                         kMaxLinkedParts) != 0)
        return kExitRefused;
    if (!ApplySendOptions(run, parts))
        return kExitUsage;
    if (centreKnown && !run.OpenPort())
        return run.RefusedStatus();
    const SendPause pause = run.options.confirm ? SendPause::AskUser : SendPause::WaitForPrompt;
    SendReport report;
    const PortLease sending = run.session.TakePort();
    const SendOutcome outcome = SendSubmitParts(run.session, parts, run.sink, &report, pause);
    PrintReferences(report, parts.size());
    RecordForReports(run, parts, report);
    PrintTable(PartsTable(parts, report, outcome), run.options.format, stdout,
               !run.options.noHeader);
    return outcome == SendOutcome::SentOk ? kExitDone : kExitRefused;
}
