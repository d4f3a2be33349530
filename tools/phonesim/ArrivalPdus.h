#pragma once
// The PDUs the network hands the simulated phone of its own accord: an SMS-DELIVER for a new
// message (3GPP TS 23.040 9.2.2.1) and an SMS-STATUS-REPORT for a sent one that asked for it
// (9.2.2.3). Hex text with the service-centre field first, as +CMGR gives it.

#include <ctime>
#include <optional>
#include <string>

// The address fields of a SUBMIT the phone accepted, as it sent them.
struct SubmitFacts {
    bool reportRequested = false; // TP-SRR
    std::string recipient;        // TP-DA as hex: length, type, semi-octets
};

// The facts of `pdu` (hex, service-centre field first); nothing when it is no readable SUBMIT.
std::optional<SubmitFacts> ReadSubmit(const std::string& pdu);

// A DELIVER from `sender` ("+..." international, else unknown type) with `text` in the GSM
// 7-bit default alphabet (letters, digits, blanks and basic punctuation only), stamped `when`
// (UTC), through the centre `centre`.
std::string BuildDeliver(const std::string& centre, const std::string& sender,
                         const std::string& text, std::time_t when);

// The report on message `reference` to `recipient` (TP-DA hex of the SUBMIT) with TP-ST
// `status` (9.2.3.15: 0x00 delivered, 0x40.. permanent failures), the centre's time stamp
// `sent` and the discharge time `done`.
std::string BuildStatusReport(const std::string& centre, int reference,
                              const std::string& recipient, int status, std::time_t sent,
                              std::time_t done);
