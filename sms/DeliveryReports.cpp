#include "sms/DeliveryReports.h"

#include "core/TextToInt.h"
#include "db/CDaoPhonebook.h"
#include "pdu/Pdu.h"
#include "sms/SmsRowText.h"

#include <algorithm>
#include <ctime>
#include <iterator>

namespace {

constexpr int kSrrBit = 0x20;
// Sends the message view looks through for the one it shows.
constexpr int kSendsLookedAt = 500;
constexpr std::size_t kNationalDigits = 7;

std::string Digits(std::string_view number) {
    std::string digits;
    std::ranges::copy_if(number, std::back_inserter(digits),
                         [](char c) { return c >= '0' && c <= '9'; });
    return digits;
}

// The digits of a number without its international prefix; national tells whether it had none.
std::string Significant(std::string_view number, bool& national) {
    std::string digits = Digits(number);
    national = !number.starts_with('+');
    if (national && digits.starts_with("00")) {
        digits.erase(0, 2);
        national = false;
    } else if (national && digits.starts_with('0')) {
        digits.erase(0, 1);
    }
    return digits;
}

std::optional<DbDateTime> StampTime(std::string_view stamp) {
    if (stamp.size() < 12)
        return std::nullopt;
    const sms_time t = decode_time(stamp);
    return DbDateTime::FromParts(t.year < 50 ? 2000 + t.year : 1900 + t.year, t.month, t.day,
                                 t.hour, t.minute, t.second);
}

std::string TimeText(const std::optional<DbDateTime>& when) {
    return when ? when->Format("%d/%m/%y %H:%M:%S") : std::string();
}

// The part a SUBMIT PDU holds, as it is recorded.
std::optional<DeliveryRecord> PartOf(const std::string& pdu) {
    sms_container sms;
    if (parse_sms_out(pdu, sms) != 1)
        return std::nullopt;
    const int first = read_byte(sms.pdu_type.view());
    DeliveryRecord part;
    part.recipient = ShownNumber(sms.address.view(), sms.address_length);
    part.text =
        decode_ud(sms.ud.view(), read_byte(sms.udl.view()), read_byte(sms.dcs.view()), first);
    if (const auto concat = decode_concat(sms.ud.view(), first))
        part.part = concat->sequence;
    return part;
}

bool AsksForReport(const std::string& pdu) {
    sms_container sms;
    return parse_sms_out(pdu, sms) == 1 && (read_byte(sms.pdu_type.view()) & kSrrBit) != 0;
}

std::string NameOf(CDaoDatabase& database, const std::string& number) {
    CDaoPhonebook phonebook(&database);
    if (number.empty() || !phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges))
        return {};
    const std::string name = phonebook.FindFirst("Numero", number) ? phonebook.Nome : "";
    phonebook.Close();
    return name;
}

bool Final(const DeliveryRecord& record) {
    return record.status && delivery_outcome(*record.status) != DeliveryOutcome::Pending;
}

// The record the report is about: one that holds this very report already, else the newest
// without a final status.
std::optional<DeliveryRecord> Match(std::vector<DeliveryRecord> records, const std::string& to,
                                    const sms_status_report& report,
                                    const std::optional<DbDateTime>& discharge) {
    std::erase_if(records, [&to](const DeliveryRecord& r) { return !SameNumber(r.recipient, to); });
    auto found = std::ranges::find_if(records, [&](const DeliveryRecord& r) {
        return r.status == report.status && r.discharge == discharge;
    });
    if (found == records.end())
        found = std::ranges::find_if(records, [](const DeliveryRecord& r) { return !Final(r); });
    return found == records.end() ? std::nullopt : std::optional<DeliveryRecord>(*found);
}

std::string Note(const std::string& shown, int status, const std::optional<DbDateTime>& when) {
    if (delivery_outcome(status) == DeliveryOutcome::Delivered) {
        const std::string time = TimeText(when);
        return "Delivered to " + shown + (time.empty() ? "" : ", " + time);
    }
    return "Not delivered to " + shown + ": " + delivery_status_text(status);
}

std::string PartLine(const DeliveryRecord& record) {
    std::string line =
        "Part " + std::to_string(record.part) + "/" + std::to_string(record.parts) + ": ";
    if (!record.status)
        return line + "no report yet";
    const std::string time = TimeText(record.discharge);
    return line + record.statusText + (time.empty() ? "" : " " + time);
}

} // namespace

bool SameNumber(std::string_view a, std::string_view b) {
    bool aNational = false;
    bool bNational = false;
    const std::string x = Significant(a, aNational);
    const std::string y = Significant(b, bNational);
    if (x.empty() || y.empty())
        return false;
    if (x == y)
        return true;
    if (aNational == bNational)
        return false;
    const std::string& national = aNational ? x : y;
    const std::string& international = aNational ? y : x;
    return national.size() >= kNationalDigits && international.ends_with(national);
}

