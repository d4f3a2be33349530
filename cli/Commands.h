#pragma once
// The commands of telvane-cli. Each runs the operation the window runs for it, through the same
// code, with the command line's forms and boxes, prints its rows and gives the exit status.

#include "cli/CliRun.h"
#include "phonebook/IPhonebookForm.h"
#include "serial/NetworkStatus.h"
#include "sms/SmsList.h"
#include "sms/StoredSms.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

int RunCommand(CliRun& run);

int RunPorts(const CliRun& run);
int RunCounts(CliRun& run);
int RunRead(CliRun& run);
int RunReadAll(CliRun& run);
// Messages read by their positions, with the keys of read --all (a warning for each that does
// not decode); kExitDone, kExitInterrupted, or kExitRefused when the output took not all.
int PrintStoredMessages(CliRun& run, const std::vector<StoredSms>& stored);
int RunGet(CliRun& run);
int RunDelete(CliRun& run);
int RunSmsc(CliRun& run);
int RunInfo(CliRun& run);
int RunUssd(CliRun& run);
int RunVersion();
// phonebook write, delete, export and import; the list as RunPhonebook.
int RunPhonebookEdit(CliRun& run);
int RunPhonebook(CliRun& run);
int RunSend(CliRun& run);
int RunArchive(CliRun& run);
int RunLog(CliRun& run);
int RunWatch(CliRun& run);
int RunQueue(CliRun& run);
int RunServe(CliRun& run);
int RunDbInit(const CliRun& run);

// The SMS list's rows under its column headings.
Table SmsTable(const std::vector<SmsRow>& rows);
Table PhonebookTable(const std::vector<PhonebookRow>& rows);

// The answer of a USSD code: +CUSD's <m> (0 done, 1 the network asks more, 2 ended by it, 4 not
// supported, 5 timed out), the coding its <dcs> names and the text, decoded.
struct UssdAnswer {
    int status = -1;
    std::string coding;
    std::string text;
};
UssdAnswer DecodeUssdAnswer(std::string_view line);
