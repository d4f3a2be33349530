#include "pdu/PduEncoder.h"

#include "pdu/HexText.h"

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the order the send form uses
std::uint8_t encode_pdu_type(int reply, int vp_format) {
    int octet = 0x01;
    if (reply != 0) {
        octet |= 0x20;
    }
    if (vp_format == 2) {
        octet |= 0x10;
    } else if (vp_format == 3) {
        octet |= 0x18;
    }
    return static_cast<std::uint8_t>(octet);
}

std::string encode_sms(const sms_container& sms) {
    std::string pdu;
    for (const std::string_view field :
         {sms.sca.view(), sms.pdu_type.view(), sms.mr.view(), sms.da.view(), sms.pid.view(),
          sms.dcs.view(), sms.vp.view(), sms.udl.view(), sms.ud.view()}) {
        pdu += field;
    }
    return pdu;
}

int submit_octet_count(std::string_view pdu) {
    const std::size_t sca_chars = 2 + 2 * static_cast<std::size_t>(read_byte(pdu));
    if (pdu.size() < sca_chars) {
        return 0;
    }
    return static_cast<int>((pdu.size() - sca_chars) / 2);
}
