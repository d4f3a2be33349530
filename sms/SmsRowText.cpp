#include "sms/SmsRowText.h"

#include "core/TextHelpers.h"
#include "core/Utf8.h"
#include "pdu/Pdu.h"
#include "sms/SmsTimeText.h"

namespace {

std::string MessageText(const sms_container& sms) {
    std::string text = decode_ud(sms.ud.view(), read_byte(sms.udl.view()),
                                 read_byte(sms.dcs.view()), read_byte(sms.pdu_type.view()));
    // No more bytes than the limit counts characters: no more characters either.
    if (text.size() > kMaxSmsTextChars)
        text = CutToCharacters(text, kMaxSmsTextChars);
    return text;
}

void FillCommonColumns(const sms_container& sms, SmsRow& row, ShownCentre& centre) {
    row[kSmsTextColumn] = MessageText(sms);
    row[kSmsScaColumn] = centre.Of(sms.sca.view());
    if (const auto part = decode_concat(sms.ud.view(), read_byte(sms.pdu_type.view()))) {
        row[kSmsPartColumn] = std::to_string(part->sequence) + "/" + std::to_string(part->total);
        row[kSmsConcatKeyField] =
            (part->reference16 ? "16:" : "8:") + std::to_string(part->reference);
    }
}

// DATE and TIME. of a time stamp, as the list shows a received message's.
void FillTimeColumns(std::string_view stamp, SmsRow& row) {
    const sms_time time = decode_time(stamp);
    row[kSmsDateColumn] = ShownSmsDate(time);
    row[kSmsTimeColumn] = ShownSmsClock(time);
}

} // namespace

bool IsListedStatus(int status) {
    return status >= 0 && status <= 3;
}

bool IsReceivedStatus(int status) {
    return status == 0 || status == 1;
}

SmsStatusWords StatusWords(int status) {
    switch (status) {
    case 0:
        return {"IN", "UNREAD"};
    case 1:
        return {"IN", "READ"};
    case 2:
        return {"OUT", "NOT SENT"};
    case 3:
        return {"OUT", "SENT"};
    default:
        return {};
    }
}

std::string ShownNumber(std::string_view parsedAddress, std::size_t semiOctets) {
    sms_address address = decode_oa(parsedAddress, semiOctets);
    if (address.international)
        address.number.insert(0, 1, '+');
    return std::move(address.number);
}

const std::string& ShownCentre::Of(std::string_view parsedAddress) {
    // Messages mostly come through the centre of the message before: that one is asked first,
    // without a copy of the address to look it up.
    if (last != nullptr && last->first == parsedAddress)
        return last->second;
    std::string parsed(parsedAddress);
    auto known = shown.find(parsed);
    if (known == shown.end()) {
        if (shown.size() >= kMaxKept)
            shown.clear();
        std::string number = ShownNumber(parsedAddress);
        known = shown.emplace(std::move(parsed), std::move(number)).first;
    }
    last = &*known;
    return known->second;
}

void FillReceivedColumns(const sms_container& sms, SmsRow& row, ShownCentre& centre) {
    FillCommonColumns(sms, row, centre);
    FillTimeColumns(sms.scts.view(), row);
    row[kSmsSenderColumn] = ShownNumber(sms.address.view(), sms.address_length);
}

std::string ReportText(const sms_status_report& report) {
    return "Report on message " + std::to_string(report.reference) + ": " +
           delivery_status_text(report.status);
}

void FillReportColumns(const sms_status_report& report, SmsRow& row) {
    row[kSmsTextColumn] = ReportText(report);
    FillTimeColumns(report.discharge.view(), row);
    row[kSmsSenderColumn] = ShownNumber(report.recipient.view(), report.recipient_length);
    row[kSmsScaColumn] = ShownNumber(report.sca.view());
    row[kSmsReferenceField] = std::to_string(report.reference);
}

void FillStoredColumns(const sms_container& sms, SmsRow& row, ShownCentre& centre) {
    FillCommonColumns(sms, row, centre);
    row[kSmsSenderColumn] = "--";
}
