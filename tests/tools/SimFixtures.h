#pragma once
// PDUs and a small phone for the simulator's tests. The PDUs decode with Gammu's decoder.

#include <string>

namespace simtest {

// SMS-DELIVER from +393471234567, "Ci vediamo domani alle 10?" (TPDU 42 octets).
inline const std::string kDeliverRead =
    "0791447700090010040C919343173254760000423041900350401AC334C85E26A7C3ED3788FC6E87DD695098CD2"
    "E8362B01F";
// SMS-DELIVER from 07700900123, "Meeting moved to 3pm, same room" (TPDU 47 octets).
inline const std::string kDeliverUnread =
    "0791447700090010040B817007900021F30000423051112004401FCD72999E769F41EDB7BD4C06D1DFA019BCCD0"
    "2CDC3ED3248FE7EB701";
// SMS-SUBMIT to +393339876543, "OK, see you there" (TPDU 29 octets).
inline const std::string kSubmit =
    "079144770009001011000C919333937856340000AA11CF250B342F9741F9771D444797E565";
inline const std::string kSubmitTpdu = "11000C919333937856340000AA11CF250B342F9741F9771D444797E565";

inline std::string SmallPhone() {
    return "capacity SM 10\n"
           "sms SM 1 1 " +
           kDeliverRead +
           "\n"
           "sms SM 3 0 " +
           kDeliverUnread +
           "\n"
           "sms SM 7 3 " +
           kSubmit +
           "\n"
           "sms ME 2 0 " +
           kDeliverUnread +
           "  # same text in the phone memory\n"
           "range ME 1 20\n"
           "phonebook SM 1 145 \"+393471234567\" \"Marco\"\n"
           "phonebook SM 3 145 \"+393339876543\" \"Rossi, Mario\"\n"
           "phonebook SM 4 129 \"0612345678\" \"Casa #2\"\n"
           "phonebook ME 20 129 \"112\" \"Città\"\n";
}

} // namespace simtest
