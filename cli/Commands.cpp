#include "cli/Commands.h"

#include "phonebook/PhonebookColumns.h"

int RunCommand(CliRun& run) {
    switch (run.options.command) {
    case CliCommand::Ports:
        return RunPorts(run);
    case CliCommand::Counts:
        return RunCounts(run);
    case CliCommand::Read:
        return RunRead(run);
    case CliCommand::Send:
        return RunSend(run);
    case CliCommand::Phonebook:
        return RunPhonebook(run);
    case CliCommand::Archive:
        return RunArchive(run);
    case CliCommand::Log:
        return RunLog(run);
    }
    return kExitUsage;
}

Table SmsTable(const std::vector<SmsRow>& rows) {
    Table table;
    for (const SmsColumn& column : SmsListColumns())
        table.headings.emplace_back(column.heading);
    for (const SmsRow& row : rows)
        table.rows.emplace_back(row.begin(), row.end());
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
