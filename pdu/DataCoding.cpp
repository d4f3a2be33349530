#include "pdu/DataCoding.h"

#include "pdu/HexText.h"

int decode_dcs(std::string_view text, dcs& out) {
    const int octet = read_byte(text);
    out.group = static_cast<std::int8_t>((octet >> 4) & 0x0F);
    out.alphabet = static_cast<std::int8_t>((octet & 0x04) != 0 ? 8 : 7);
    out.msg_class = static_cast<std::int8_t>(octet & 0x03);
    return octet & 0x08;
}

UdCoding ud_coding(int dcs_octet) {
    const int group = (dcs_octet >> 4) & 0x0F;
    if (group <= 0x07) { // general data coding, with or without automatic deletion
        if ((dcs_octet & 0x20) != 0) {
            return UdCoding::Data8;
        }
        switch ((dcs_octet >> 2) & 0x03) {
        case 1:
            return UdCoding::Data8;
        case 2:
            return UdCoding::Ucs2;
        default:
            return UdCoding::Gsm7;
        }
    }
    if (group == 0x0E) { // message waiting indication, store, UCS2
        return UdCoding::Ucs2;
    }
    if (group == 0x0F) { // data coding / message class
        return (dcs_octet & 0x04) != 0 ? UdCoding::Data8 : UdCoding::Gsm7;
    }
    return UdCoding::Gsm7;
}

std::string_view ud_coding_name(UdCoding coding) {
    switch (coding) {
    case UdCoding::Gsm7:
        return "gsm7";
    case UdCoding::Data8:
        return "8bit";
    case UdCoding::Ucs2:
        return "ucs2";
    }
    return "gsm7";
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the order the send form uses
std::uint8_t encode_dcs(int group, char alphabet, int msg_class) {
    int octet = (group << 4) & 0xFF;
    if (alphabet == '8') {
        octet |= 0x04;
    }
    return static_cast<std::uint8_t>(octet | (msg_class & 0x03));
}
