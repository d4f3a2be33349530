#pragma once
// The SMS list row of an archived message: the current row of an SMS_In or SMS_Out record set
// and the phonebook name of its number, in the nine columns of the SMS list.

#include "sms/SmsList.h"

#include <string>

class CDaoSMS_In;
class CDaoSMS_Out;

// What the viewer shows in the status column of every archived message.
inline constexpr std::string_view kArchivedStatus = "CABBITTO";

SmsRow ArchiveRow(const CDaoSMS_In& in, std::string name);
// Outgoing messages keep no time of their own: DATE and TIME stay empty.
SmsRow ArchiveRow(const CDaoSMS_Out& out, std::string name);
