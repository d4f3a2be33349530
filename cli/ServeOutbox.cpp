#include "cli/ServeOutbox.h"

#include "cli/CliWriteSmsForm.h"
#include "cli/Interrupt.h"
#include "serial/CModemSession.h"
#include "serial/settings/CSettingsStore.h"
#include "sms/DeliveryReports.h"
#include "sms/send/CWriteSmsTab.h"
#include "sms/send/ConcatReference.h"
#include "sms/send/IWriteSmsForm.h"
#include "sms/send/MessageCoding.h"
#include "sms/send/ReadSca.h"
#include "sms/send/SendSms.h"
#include "sms/send/SubmitPdu.h"
#include "sms/send/WriteSmsValues.h"

#include <algorithm>

namespace {

// Positions of the class list: the four classes, then "Not specified - default".
constexpr int kClassPositions = 5;
constexpr int kNoClassPosition = 4;

void FillForm(const OutboxRecord& record, const std::string& centre, CliWriteSmsForm& form) {
    form.SetControlText(kScaEditId, centre);
    form.SetControlText(kRecipientComboId, record.recipient);
    form.SetChecked(kStandardSubmitRadioId, true);
    form.SetChecked(kAdvancedSubmitRadioId, false);
    form.SetChecked(kRequestReplyCheckId, record.options.find("--report") != std::string::npos);
    form.ResetList(kClassComboId);
    for (int position = 0; position < kClassPositions; ++position)
        form.AddListItem(kClassComboId, std::to_string(position));
    form.SelectListItem(kClassComboId, kNoClassPosition);
    form.SetControlText(kSmsTextEditId, record.text);
}

} // namespace

ServeOutbox::ServeOutbox(CModemSession& modem, CDaoDatabase& archive, CSettingsStore& store,
                         OutboxPolicy retries)
    : session(modem), database(archive), settings(store), policy(retries), table(&archive) {
    table.Listen();
}

void ServeOutbox::MarkInterrupted() {
    const int marked = table.MarkInterrupted();
    if (marked < 0)
        ServeLog("the outbox could not be checked: " + table.ErrorText());
    else if (marked > 0)
        ServeLog(std::to_string(marked) +
                 " outbox rows were being sent when the service stopped: marked uncertain");
}

std::string ServeOutbox::Centre() {
    if (std::string stored = settings.ReadSetting("SCA"); !stored.empty())
        return stored;
    if (!phoneCentre) {
        const ReadScaResult read = ReadServiceCentre(session);
        if (read.status != ReadScaStatus::Read)
            return {};
        phoneCentre = read.number;
    }
    return *phoneCentre;
}

void ServeOutbox::Marked(bool written, const OutboxRecord& record) {
    if (!written)
        ServeLog("outbox row " + std::to_string(record.id) + " not marked: " + table.ErrorText());
}

void ServeOutbox::Failed(const OutboxRecord& record, const std::string& why) {
    const int tries = record.tries + 1; // MarkSending counted this one
    if (tries >= policy.tries) {
        Marked(table.MarkFailed(record.id, why), record);
        ServeLog("outbox row " + std::to_string(record.id) + " failed after " +
                 std::to_string(tries) + " tries: " + why);
        return;
    }
    // Doubled after each try, and never more than a day.
    constexpr int kMostDoublings = 12;
    constexpr std::chrono::seconds kLongest = std::chrono::hours(24);
    const std::chrono::seconds delay =
        std::min(policy.firstDelay * (1 << std::min(tries - 1, kMostDoublings)), kLongest);
    Marked(table.MarkRetry(record.id, why, LocalNow(delay)), record);
    ServeLog("outbox row " + std::to_string(record.id) + " not sent (" + why +
             "); tried again in " + std::to_string(delay.count()) + " s");
}

void ServeOutbox::RecordDelivery(const DeliveryRecord& part) {
    if (!table.RecordDelivery(part.reference, part.recipient, part.statusText))
        ServeLog("the outbox did not take a status report: " + table.ErrorText());
}

bool ServeOutbox::Refuse(const OutboxRecord& record, const std::string& why) {
    ServeLog("outbox row " + std::to_string(record.id) + " failed: " + why);
    const bool written = table.MarkFailed(record.id, why);
    Marked(written, record);
    return written;
}

bool ServeOutbox::SendNext() {
    const std::optional<OutboxRecord> due = table.NextDue(LocalNow());
    if (!due)
        return false;
    const PortLease sending = session.TakePort();
    CliWriteSmsForm form;
    FillForm(*due, Centre(), form);
    // The command line's limit: as many parts as the concatenation header counts.
    if (!TextFitsParts(ReadWriteSmsValues(form), kMaxLinkedParts))
        return Refuse(*due, "the text is longer than " + std::to_string(kMaxLinkedParts) +
                                " linked messages hold");
    SubmitParts parts;
    if (BuildSubmitParts(ReadWriteSmsValues(form), sink, parts, NextConcatReference(),
                         kMaxLinkedParts) != 0) {
        // The text or the number itself is refused: no try changes that.
        const std::string why = sink.TakeLastText();
        return Refuse(*due, why.empty() ? "the message could not be built" : why);
    }
    if (!table.MarkSending(due->id, LocalNow())) {
        // Tried again at the next look, once the file takes a write.
        ServeLog("outbox row " + std::to_string(due->id) + " not sent: " + table.ErrorText());
        return false;
    }
    sink.TakeLastText();
    SendReport report;
    const SendOutcome outcome =
        SendSubmitParts(session, parts, sink, &report, SendPause::WaitForPrompt);
    if (outcome != SendOutcome::SentOk && Interrupted().load()) {
        // Cut off by the stop: it may have gone. The next start marks it uncertain.
        ServeLog("outbox row " + std::to_string(due->id) + " cut off by the stop, not retried");
        return true;
    }
    if (outcome != SendOutcome::SentOk) {
        // The phone's own words ("+CMS ERROR: 500") when its last answer holds them.
        const Reply last = session.CurrentReply();
        const std::string said = last.errorCode >= 0 ? ReplyFailureText(last) : "";
        Failed(*due, said.empty() ? std::string(SendOutcomeText(outcome)) : said);
        return true;
    }
    const std::optional<int> reference =
        report.references.empty() || report.references.back() == kNoReference
            ? std::nullopt
            : std::optional<int>(report.references.back());
    if (!table.MarkSent(due->id, reference, LocalNow()))
        ServeLog("outbox row " + std::to_string(due->id) +
                 " was sent but not marked: " + table.ErrorText());
    std::string why;
    if (!RecordSentParts(database, PdusOf(parts), report.references, &why))
        ServeLog(std::string(kDeliveryNotRecorded) + why);
    ServeLog("sent outbox row " + std::to_string(due->id) + " to " + due->recipient + " in " +
             std::to_string(parts.size()) + " parts, reference " +
             (reference ? std::to_string(*reference) : std::string("none")));
    return true;
}
