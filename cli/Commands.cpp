#include "cli/Commands.h"

#include "phonebook/PhonebookColumns.h"

#include <algorithm>
#include <cstddef>

int RunCommand(CliRun& run) {
    switch (run.options.command) {
    case CliCommand::Ports:
        return RunPorts(run);
    case CliCommand::Counts:
        return RunCounts(run);
    case CliCommand::Read:
        return run.options.all ? RunReadAll(run) : RunRead(run);
    case CliCommand::Get:
        return RunGet(run);
    case CliCommand::Delete:
        return RunDelete(run);
    case CliCommand::Send:
        return RunSend(run);
    case CliCommand::Smsc:
        return RunSmsc(run);
    case CliCommand::Phonebook:
        return RunPhonebookEdit(run);
    case CliCommand::Info:
        return RunInfo(run);
    case CliCommand::Ussd:
        return RunUssd(run);
    case CliCommand::Version:
        return RunVersion();
    case CliCommand::Archive:
        return RunArchive(run);
    case CliCommand::Log:
        return RunLog(run);
    case CliCommand::Watch:
        return RunWatch(run);
    case CliCommand::Queue:
        return RunQueue(run);
    case CliCommand::Serve:
        return RunServe(run);
    case CliCommand::Db:
        return RunDbInit(run);
    }
    return kExitUsage;
}

Table SmsTable(const std::vector<SmsRow>& rows) {
    // The nine columns of the list, and "PART" only when some row is part of a long message.
    const bool parts =
        std::ranges::any_of(rows, [](const SmsRow& row) { return !row[kSmsPartColumn].empty(); });
    const auto columns = static_cast<std::size_t>(parts ? kSmsListColumnCount : kSmsColumnCount);
    Table table;
    for (std::size_t column = 0; column < columns; ++column)
        table.headings.emplace_back(SmsListColumns()[column].heading);
    for (const SmsRow& row : rows)
        table.rows.emplace_back(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(columns));
    return table;
}

Table PhonebookTable(const std::vector<PhonebookRow>& rows) {
    Table table;
    for (const PhonebookColumn& column : kPhonebookColumns)
        table.headings.emplace_back(column.heading);
    for (const PhonebookRow& row : rows)
        table.rows.emplace_back(row.begin(), row.end());
    return table;
}
