#pragma once
// One message in PDU form: every field is hex text exactly as it stands in the PDU, never octet
// values. The parsers (PduParser.h) fill the fields they meet; the field builders (AddressCodec.h,
// DataCoding.h, UserData.h, PduEncoder.h) make the ones an SMS-SUBMIT needs. The caller owns the
// record; a parse writes only its own fields, so a reused record keeps the others.

#include "pdu/FixedText.h"

struct sms_container {
    FixedText<30> sca;     // parsed: type + swapped digits; built: the whole field with its length
    FixedText<5> pdu_type; // first octet
    FixedText<30> address; // originating or destination address: type + swapped digits
    // The address's length octet, parsed: the semi-octets it counts tell how many septets an
    // alphanumeric address holds, which its octets alone leave open.
    unsigned address_length = 0;
    FixedText<25> pid;  // protocol identifier
    FixedText<25> dcs;  // data coding scheme
    FixedText<20> scts; // service-centre time stamp, SMS-DELIVER only
    FixedText<15> udl;  // user-data length (septets for 7-bit text, octets otherwise)
    FixedText<1000> ud; // user data
    FixedText<10> mr;   // message reference, built only
    FixedText<50> da;   // whole destination-address field, built only
    FixedText<20> vp;   // validity period: empty, 2 or 14 characters
};
