#pragma once
// The archive viewer's reads of the two message tables, without the dialog: each table's rows in
// table order, each with the name its number has in the phonebook. Shared by "SMS View" and the
// command line. Failures are told through the sink; nothing comes back then.

#include "core/MessageSink.h"
#include "sms/SmsList.h"

#include <optional>
#include <vector>

class CDaoDatabase;

// SMS_In; "Cannot Open dbSMS_In" when the table does not open.
std::optional<std::vector<SmsRow>> ReadArchiveIn(CDaoDatabase* database, IMessageSink& sink);
// SMS_Out; "Cannot Open dbSMS_Out" when the table does not open.
std::optional<std::vector<SmsRow>> ReadArchiveOut(CDaoDatabase* database, IMessageSink& sink);
