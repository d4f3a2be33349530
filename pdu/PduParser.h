#pragma once
// Splits a PDU line from the phone (GSM 07.05 PDU mode: service-centre field, then the TPDU of
// GSM 03.40) into the hex-text fields of an sms_container.

#include "pdu/SmsContainer.h"

#include <string>
#include <string_view>

// Parses an SMS-DELIVER: fills sca (without its length octet), pdu_type, address (originating,
// without its length octet), pid, dcs, scts, udl and ud, and nothing else. Hex may be either case;
// trailing blanks and line ends are ignored. Returns 1 when parsed, 0 when the line is not a
// whole PDU: empty, not hex, an odd digit count, a length that reaches past the line or past its
// field's capacity, user data over 140 octets, or characters left after the user data. On 0 the
// fields read so far stay filled (the one that failed may be cut or empty) and error, when given,
// says why.
int parse_sms_in(std::string_view pdu, sms_container& sms, std::string* error = nullptr);

// Parses an SMS-SUBMIT: fills sca, pdu_type, address (destination), pid, dcs, vp (only when the
// first octet announces one: 2 characters relative, 14 absolute or enhanced), udl and ud. The
// message reference is skipped, not stored. Result and failures as parse_sms_in.
int parse_sms_out(std::string_view pdu, sms_container& sms, std::string* error = nullptr);

// Octets of user data that udl announces under a DCS octet: packed septets for 7-bit text,
// udl itself otherwise.
int ud_octet_count(int udl, int dcs_octet);
