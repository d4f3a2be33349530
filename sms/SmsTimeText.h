#pragma once
// The DATE and TIME. texts of a time stamp as the SMS list shows them: "dd/mm/yy" and
// "hh:mm.ss (z)", z the zone octet's raw number. Each number is written as printf's "%02d"
// (the zone as "%d") would write it, whatever its value, without going through printf.

#include "pdu/SmsTime.h"

#include <string>

std::string ShownSmsDate(const sms_time& time);
std::string ShownSmsClock(const sms_time& time);
