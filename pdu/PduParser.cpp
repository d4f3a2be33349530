#include "pdu/PduParser.h"

#include "pdu/DataCoding.h"
#include "pdu/HexText.h"
#include "pdu/UserData.h"

#include <algorithm>

namespace {

// The unread part of a PDU line and where to say why it is malformed.
struct FieldReader {
    std::string_view rest;
    std::string* error = nullptr;

    bool fail(const std::string& message) const {
        if (error != nullptr) {
            *error = message;
        }
        return false;
    }
};

std::string_view trim_end(std::string_view text) {
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

bool check_text(const FieldReader& in) {
    if (in.rest.empty()) {
        return in.fail("the PDU is empty");
    }
    if (!all_hex_digits(in.rest)) {
        const auto bad = std::ranges::find_if_not(in.rest, is_hex_digit) - in.rest.begin();
        return in.fail("character " + std::to_string(bad + 1) + " of the PDU is not a hex digit");
    }
    if (in.rest.size() % 2 != 0) {
        return in.fail("the PDU has an odd number of hex digits");
    }
    return true;
}

// Validity-period format of a first octet (bits 4 and 3).
int get_vpf(int first_octet) {
    return (first_octet >> 3) & 3;
}

std::size_t round_up_even(std::size_t n) {
    return n + n % 2;
}

// Copies exactly width characters; a line that ends first leaves what there was and fails.
template <std::size_t N>
bool copy_field(FieldReader& in, FixedText<N>& dest, std::size_t width, const char* name) {
    const std::string_view field = in.rest.substr(0, width);
    dest = field;
    in.rest.remove_prefix(field.size());
    return field.size() == width || in.fail(std::string("the PDU ends inside the ") + name);
}

// Copies the n characters after a length octet; dest stays empty when they do not fit.
template <std::size_t N>
bool copy_counted(FieldReader& in, FixedText<N>& dest, std::size_t n, const char* name) {
    dest.clear();
    in.rest.remove_prefix(2);
    if (n > FixedText<N>::kMaxLength) {
        return in.fail(std::string("the ") + name + " is longer than its field");
    }
    if (in.rest.size() < n) {
        return in.fail(std::string("the PDU ends inside the ") + name);
    }
    dest = in.rest.substr(0, n);
    in.rest.remove_prefix(n);
    return true;
}

// Service-centre field: a length in octets, the type octet included; 0 means none.
template <std::size_t N> bool copy_sca(FieldReader& in, FixedText<N>& dest) {
    return copy_counted(in, dest, 2 * static_cast<std::size_t>(read_byte(in.rest)),
                        "service-centre address");
}

// Address field: a length in semi-octets (digits), the type octet not included.
bool copy_address(FieldReader& in, sms_container& sms) {
    sms.address_length = 0;
    if (in.rest.size() < 2) {
        sms.address.clear();
        return in.fail("the PDU ends before the address");
    }
    const std::size_t digits = static_cast<std::size_t>(read_byte(in.rest));
    sms.address_length = static_cast<unsigned>(digits);
    return copy_counted(in, sms.address, round_up_even(digits + 2), "address");
}

bool copy_user_data(FieldReader& in, sms_container& sms) {
    if (!copy_field(in, sms.udl, 2, "user-data length")) {
        return false;
    }
    const int octets = ud_octet_count(read_byte(sms.udl.view()), read_byte(sms.dcs.view()));
    if (octets > kMaxUserDataOctets) {
        sms.ud.clear();
        return in.fail("the user data is longer than 140 octets");
    }
    if (!copy_field(in, sms.ud, 2 * static_cast<std::size_t>(octets), "user data")) {
        return false;
    }
    return in.rest.empty() ||
           in.fail(std::to_string(in.rest.size()) + " characters follow the user data");
}

std::size_t validity_width(int vpf) {
    switch (vpf) {
    case 2:
        return 2;
    case 1: // enhanced format: 7 octets like the absolute one
    case 3:
        return 14;
    default:
        return 0;
    }
}

} // namespace

int ud_octet_count(int udl, int dcs_octet) {
    return ud_coding(dcs_octet) == UdCoding::Gsm7 ? (udl * 7 + 7) / 8 : udl;
}

int parse_sms_in(std::string_view pdu, sms_container& sms, std::string* error) {
    FieldReader in{trim_end(pdu), error};
    const bool parsed = check_text(in) && copy_sca(in, sms.sca) &&
                        copy_field(in, sms.pdu_type, 2, "first octet") && copy_address(in, sms) &&
                        copy_field(in, sms.pid, 2, "protocol identifier") &&
                        copy_field(in, sms.dcs, 2, "data coding scheme") &&
                        copy_field(in, sms.scts, 14, "time stamp") && copy_user_data(in, sms);
    return parsed ? 1 : 0;
}

int parse_sms_out(std::string_view pdu, sms_container& sms, std::string* error) {
    FieldReader in{trim_end(pdu), error};
    FixedText<3> reference;
    if (!check_text(in) || !copy_sca(in, sms.sca) ||
        !copy_field(in, sms.pdu_type, 2, "first octet") ||
        !copy_field(in, reference, 2, "message reference") || !copy_address(in, sms) ||
        !copy_field(in, sms.pid, 2, "protocol identifier") ||
        !copy_field(in, sms.dcs, 2, "data coding scheme")) {
        return 0;
    }
    const std::size_t vp_width = validity_width(get_vpf(read_byte(sms.pdu_type.view())));
    if (vp_width > 0 && !copy_field(in, sms.vp, vp_width, "validity period")) {
        return 0;
    }
    return copy_user_data(in, sms) ? 1 : 0;
}
