#include "tools/pdu/PduReport.h"

#include "pdu/Pdu.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace {

std::string escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void line(std::string& report, std::string_view key, std::string_view value) {
    report.append(key).append(": ").append(value).push_back('\n');
}

std::string shown_number(const sms_address& address) {
    return address.international ? "+" + address.number : address.number;
}

template <typename... Values> std::string format(const char* pattern, Values... values) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// Years are coded without a century: 90-99 are taken as the 1990s.
int full_year(int year) {
    return year >= 90 ? 1900 + year : 2000 + year;
}

PduKind detect(std::string_view hex) {
    const std::size_t first = 2 + 2 * static_cast<std::size_t>(read_byte(hex));
    if (first + 2 > hex.size()) {
        return PduKind::Deliver; // too short: let the parser say what is missing
    }
    switch (read_byte(hex.substr(first)) & 0x03) {
    case 0:
        return PduKind::Deliver;
    case 1:
        return PduKind::Submit;
    default:
        return PduKind::Detect;
    }
}

void append_fields(std::string& report, const sms_container& sms) {
    line(report, "sca", sms.sca);
    line(report, "pdu_type", sms.pdu_type);
    line(report, "address", sms.address);
    line(report, "pid", sms.pid);
    line(report, "dcs", sms.dcs);
    line(report, "scts", sms.scts);
    line(report, "vp", sms.vp);
    line(report, "udl", sms.udl);
    line(report, "ud", sms.ud);
}

void append_time(std::string& report, const sms_container& sms) {
    if (sms.scts.empty()) {
        line(report, "date", "");
        line(report, "time", "");
        line(report, "tz_quarters", "");
        return;
    }
    const sms_time t = decode_time(sms.scts);
    line(report, "date", format("%04d-%02d-%02d", full_year(t.year), t.month, t.day));
    line(report, "time", format("%02d:%02d:%02d", t.hour, t.minute, t.second));
    line(report, "tz_quarters", std::to_string(timezone_quarters(sms.scts)));
}

void append_decoded(std::string& report, const sms_container& sms) {
    const sms_address address = decode_oa(sms.address, sms.address_length);
    line(report, "smsc", shown_number(decode_sca(sms.sca)));
    line(report, "number", shown_number(address));
    line(report, "international", address.international ? "1" : "0");
    append_time(report, sms);
    const int dcs_octet = read_byte(sms.dcs);
    const int first_octet = read_byte(sms.pdu_type);
    line(report, "coding", ud_coding_name(ud_coding(dcs_octet)));
    line(report, "udhi", (first_octet & kUdhiBit) != 0 ? "1" : "0");
    const auto concat = decode_concat(sms.ud, first_octet);
    line(report, "concat",
         concat ? std::to_string(concat->reference) + "/" + std::to_string(concat->total) + "/" +
                      std::to_string(concat->sequence)
                : "");
    line(report, "text", escape(decode_ud(sms.ud, read_byte(sms.udl), dcs_octet, first_octet)));
}

bool is_hex_pair(std::string_view text) {
    return text.size() == 2 && is_hex_digit(text[0]) && is_hex_digit(text[1]);
}

// The DCS octet of a request: a typed one as it is, otherwise the coding asked for, or the one
// the text needs, with the class.
std::optional<int> request_dcs(const SubmitRequest& request, std::string_view text,
                               std::string& why) {
    if (is_hex_pair(request.coding)) {
        const int dcs = read_byte(request.coding);
        if (!submit_coding(dcs, &why)) {
            return std::nullopt;
        }
        return dcs;
    }
    UdCoding coding = needs_ucs2(text) ? UdCoding::Ucs2 : UdCoding::Gsm7;
    if (request.coding == "ucs2") {
        coding = UdCoding::Ucs2;
    } else if (request.coding == "8bit") {
        coding = UdCoding::Data8;
    } else if (!request.coding.empty()) {
        why = "the DCS must be two hex digits";
        return std::nullopt;
    }
    return submit_dcs(coding, request.msg_class);
}

