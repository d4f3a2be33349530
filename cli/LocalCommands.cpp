// The commands that leave the phone alone: ports, archive and log.

#include "cli/CliSmsReadForm.h"
#include "cli/Commands.h"
#include "cli/PortList.h"
#include "db/archive/ArchiveTables.h"
#include "serial/serialdata.h"
#include "sms/SmsLogFile.h"

#include <algorithm>
#include <cctype>

namespace {

// Case is not regarded, for ASCII letters.
bool ContainsCaseless(std::string_view text, std::string_view part) {
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end() ||
           part.empty();
}

bool RowMentions(const SmsRow& row, std::string_view search) {
    return std::ranges::any_of(
        row, [search](const std::string& cell) { return ContainsCaseless(cell, search); });
}

// Appends the table's rows; false when it did not open (told through the sink).
bool AddArchiveRows(std::optional<std::vector<SmsRow>> rows, std::vector<SmsRow>& all) {
    if (!rows)
        return false;
    all.insert(all.end(), rows->begin(), rows->end());
    return true;
}

} // namespace

int RunPorts(const CliRun& run) {
    Table table{{"Port"}, {}};
    for (const std::string& port : FindSerialPorts())
        table.rows.push_back({port});
    PrintTable(table, run.options.format);
    return kExitDone;
}

int RunArchive(CliRun& run) {
    if (!run.OpenDatabase())
        return run.RefusedStatus();
    // As "SMS View" opens: the received messages; asked for, the sent ones after them.
    const bool in = run.options.archiveIn || !run.options.archiveOut;
    std::vector<SmsRow> rows;
    bool opened = true;
    if (in)
        opened = AddArchiveRows(ReadArchiveIn(&run.Database(), run.sink), rows);
    if (opened && run.options.archiveOut)
        opened = AddArchiveRows(ReadArchiveOut(&run.Database(), run.sink), rows);
    if (!opened)
        return run.RefusedStatus();
    if (run.options.search) {
        const std::string& search = *run.options.search;
        std::erase_if(rows, [&search](const SmsRow& row) { return !RowMentions(row, search); });
    }
    PrintTable(SmsTable(rows), run.options.format);
    return run.Status();
}

int RunLog(CliRun& run) {
    if (!run.OpenDatabase())
        return run.RefusedStatus();
    CliSmsReadForm form(false, false);
    const SmsReadContext context{run.Database(), run.sink, form};
    // The log's lines go into a store of their own: no port is involved.
    serialdata store;
    ReadSmsFromFile(run.options.file, store, context);
    PrintTable(SmsTable(form.Rows()), run.options.format);
    return run.Status();
}
