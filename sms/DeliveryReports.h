#pragma once
// Delivery reports: the parts of a send that asked for a status report (TP-SRR) are recorded in
// SMS_Delivery with the reference the phone gave each; a status report, pushed (+CDS), indicated
// (+CDSI, then read) or found by a read, is matched to its part and stored, and gives the line
// the status bar shows. Any thread that may use the database (a task holding the port's lease).

#include "db/DbDateTime.h"
#include "db/DeliveryTable.h"
#include "pdu/StatusReport.h"
#include "sms/MessageView.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CDaoDatabase;

// A reference the phone did not tell ("+CMGS:" without a number): that part is not recorded.
inline constexpr int kUnknownReference = -1;

// Records the parts of one send: pdus are the SMS-SUBMIT PDUs sent, in order, and references the
// phone's reference of each part it accepted (kUnknownReference where it gave none). Nothing is
// recorded when the first PDU does not ask for a report or no part has a reference. False, with
// why set, when the records could not be stored.
bool RecordSentParts(CDaoDatabase& database, const std::vector<std::string>& pdus,
                     const std::vector<int>& references, const DbDateTime& sent,
                     std::string* why = nullptr);

// The status-bar note before RecordSentParts's reason when it failed.
inline constexpr std::string_view kDeliveryNotRecorded = "Delivery reports will not be matched: ";

// The same, sent now (the computer's local time).
bool RecordSentParts(CDaoDatabase& database, const std::vector<std::string>& pdus,
                     const std::vector<int>& references, std::string* why = nullptr);

// Whether two numbers are the same line: the digits compared after "+" or an international
// "00", and a national form (a leading trunk "0" dropped) matches the end of an international
// one when it keeps at least seven digits.
bool SameNumber(std::string_view a, std::string_view b);

struct StatusReportResult {
    bool matched = false;   // a record of a part was found (and now holds the status)
    DeliveryRecord record;  // that record, as stored
    std::string shown;      // the recipient as the status bar names it: phonebook name or number
    std::string note;       // "Delivered to <shown>, <time>" / "Not delivered to <shown>: <why>",
                            // with " (not stored: <why>)" when the record took no write
    std::string storeError; // the engine's words when the matched record took no write
};

// Matches the report to the newest record with its reference and recipient that has no final
// status yet (a report the record already holds is matched to it again, not to an older one),
// and stores the status, the discharge time and the status's words.
StatusReportResult RecordStatusReport(CDaoDatabase& database, const sms_status_report& report);

// The listener's entry point: the hex PDU of a "+CDS:" line, or of a report read by AT+CMGR
// after "+CDSI:", with or without its service-centre field. Nothing when it is no status report;
// otherwise the report is matched and stored as RecordStatusReport does, and the status bar's
// line is returned.
std::optional<std::string> HandleStatusReportPdu(CDaoDatabase& database, std::string_view pduHex);

// The delivery state of each part of the newest send whose parts joined give `text` (and whose
// recipient is `recipient`, when one is given): "Part 1/2: delivered 09/12/26 18:01:02",
// "Part 2/2: no report yet". Empty when no such send was recorded.
std::vector<std::string> DeliveryLines(CDaoDatabase& database, std::string_view text,
                                       std::string_view recipient = {});

// The lines of the message view for a row of the SMS list or the archive: for an outgoing
// message the state of each part of its newest send with the same text; for a status report's
// row that of the send it reports on (the newest with its reference and recipient).
void AddDeliveryLines(CDaoDatabase& database, const SmsRow& row, MessageView& view);
