#include "pdu/StatusReport.h"

#include "pdu/HexText.h"
#include "pdu/PduParser.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kMtiMask = 0x03;
constexpr int kMtiStatusReport = 0x02;
constexpr int kPiExtension = 0x80;

std::string_view trim_end(std::string_view text) {
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

bool all_hex(std::string_view text) {
    return std::ranges::all_of(text, is_hex_digit);
}

// The unread part of the report and where to say why it is malformed.
class ReportReader {
public:
    ReportReader(std::string_view text, std::string* why) : rest(text), error(why) {}

    bool fail(const std::string& message) const {
        if (error != nullptr)
            *error = message;
        return false;
    }
    bool octet(int& value, const char* name) {
        if (rest.size() < 2)
            return fail(std::string("the report ends before the ") + name);
        value = read_byte(rest);
        rest.remove_prefix(2);
        return true;
    }
    template <std::size_t N> bool chars(FixedText<N>& dest, std::size_t n, const char* name) {
        if (n > FixedText<N>::kMaxLength)
            return fail(std::string("the ") + name + " is longer than its field");
        if (rest.size() < n)
            return fail(std::string("the report ends inside the ") + name);
        dest = rest.substr(0, n);
        rest.remove_prefix(n);
        return true;
    }
    bool empty() const { return rest.empty(); }

private:
    std::string_view rest;
    std::string* error;
};

bool read_sca(ReportReader& in, sms_status_report& report) {
    int octets = 0;
    return in.octet(octets, "service-centre address") &&
           in.chars(report.sca, 2 * static_cast<std::size_t>(octets), "service-centre address");
}

bool read_recipient(ReportReader& in, sms_status_report& report) {
    int digits = 0;
    if (!in.octet(digits, "recipient address"))
        return false;
    report.recipient_length = static_cast<unsigned>(digits);
    const auto n = static_cast<std::size_t>(digits + 2 + digits % 2);
    return in.chars(report.recipient, n, "recipient address");
}

// TP-PI and what it announces. Extension octets (bit 7) are skipped: their bits are reserved.
bool read_optional(ReportReader& in, sms_status_report& report) {
    if (in.empty())
        return true;
    int pi = 0;
    in.octet(pi, "parameter indicator");
    for (int more = pi; (more & kPiExtension) != 0;)
        if (!in.octet(more, "parameter indicator"))
            return false;
    int value = 0;
    if ((pi & kPiPid) != 0) {
        if (!in.octet(value, "protocol identifier"))
            return false;
        report.pid = value;
    }
    if ((pi & kPiDcs) != 0) {
        if (!in.octet(value, "data coding scheme"))
            return false;
        report.dcs = value;
    }
    if ((pi & kPiUdl) != 0) {
        if (!in.octet(value, "user-data length"))
            return false;
        report.udl = value;
    }
    return true;
}

// Octets of the user data that udl announces: septets packed for the default alphabet.
std::size_t ud_chars(const sms_status_report& report) {
    return 2 *
           static_cast<std::size_t>(ud_octet_count(report.udl.value_or(0), report.dcs.value_or(0)));
}

struct StatusWords {
    int code;
    const char* words;
};

constexpr std::array<StatusWords, 25> kStatusWords = {{
    {0x00, "delivered"},
    {0x01, "forwarded, delivery not confirmed"},
    {0x02, "replaced by the service centre"},
    {0x20, "still trying: congestion"},
    {0x21, "still trying: SME busy"},
    {0x22, "still trying: no response from SME"},
    {0x23, "still trying: service rejected"},
    {0x24, "still trying: quality of service not available"},
    {0x25, "still trying: error in SME"},
    {0x40, "failed: remote procedure error"},
    {0x41, "failed: incompatible destination"},
    {0x42, "failed: connection rejected by SME"},
    {0x43, "failed: not obtainable"},
    {0x44, "failed: quality of service not available"},
    {0x45, "failed: no interworking available"},
    {0x46, "failed: validity period expired"},
    {0x47, "failed: deleted by the sender"},
    {0x48, "failed: deleted by the service centre"},
    {0x49, "failed: message does not exist"},
    {0x60, "failed: congestion"},
    {0x61, "failed: SME busy"},
    {0x62, "failed: no response from SME"},
    {0x63, "failed: service rejected"},
    {0x64, "failed: quality of service not available"},
    {0x65, "failed: error in SME"},
}};

} // namespace

std::optional<TpduType> tpdu_type(std::string_view pdu) {
    const int centreLength = hex_pair_at(pdu, 0);
    if (centreLength < 0)
        return std::nullopt;
    const int firstOctet = hex_pair_at(pdu, 2 + 2 * static_cast<std::size_t>(centreLength));
    if (firstOctet < 0)
        return std::nullopt;
    switch (firstOctet & kMtiMask) {
    case 0:
        return TpduType::Deliver;
    case 1:
        return TpduType::Submit;
    case 2:
        return TpduType::StatusReport;
    default:
        return TpduType::Reserved;
    }
}

std::optional<sms_status_report> parse_status_report(std::string_view pdu, std::string* error) {
    const std::string_view text = trim_end(pdu);
    ReportReader in(text, error);
    if (text.empty() || !all_hex(text) || text.size() % 2 != 0) {
        in.fail("the report is not whole hex octets");
        return std::nullopt;
    }
    sms_status_report report;
    if (!read_sca(in, report) || !in.octet(report.first_octet, "first octet"))
        return std::nullopt;
    if ((report.first_octet & kMtiMask) != kMtiStatusReport) {
        in.fail("the first octet does not announce a status report");
        return std::nullopt;
    }
    if (!in.octet(report.reference, "message reference") || !read_recipient(in, report) ||
        !in.chars(report.scts, 14, "service-centre time stamp") ||
        !in.chars(report.discharge, 14, "discharge time") || !in.octet(report.status, "status") ||
        !read_optional(in, report))
        return std::nullopt;
    if (report.udl && !in.chars(report.ud, ud_chars(report), "user data"))
        return std::nullopt;
    return report;
}

DeliveryOutcome delivery_outcome(int status) {
    if (status >= 0x00 && status <= 0x1F)
        return DeliveryOutcome::Delivered;
    if (status >= 0x20 && status <= 0x3F)
        return DeliveryOutcome::Pending;
    return DeliveryOutcome::Failed;
}

std::string delivery_status_text(int status) {
    const auto* known = std::ranges::find(kStatusWords, status, &StatusWords::code);
    if (known != kStatusWords.end())
        return known->words;
    const std::string value = "status 0x" + hex_octet(static_cast<std::uint8_t>(status)) + ")";
    if (status > 0x7F || status < 0)
        return "failed (reserved " + value;
    switch (delivery_outcome(status)) {
    case DeliveryOutcome::Delivered:
        return "completed (" + value;
    case DeliveryOutcome::Pending:
        return "still trying (" + value;
    case DeliveryOutcome::Failed:
        return "failed (" + value;
    }
    return value;
}
