// libFuzzer target over the PDU parsers (status reports included) and the field decoders: any text
// from the phone line must parse or fail cleanly, and whatever parses must decode without reading
// past its fields.

#include "fuzz/FuzzCheck.h"
#include "pdu/Pdu.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void decode_all(const sms_container& sms) {
    const int dcs_octet = read_byte(sms.dcs);
    const int first_octet = read_byte(sms.pdu_type);
    FuzzRequire(sms.ud.size() % 2 == 0 && sms.ud.size() <= 2 * kMaxUserDataOctets);
    FuzzRequire(static_cast<int>(sms.ud.size()) / 2 ==
                ud_octet_count(read_byte(sms.udl), dcs_octet));
    (void)decode_sca(sms.sca);
    (void)decode_oa(sms.address);
    (void)decode_time(sms.scts);
    (void)timezone_quarters(sms.scts);
    dcs fields;
    (void)decode_dcs(sms.dcs, fields);
    (void)decode_concat(sms.ud, first_octet);
    (void)decode_ud(sms.ud, read_byte(sms.udl), dcs_octet, first_octet);
}

// Random bytes are rarely hex; half of the inputs are turned into hex digits so that the fields
// past the first length octet get explored as well.
std::string as_hex_digits(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        hex.push_back(kDigits[static_cast<unsigned char>(c) & 0x0F]);
    }
    return hex;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const std::string hex = size > 0 && (data[0] & 1) != 0 ? as_hex_digits(raw.substr(1)) : "";
    const std::string_view text = hex.empty() ? raw : std::string_view(hex);
    sms_container sms;
    if (parse_sms_in(text, sms) == 1) {
        decode_all(sms);
    }
    sms_container submit;
    if (parse_sms_out(text, submit) == 1) {
        decode_all(submit);
    }
    // A status report parses only under MTI 2, and its fields stay inside their capacities.
    if (const auto report = parse_status_report(text)) {
        FuzzRequire(tpdu_type(text) == TpduType::StatusReport);
        FuzzRequire(report->scts.size() == 14 && report->discharge.size() == 14);
        FuzzRequire(report->ud.size() % 2 == 0);
        (void)decode_oa(report->recipient, report->recipient_length);
        (void)decode_time(report->discharge);
        (void)delivery_status_text(report->status);
    }
    // The raw text as user data under every coding and header flag the first octets pick.
    if (text.size() >= 3) {
        const std::string_view ud = text.substr(3);
        (void)decode_ud(ud, data[0], data[1], data[2]); // size >= text.size() >= 3
        (void)decode_concat(ud, data[2]);
        (void)decode_sca(ud);
    }
    // Any text packs into at most 160 septets, and what a phone reads back packs the same way.
    const encoded_ud ud = encode_ud(text);
    FuzzRequire(read_byte(ud.udl) <= kMaxSeptets);
    FuzzRequire(static_cast<int>(ud.ud.size()) == 2 * ((read_byte(ud.udl) * 7 + 7) / 8));
    const encoded_ud again = encode_ud(decode_ud(ud.ud, read_byte(ud.udl)));
    FuzzRequire(again.ud == ud.ud && again.udl == ud.udl);
    return 0;
}