void append_stamp(std::string& report, const char* key, std::string_view stamp) {
    const sms_time t = decode_time(stamp);
    line(report, key,
         format("%04d-%02d-%02d %02d:%02d:%02d", full_year(t.year), t.month, t.day, t.hour,
                t.minute, t.second));
}

ToolOutput status_report(std::string_view hex) {
    ToolOutput out;
    const auto report = parse_status_report(hex, &out.text);
    if (!report) {
        return out;
    }
    out.ok = true;
    out.text.clear();
    line(out.text, "type", "SMS-STATUS-REPORT");
    line(out.text, "smsc", shown_number(decode_sca(report->sca)));
    line(out.text, "reference", std::to_string(report->reference));
    line(out.text, "number", shown_number(decode_oa(report->recipient, report->recipient_length)));
    append_stamp(out.text, "scts", report->scts);
    append_stamp(out.text, "discharge", report->discharge);
    line(out.text, "status", format("%02x", report->status));
    line(out.text, "status_text", delivery_status_text(report->status));
    return out;
}

} // namespace

ToolOutput decode_report(std::string_view hex, PduKind kind) {
    if (kind == PduKind::Detect) {
        kind = detect(hex);
    }
    sms_container sms;
    ToolOutput out;
    switch (kind) {
    case PduKind::Detect:
        if (tpdu_type(hex) == TpduType::StatusReport) {
            return status_report(hex);
        }
        out.text = "not an SMS-DELIVER or SMS-SUBMIT (use --deliver or --submit to force one)";
        return out;
    case PduKind::Deliver:
        if (parse_sms_in(hex, sms, &out.text) == 0) {
            return out;
        }
        break;
    case PduKind::Submit:
        if (parse_sms_out(hex, sms, &out.text) == 0) {
            return out;
        }
        break;
    }
    out.ok = true;
    out.text.clear();
    line(out.text, "type", kind == PduKind::Submit ? "SMS-SUBMIT" : "SMS-DELIVER");
    append_fields(out.text, sms);
    append_decoded(out.text, sms);
    return out;
}

ToolOutput encode_report(const SubmitRequest& request, std::string_view text) {
    std::string why;
    const auto to = clean_number(request.to, kMaxNumberDigits, &why);
    if (!to) {
        return {false, "the recipient: " + why};
    }
    const auto sca = request.sca.empty() ? std::optional<std::string>("")
                                         : clean_number(request.sca, kMaxScaDigits, &why);
    if (!sca) {
        return {false, "the service centre: " + why};
    }
    if (!request.vp.empty() && !is_hex_pair(request.vp)) {
        return {false, "the validity period must be two hex digits"};
    }
    const auto dcs = request_dcs(request, text, why);
    if (!dcs) {
        return {false, why};
    }
    const ud_parts parts = encode_ud_parts(text, ud_coding(*dcs), request.reference);
    if (!parts.error.empty()) {
        return {false, parts.error};
    }
    if (parts.parts.size() > 255) {
        return {false, "the text needs more than 255 parts"};
    }
    sms_container sms;
    sms.sca = sca->empty() ? std::string("00") : encode_sca(*sca);
    const int first_octet = encode_pdu_type(request.reply ? 1 : 0, request.vp.empty() ? 0 : 2);
    sms.mr = "00";
    sms.da = encode_da(*to);
    sms.pid = "00";
    sms.dcs = hex_octet(static_cast<std::uint8_t>(*dcs));
    sms.vp = request.vp;
    std::string out;
    for (const ud_part& part : parts.parts) {
        sms.pdu_type =
            hex_octet(static_cast<std::uint8_t>(first_octet | (part.udhi ? kUdhiBit : 0)));
        sms.udl = part.udl;
        sms.ud = part.ud;
        const std::string pdu = encode_sms(sms);
        out += pdu + "\n" + std::to_string(submit_octet_count(pdu)) + "\n";
    }
    return {true, out};
}
