#pragma once
// The archive viewer's reads of the two message tables, without the dialog: each table's rows in
// table order, each with the name its number has in the phonebook. Shared by "SMS View" and the
// command line. Failures are told through the sink; nothing comes back then.

#include "archive/ArchiveRows.h"
#include "archive/ArchiveSearch.h"
#include "archive/PhonebookNames.h"
#include "core/MessageSink.h"
#include "sms/SmsList.h"

#include <functional>
#include <optional>
#include <vector>

class CDaoDatabase;

// A walk the engine broke off (a damaged file) is told once: the list is then not the table.
void ShowReadFailure(IMessageSink& sink, const std::string& error, std::string_view table);
// "Cannot Open dbSMS_In" or "Cannot Open dbSMS_Out".
void ShowCannotOpen(IMessageSink& sink, ArchiveTable table);

// The phonebook's names; "Cannot Open Phonebook" (and no names) when it does not open.
PhonebookNames ReadPhonebookNames(CDaoDatabase* database, IMessageSink& sink);

// Hands each row of the table, as it is read, to `each` (the row is reused: copy what is kept).
// False, "Cannot Open dbSMS_In" or "Cannot Open dbSMS_Out" told, when the table does not open;
// a walk the engine broke off is told once and ends there.
// With a filter, only the rows it holds are made and handed on.
bool WalkArchive(CDaoDatabase* database, IMessageSink& sink, ArchiveTable table,
                 const std::function<void(const SmsRow&)>& each,
                 ArchiveRowFilter* filter = nullptr);

// SMS_In; "Cannot Open dbSMS_In" when the table does not open.
std::optional<std::vector<SmsRow>> ReadArchiveIn(CDaoDatabase* database, IMessageSink& sink);
// SMS_Out; "Cannot Open dbSMS_Out" when the table does not open.
std::optional<std::vector<SmsRow>> ReadArchiveOut(CDaoDatabase* database, IMessageSink& sink);
