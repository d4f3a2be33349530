#pragma once
// Checks on PDU hex text as the phone receives it from the fixture and from +CMGS.

#include <string>

// Octet count of the TPDU in `pdu` (hex with the SCA field first): the <length> of +CMGR, +CMGL
// and +CMGS. -1 when the text is not whole hex octets or is shorter than its SCA field says.
int TpduLength(const std::string& pdu);

// Message type indicator of the TPDU (0 DELIVER, 1 SUBMIT, 2 COMMAND/STATUS-REPORT); -1 when
// the PDU has no first TPDU octet.
int TpduType(const std::string& pdu);
