// telvane-cli watch: the session stays open, the phone is asked to tell of new messages and
// status reports, and each is printed as it comes, one line each, until Ctrl+C.

#include "cli/CliSmsReadForm.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "serial/NewMessageIndications.h"
#include "sms/DeliveryReports.h"
#include "sms/NewMessageListener.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kInterruptPoll{50};

// The SMS list's ten columns, a line a row as each comes: aligned text under one heading line
// (the cells padded to the headings' widths at least), CSV under its header line, or a JSON object
// a line.
class WatchPrinter {
public:
    explicit WatchPrinter(OutputFormat outputFormat) : format(outputFormat) {
        for (const SmsColumn& column : SmsListColumns())
            headings.emplace_back(column.heading);
        widths.assign(headings.size(), 0);
        Widen(widths, headings);
        std::string line;
        if (format == OutputFormat::Text)
            AppendTextLine(line, headings, widths);
        else if (format == OutputFormat::Csv)
            AppendCsvLine(line, headings);
        Print(line);
    }

    // Called from the listener's threads.
    void Row(const SmsRow& row) {
        const std::vector<std::string> cells(row.begin(), row.begin() + kSmsListColumnCount);
        std::string line;
        switch (format) {
        case OutputFormat::Text: {
            // A cell wider than its heading pushes the rest of its own line only.
            std::vector<std::size_t> own = widths;
            Widen(own, cells);
            AppendTextLine(line, cells, own);
            break;
        }
        case OutputFormat::Csv:
            AppendCsvLine(line, cells);
            break;
        case OutputFormat::Json:
            AppendJsonLine(line, headings, cells);
            break;
        }
        Print(line);
    }

private:
    void Print(const std::string& line) {
        const std::lock_guard guard(mutex);
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
    }

    OutputFormat format;
    std::vector<std::string> headings;
    std::vector<std::size_t> widths;
    std::mutex mutex;
};

// A report as a row of its own: TYPE "REPORT", the report's text in TEXT.
SmsRow ReportRow(const std::string& text) {
    SmsRow row;
    row[kSmsTypeColumn] = "REPORT";
    row[kSmsTextColumn] = text;
    return row;
}

} // namespace

int RunWatch(CliRun& run) {
    if (!run.OpenDatabase() || !run.OpenPort())
        return run.RefusedStatus();
    IndicationSetup setup;
    {
        const PortLease lease = run.session.TakePort();
        setup = SetUpIndications(run.session);
    }
    if (!setup.set) {
        std::fprintf(stderr, "%s\n", setup.note.c_str());
        return run.RefusedStatus();
    }
    CliSmsReadForm form(false, run.options.move);
    const SmsReadContext context{run.Database(), run.sink, form};
    WatchPrinter printer(run.options.format);
    NewMessageHooks hooks;
    hooks.listed = [&printer](const SmsRow& row) { printer.Row(row); };
    hooks.report = [&printer, &run](const std::string& pdu) {
        printer.Row(ReportRow(
            HandleStatusReportPdu(run.Database(), pdu).value_or(std::string(kReportReceivedText))));
    };
    hooks.archive = [&run] { return run.options.archive; };
    hooks.move = [&run] { return run.options.move; };
    hooks.note = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
    CNewMessageListener listener(run.session, context, hooks);
    listener.SetAcknowledge(setup.acknowledge);
    listener.Start();
    while (!Interrupted().load() && !run.session.PortLost())
        std::this_thread::sleep_for(kInterruptPoll);
    listener.Stop();
    // Ctrl+C is how a watch ends: a clean end unless something failed on the way.
    if (run.session.PortLost() || run.sink.Failures() > 0)
        return kExitRefused;
    return kExitDone;
}