bool RecordSentParts(CDaoDatabase& database, const std::vector<std::string>& pdus,
                     const std::vector<int>& references, const DbDateTime& sent, std::string* why) {
    if (pdus.empty() || !AsksForReport(pdus.front()))
        return true;
    std::vector<DeliveryRecord> parts;
    for (std::size_t i = 0; i < pdus.size() && i < references.size(); ++i) {
        std::optional<DeliveryRecord> part = PartOf(pdus[i]);
        if (!part || references[i] < 0 || references[i] > 255)
            continue;
        part->parts = static_cast<int>(pdus.size());
        if (part->parts == 1)
            part->part = 1;
        part->reference = references[i];
        part->sent = sent;
        parts.push_back(std::move(*part));
    }
    if (parts.empty())
        return true;
    DeliveryTable table(&database);
    if (table.AddSend(parts))
        return true;
    if (why != nullptr)
        *why = table.ErrorText();
    return false;
}

bool RecordSentParts(CDaoDatabase& database, const std::vector<std::string>& pdus,
                     const std::vector<int>& references, std::string* why) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto sent = DbDateTime::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                            local.tm_hour, local.tm_min, local.tm_sec);
    return RecordSentParts(database, pdus, references, sent.value_or(DbDateTime{}), why);
}

StatusReportResult RecordStatusReport(CDaoDatabase& database, const sms_status_report& report) {
    StatusReportResult result;
    const std::string to = ShownNumber(report.recipient.view(), report.recipient_length);
    const std::optional<DbDateTime> discharge = StampTime(report.discharge.view());
    DeliveryTable table(&database);
    if (auto record = Match(table.WithReference(report.reference), to, report, discharge)) {
        record->status = report.status;
        record->discharge = discharge;
        record->statusText = delivery_status_text(report.status);
        result.matched =
            table.StoreStatus(record->id, report.status, discharge, record->statusText);
        if (!result.matched)
            result.storeError = table.ErrorText();
        result.record = std::move(*record);
    }
    result.shown = NameOf(database, to);
    if (result.shown.empty() && result.matched)
        result.shown = NameOf(database, result.record.recipient);
    if (result.shown.empty())
        result.shown = to;
    result.note = Note(result.shown, report.status, discharge);
    if (!result.storeError.empty())
        result.note += " (not stored: " + result.storeError + ")";
    return result;
}

std::optional<std::string> HandleStatusReportPdu(CDaoDatabase& database, std::string_view pduHex) {
    std::optional<sms_status_report> report = parse_status_report(pduHex);
    if (!report)
        report = parse_status_report("00" + std::string(pduHex));
    if (!report)
        return std::nullopt;
    return RecordStatusReport(database, *report).note;
}

namespace {

std::vector<std::string> LinesOf(DeliveryTable& table, std::int64_t sendId) {
    std::vector<std::string> lines;
    std::ranges::transform(table.OfSend(sendId), std::back_inserter(lines), PartLine);
    return lines;
}

bool Outgoing(std::string_view type) {
    return type.size() == 3 && (type[0] == 'O' || type[0] == 'o') &&
           (type[1] == 'U' || type[1] == 'u') && (type[2] == 'T' || type[2] == 't');
}

} // namespace

void AddDeliveryLines(CDaoDatabase& database, const SmsRow& row, MessageView& view) {
    if (Outgoing(row[kSmsTypeColumn])) {
        view.delivery = DeliveryLines(database, view.text);
        return;
    }
    if (row[kSmsTypeColumn] != kSmsReportType || row[kSmsReferenceField].empty())
        return;
    DeliveryTable table(&database);
    for (const DeliveryRecord& record : table.WithReference(TextToInt(row[kSmsReferenceField])))
        if (SameNumber(record.recipient, row[kSmsSenderColumn])) {
            view.delivery = LinesOf(table, record.sendId);
            return;
        }
}

std::vector<std::string> DeliveryLines(CDaoDatabase& database, std::string_view text,
                                       std::string_view recipient) {
    DeliveryTable table(&database);
    for (const DeliveryRecord& first : table.LatestSends(kSendsLookedAt)) {
        if (!recipient.empty() && !SameNumber(first.recipient, recipient))
            continue;
        const std::vector<DeliveryRecord> parts = table.OfSend(first.sendId);
        std::string joined;
        for (const DeliveryRecord& part : parts)
            joined += part.text;
        if (joined != text)
            continue;
        return LinesOf(table, first.sendId);
    }
    return {};
}
