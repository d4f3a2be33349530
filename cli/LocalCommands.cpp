// The commands that leave the phone alone: ports, archive and log.

#include "archive/ArchiveSearch.h"
#include "archive/ArchiveTables.h"
#include "cli/CliSmsReadForm.h"
#include "cli/Commands.h"
#include "cli/RowPrinterStream.h"
#include "serial/SerialPorts.h"
#include "serial/serialdata.h"
#include "sms/SmsLogFile.h"
#include "sms/StreamingSmsForm.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>

namespace {

// The rows go out as they are read, in the first `columns` columns of the SMS list; the nine
// columns and, for rows that may be parts of a long message, "PART" only when one is.
std::vector<std::string> SmsHeadings(int columns) {
    std::vector<std::string> headings;
    for (int column = 0; column < columns; ++column)
        headings.emplace_back(SmsListColumns()[static_cast<std::size_t>(column)].heading);
    return headings;
}

RowStream SmsRowStream(const CliRun& run, int columns) {
    return RowStream(SmsHeadings(columns), run.options.format, kSmsColumnCount);
}

// A listing cut short by the output is a failure of the run, told once.
int Finished(RowStream& stream, CliRun& run, int status) {
    if (stream.Finish())
        return status;
    std::fprintf(stderr, "telvane-cli: the listing could not be written in full\n");
    return run.RefusedStatus() == kExitDone ? kExitRefused : run.RefusedStatus();
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
    if (!run.OpenDatabaseToRead())
        return run.RefusedStatus();
    // As "SMS View" opens: the received messages; asked for, the sent ones after them.
    const bool in = run.options.archiveIn || !run.options.archiveOut;
    RowStream stream = SmsRowStream(run, kSmsColumnCount);
    ArchiveRowFilter filter(run.options.search.value_or(std::string()));
    const auto each = [&stream](const SmsRow& row) {
        stream.Write(std::span(row).first(kSmsColumnCount));
    };
    bool opened = true;
    if (in)
        opened = WalkArchive(&run.Database(), run.sink, ArchiveTable::In, each, &filter);
    if (opened && run.options.archiveOut)
        opened = WalkArchive(&run.Database(), run.sink, ArchiveTable::Out, each, &filter);
    if (!opened)
        return run.RefusedStatus();
    return Finished(stream, run, run.Status());
}

int RunLog(CliRun& run) {
    // A folder holds no log: told, not read as an empty one.
    std::error_code error;
    const std::string& path = run.options.file;
    if (std::filesystem::is_directory(path, error)) {
        std::fprintf(stderr, "telvane-cli: %s: is a folder, not a log file\n", path.c_str());
        return kExitRefused;
    }
    if (!run.OpenDatabaseToRead())
        return run.RefusedStatus();
    CliSmsReadForm form(false, false);
    // A log without a PDU that could be a part of a long message has no part column: its rows
    // then go out as they come, with no spool to settle the columns at the end.
    std::optional<RowStream> stream;
    const auto open = [&stream, &run](bool partsPossible) {
        stream.emplace(SmsHeadings(partsPossible ? kSmsListColumnCount : kSmsColumnCount),
                       run.options.format, kSmsColumnCount);
    };
    StreamingSmsForm listing(form, [&stream](const SmsRow& row) { stream->Write(row); });
    const SmsReadContext context{run.Database(), run.sink, listing};
    // The log's lines go into a store of their own: no port is involved.
    serialdata store;
    StreamSmsFromFile(run.options.file, store, context, open);
    if (!stream)
        open(true);
    return Finished(*stream, run, run.Status());
}
