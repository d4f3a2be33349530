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
    table.SetClaimTime(policy.claim);
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

std::optional<std::string> ServeOutbox::Centre() {
    if (std::string stored = settings.ReadSetting("SCA"); !stored.empty())
        return stored;
    if (!phoneCentre) {
        const ReadScaResult read = ReadServiceCentre(session);
        if (read.status == ReadScaStatus::Timeout)
            return std::nullopt;
        if (read.status != ReadScaStatus::Read)
            return std::string(); // none to be had: the send is refused for it
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

std::string MessageDelivery(const std::vector<DeliveryRecord>& parts) {
    if (parts.size() == 1)
        return parts.front().statusText;
    int delivered = 0;
    for (const DeliveryRecord& part : parts) {
        const DeliveryOutcome outcome =
            part.status ? delivery_outcome(*part.status) : DeliveryOutcome::Pending;
        if (outcome == DeliveryOutcome::Failed)
            return "part " + std::to_string(part.part) + " of " + std::to_string(part.parts) +
                   ": " + part.statusText;
        delivered += outcome == DeliveryOutcome::Delivered ? 1 : 0;
    }
    if (delivered == std::ssize(parts))
        return delivery_status_text(0);
    return std::to_string(delivered) + " of " + std::to_string(parts.size()) + " parts delivered";
}

void ServeOutbox::RecordDelivery(const DeliveryRecord& part) {
    // The row is found by its first part; the words are those of every part.
    std::vector<DeliveryRecord> parts = DeliveryTable(&database).OfSend(part.sendId);
    if (parts.empty())
        parts.push_back(part);
    const DeliveryRecord& first = parts.front();
    if (!table.RecordDelivery(first.reference, first.recipient, MessageDelivery(parts)))
        ServeLog("the outbox did not take a status report: " + table.ErrorText());
}

bool ServeOutbox::Refuse(const OutboxRecord& record, const std::string& why) {
    ServeLog("outbox row " + std::to_string(record.id) + " failed: " + why);
    const bool written = table.MarkFailed(record.id, why);
    Marked(written, record);
    return written;
}

bool ServeOutbox::MarkSentLater() {
    while (!unmarked.empty()) {
        const Unmarked& row = unmarked.front();
        if (!table.MarkSent(row.id, row.references, row.when))
            return false;
        ServeLog("outbox row " + std::to_string(row.id) +
                 " marked sent now that the database takes the mark");
        unmarked.erase(unmarked.begin());
    }
    return true;
}

bool ServeOutbox::SendNext() {
    if (!MarkSentLater())
        return false;
    const std::optional<OutboxRecord> due = table.NextDue(LocalNow());
    if (!due)
        return false;
    const PortLease sending = session.TakePort();
    const std::optional<std::string> centre = Centre();
    if (!centre) {
        // A phone gone silent is no fault of the row: it waits, its tries untouched.
        ServeLog("outbox row " + std::to_string(due->id) +
                 " waits: the phone did not answer the question for its service centre");
        return false;
    }
    CliWriteSmsForm form;
    FillForm(*due, *centre, form);
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
    if (outcome != SendOutcome::SentOk && session.PortLost()) {
        PortLostDuring(*due, report);
        return true;
    }
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
    Sent(*due, parts, report);
    return true;
}

void ServeOutbox::Sent(const OutboxRecord& record, const SubmitParts& parts,
                       const SendReport& report) {
    const std::string id = std::to_string(record.id);
    const DbDateTime now = LocalNow();
    if (!table.MarkSent(record.id, report.references, now)) {
        // Marked later: it is never sent again, and another service takes it for uncertain at
        // worst.
        ServeLog("outbox row " + id + " was sent but not marked: " + table.ErrorText() +
                 "; marked once the database takes it");
        unmarked.push_back({record.id, report.references, now});
        return;
    }
    std::string why;
    if (!RecordSentParts(database, PdusOf(parts), report.references, &why))
        ServeLog(std::string(kDeliveryNotRecorded) + why);
    const std::optional<OutboxRecord> marked = table.Find(record.id);
    const std::string references =
        marked && !marked->partReferences.empty() ? marked->partReferences : std::string("none");
    ServeLog("sent outbox row " + id + " to " + record.recipient + " in " +
             std::to_string(parts.size()) + " parts, reference " + references);
}

void ServeOutbox::PortLostDuring(const OutboxRecord& record, const SendReport& report) {
    const std::string id = std::to_string(record.id);
    if (report.pdusWritten == 0) {
        // Not one PDU reached the phone: nothing went, and the try is not counted.
        Marked(table.MarkNotHanded(record.id, "the port went away before the message was handed "
                                              "to the phone"),
               record);
        ServeLog("outbox row " + id +
                 " not handed to the phone before the port went away; sent "
                 "once it is back");
        return;
    }
    // A part may have gone: never sent again by itself.
    Marked(table.MarkUncertain(record.id, "the port went away during the send, after " +
                                              std::to_string(report.pdusWritten) + " of " +
                                              std::to_string(report.parts) + " parts"),
           record);
    ServeLog("outbox row " + id + " marked uncertain: the port went away during its send");
}
