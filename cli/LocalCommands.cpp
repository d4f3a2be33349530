// The commands that leave the phone alone: ports, archive and log.

#include "cli/CliSmsReadForm.h"
#include "cli/Commands.h"
#include "archive/ArchiveSearch.h"
#include "archive/ArchiveTables.h"
#include "serial/SerialPorts.h"
#include "serial/serialdata.h"
#include "sms/SmsLogFile.h"

namespace {

// The rows that "SMS View"'s search would show for `search`.
std::vector<SmsRow> Matching(const std::vector<SmsRow>& rows, std::string_view search) {
    ArchiveSearch index;
    index.Index(rows);
    std::vector<SmsRow> shown;
    for (const int row : index.Matching(search))
        shown.push_back(rows[static_cast<std::size_t>(row)]);
    return shown;
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
    Table table{{"Port", "Device", "Description"}, {}};
    for (const SerialPortInfo& port : FindSerialPorts(SystemRoot()))
        table.rows.push_back({port.path, port.device, port.Description()});
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
    if (run.options.search)
        rows = Matching(rows, *run.options.search);
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
