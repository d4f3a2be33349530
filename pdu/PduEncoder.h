#pragma once
// Builds the SMS-SUBMIT PDU that follows "AT+CMGS=" in PDU mode. The field builders live with
// their fields (AddressCodec.h, DataCoding.h, UserData.h); the caller stores each result in an
// sms_container and then joins them here.

#include "pdu/SmsContainer.h"

#include <cstdint>
#include <string>
#include <string_view>

// First octet of an SMS-SUBMIT: TP-MTI 01, TP-SRR (0x20) when reply is non-zero, TP-VPF 0x10
// for vp_format 2 (relative) or 0x18 for 3 (absolute), nothing for any other format.
std::uint8_t encode_pdu_type(int reply, int vp_format);

// Joins sca, pdu_type, mr, da, pid, dcs, vp, udl and ud, in this order, with nothing between
// and no Ctrl-Z. address and scts are not used.
std::string encode_sms(const sms_container& sms);

// The octet count "AT+CMGS=" announces for a PDU: everything after the service-centre field.
// 0 for a text too short to hold what its first octet announces.
int submit_octet_count(std::string_view pdu);
