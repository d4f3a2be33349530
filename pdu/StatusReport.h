#pragma once
// SMS-STATUS-REPORT (3GPP TS 23.040 9.2.2.3): what the service centre tells of a message sent
// with TP-SRR, and the message type of any PDU line (TP-MTI, 9.2.3.1). Pure functions.

#include "pdu/FixedText.h"

#include <optional>
#include <string>
#include <string_view>

// The message type of a PDU as the phone holds it (first octet, bits 1-0).
enum class TpduType { Deliver, Submit, StatusReport, Reserved };

// The type announced by the first octet after the service-centre field of a PDU line; nothing
// when the line is too short or not hex where the two octets stand.
std::optional<TpduType> tpdu_type(std::string_view pdu);

// TP-PI bits (9.2.3.27) saying which optional fields follow TP-ST.
inline constexpr int kPiPid = 0x01;
inline constexpr int kPiDcs = 0x02;
inline constexpr int kPiUdl = 0x04;

struct sms_status_report {
    FixedText<30> sca;           // type + swapped digits, without the length octet; may be empty
    int first_octet = 0;         // MTI 2, TP-MMS, TP-LP, TP-SRQ, TP-UDHI
    int reference = 0;           // TP-MR of the message reported on, 0-255
    FixedText<30> recipient;     // TP-RA: type + swapped digits
    unsigned recipient_length{}; // its length octet, in semi-octets
    FixedText<15> scts;          // TP-SCTS, 14 characters
    FixedText<15> discharge;     // TP-DT, 14 characters
    int status = 0;              // TP-ST (9.2.3.15)
    // Present only as TP-PI announces them.
    std::optional<int> pid;
    std::optional<int> dcs;
    std::optional<int> udl;
    FixedText<281> ud; // user data, hex
};

// Decodes a status report whose line starts with the service-centre field (its length octet 00
// when the phone gives none). Trailing blanks and line ends are ignored. Fails (nothing, error
// says why when given) on text that is not hex, a first octet whose MTI is not 2, or a report
// that ends before TP-ST. The optional fields are read as far as TP-PI announces them; a TP-PI
// that announces more than the line holds is a failure, text after the last field is not.
std::optional<sms_status_report> parse_status_report(std::string_view pdu,
                                                     std::string* error = nullptr);

// What became of the message, by the group of TP-ST.
enum class DeliveryOutcome {
    Delivered, // transaction completed (0x00-0x1F)
    Pending,   // temporary error, the centre still trying (0x20-0x3F)
    Failed     // the centre has given up (0x40-0x7F), or a reserved value (0x80-0xFF)
};

DeliveryOutcome delivery_outcome(int status);

// The status in a few English words: "delivered", "still trying: congestion", "failed: SME
// busy". A reserved or service-centre specific value gives its group's words and the value in
// hex ("failed (status 0x5a)").
std::string delivery_status_text(int status);
