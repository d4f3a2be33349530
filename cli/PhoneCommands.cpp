// The commands that read from the phone: counts, read and phonebook.

#include "cli/CliPhonebookForm.h"
#include "cli/CliSmsReadForm.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "phonebook/CPhonebookManager.h"
#include "phonebook/PhonebookDatabase.h"
#include "sms/CSmsReader.h"
#include "sms/CopySmsToDatabase.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

// A memory whose count was not read shows an empty cell.
std::string CountText(const std::optional<int>& count) {
    return count ? std::to_string(*count) : std::string();
}

// "Copy SMS to database" on the rows listed, and the count copied on standard error.
void ArchiveRows(CliRun& run, const SmsReadContext& context) {
    const int failuresBefore = run.sink.Failures();
    OnCopySmsToDatabase(context);
    const int rows = context.form.SmsRowCount();
    if (rows > 0 && run.sink.Failures() == failuresBefore)
        std::fprintf(stderr, "%d SMS copied to database\n", rows);
}

// The window's walk ends below position 150: messages stored beyond it are said to be there.
void TellWalkShortfall(const SmsCounts& counts, bool phoneMemory, std::ptrdiff_t listed) {
    const std::optional<int> stored = phoneMemory ? counts.phone : counts.sim;
    if (Interrupted().load() || !stored || listed >= *stored)
        return;
    std::fprintf(stderr,
                 "telvane-cli: %td of the %d messages stored were listed: this read stops below "
                 "position %d; read --all lists every position\n",
                 listed, *stored, kSmsIndexLimit);
}

} // namespace

int RunCounts(CliRun& run) {
    if (!run.OpenPort())
        return run.RefusedStatus();
    CliSmsReadForm form(false, false);
    const SmsReadContext context{run.Database(), run.sink, form};
    CSmsReader reader(run.session, context);
    if (reader.StartReadSmsCount())
        reader.Join();
    const SmsCounts counts = reader.Counts();
    Table table{{"Memory", "Count"}, {}};
    table.rows.push_back({"SM", CountText(counts.sim)});
    table.rows.push_back({"ME", CountText(counts.phone)});
    PrintTable(table, run.options.format);
    return run.Status();
}

int RunRead(CliRun& run) {
    // The rows name their senders from the database's phonebook: without it nothing is listed.
    const bool opened = run.options.archive ? run.OpenDatabase() : run.OpenDatabaseToRead();
    if (!opened || !run.OpenPort())
        return run.RefusedStatus();
    CliSmsReadForm form(run.options.phoneMemory, run.options.move);
    const SmsReadContext context{run.Database(), run.sink, form};
    CSmsReader reader(run.session, context);
    if (reader.OnReadSmsFromPhone())
        reader.Join();
    const std::vector<SmsRow> rows = form.Rows();
    // Text keeps the window's columns; the machine formats have the keys of read --all.
    int printed = kExitDone;
    if (run.options.format == OutputFormat::Text)
        PrintTable(SmsTable(rows), run.options.format);
    else
        printed = PrintStoredMessages(run, form.StoredMessages());
    TellWalkShortfall(reader.Counts(), run.options.phoneMemory, std::ssize(rows));
    // Also after Ctrl+C: with --move, what was listed has already left the phone.
    if (run.options.archive)
        ArchiveRows(run, context);
    return printed == kExitRefused ? printed : run.Status();
}

int RunPhonebook(CliRun& run) {
    if ((run.options.store && !run.OpenDatabase()) || !run.OpenPort())
        return run.RefusedStatus();
    CliPhonebookForm form(run.options.phoneMemory ? PhonebookMemory::Phone : PhonebookMemory::Sim);
    CPhonebookManager manager(run.session, run.Database(), form, run.sink);
    manager.OnReadPhonebook();
    manager.JoinWorker();
    const std::vector<PhonebookRow> rows = PhonebookListRows(manager.Entries());
    PrintTable(PhonebookTable(rows), run.options.format);
    // A read stopped half-way would store half a phonebook.
    if (run.options.store && !Interrupted().load())
        CopyPhonebookToDatabase(run.Database(), rows, run.sink);
    return run.Status();
}
