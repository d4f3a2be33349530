#pragma once
// The commands of telvane-cli. Each runs the operation the window runs for it, through the same
// code, with the command line's forms and boxes, prints its rows and gives the exit status.

#include "cli/CliRun.h"
#include "phonebook/IPhonebookForm.h"
#include "sms/SmsList.h"

int RunCommand(CliRun& run);

int RunPorts(const CliRun& run);
int RunCounts(CliRun& run);
int RunRead(CliRun& run);
int RunPhonebook(CliRun& run);
int RunSend(CliRun& run);
int RunArchive(CliRun& run);
int RunLog(CliRun& run);
int RunWatch(CliRun& run);

// The SMS list's rows under its column headings.
Table SmsTable(const std::vector<SmsRow>& rows);
Table PhonebookTable(const std::vector<PhonebookRow>& rows);
