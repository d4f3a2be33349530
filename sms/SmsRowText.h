#pragma once
// The column texts of one SMS list row, from the status of its header line and its parsed PDU.

#include "pdu/SmsContainer.h"
#include "pdu/StatusReport.h"
#include "sms/SmsList.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

// Longest decoded message text a row keeps, in characters.
inline constexpr std::size_t kMaxSmsTextChars = 1000;

// TYPE and STAT words of a message status (3GPP TS 27.005 <stat>).
struct SmsStatusWords {
    std::string_view type;
    std::string_view stat;
};

// True for the four statuses a row is built for (0 to 3).
bool IsListedStatus(int status);
// True for received messages (0 unread, 1 read); 2 and 3 are stored outgoing ones.
bool IsReceivedStatus(int status);
// The words of a listed status; empty words for any other.
SmsStatusWords StatusWords(int status);

// A number as the list shows it: "+" in front of an international one. `semiOctets` is the
// address's length octet where the PDU gave one (0: none, as for a service centre).
std::string ShownNumber(std::string_view parsedAddress, std::size_t semiOctets = 0);

// Service centres' numbers as ShownNumber shows them, each worked out once: the messages of one
// read or one capture come through a few centres. At most kMaxKept are kept (then they start
// over), whatever a file holds.
class ShownCentre {
public:
    static constexpr std::size_t kMaxKept = 64;
    const std::string& Of(std::string_view parsedAddress);

private:
    std::unordered_map<std::string, std::string> shown;
    const std::pair<const std::string, std::string>* last = nullptr; // the centre asked last
};

// Both also set PART and the concatenation key of a part of a long message.
// Sets the text, date, time, sender and SCA columns of a received message.
void FillReceivedColumns(const sms_container& sms, SmsRow& row, ShownCentre& centre);
// Sets the text, sender ("--") and SCA columns of a stored outgoing message.
void FillStoredColumns(const sms_container& sms, SmsRow& row, ShownCentre& centre);

// The text of a status report's row: "Report on message <TP-MR>: <what the status means>".
std::string ReportText(const sms_status_report& report);
// Sets the text, date and time (the discharge time), recipient, SCA and reference of a status
// report's row.
void FillReportColumns(const sms_status_report& report, SmsRow& row);
