#pragma once
// What a phone says of the network it is on: the signal quality of AT+CSQ (3GPP TS 27.007 8.5)
// and the registration of AT+CREG? and of its unsolicited "+CREG:" (27.007 7.2).

#include <optional>
#include <string>
#include <vector>

struct SignalQuality {
    int rssi = 99; // 0-31, 99 not known
    int ber = 99;  // 0-7, 99 not known
};

// The "+CSQ: <rssi>,<ber>" among the answer lines; nothing when there is none.
std::optional<SignalQuality> ReadSignalQuality(const std::vector<std::string>& lines);
// 0 is -113 dBm or less, each step 2 dB, 31 is -51 dBm or more; nothing for 99 (not known).
std::optional<int> RssiDbm(int rssi);
// The signal of "+CSQ:" among the lines in dBm; nothing when not known or not there.
std::optional<int> SignalDbm(const std::vector<std::string>& lines);

struct Registration {
    std::optional<int> reports; // <n> of the read form: 0 no unsolicited codes, 1 or 2 on
    int stat = 0;               // 0 not registered, 1 home, 2 searching, 3 denied, 4, 5 roaming
};

// The answer of AT+CREG?: "+CREG: <n>,<stat>[,<lac>,<ci>...]" among the lines.
std::optional<Registration> ReadRegistration(const std::vector<std::string>& lines);
// The unsolicited code: "+CREG: <stat>[,<lac>,<ci>...]".
std::optional<int> ReadRegistrationNotice(const std::string& line);
// "home", "roaming", ... for <stat> 0-5; empty for any other.
std::string RegistrationWord(int stat);
