// "phonebook write|delete|export|import": one position written or erased with AT+CPBW, the
// phonebook as vCards on standard output, and a vCard file into the SIM, the phone or the
// database.

#include "cli/CliPhonebookForm.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "pdu/AddressCodec.h"
#include "phonebook/CPhonebookManager.h"
#include "phonebook/PhonebookAnswers.h"
#include "phonebook/PhonebookDatabase.h"
#include "phonebook/PhonebookWrite.h"
#include "phonebook/Vcard.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

PhonebookMemory ChosenMemory(const CliRun& run) {
    return run.options.phoneMemory ? PhonebookMemory::Phone : PhonebookMemory::Sim;
}

// The report as the run's end: each failed position named, with the phone's answer.
int Reported(CliRun& run, const PhonebookWriteReport& report, std::string_view done) {
    if (!report.memorySelected || !report.failedPositions.empty()) {
        std::string positions;
        for (const int position : report.failedPositions)
            positions += (positions.empty() ? "" : ", ") + std::to_string(position);
        const std::string cause =
            report.failedPositions.empty()
                ? report.firstFailure
                : "not written: position " + positions + " (" + report.firstFailure + ")";
        return run.Refuse("phonebook", cause);
    }
    std::fprintf(stderr, "%d %.*s\n", report.written, static_cast<int>(done.size()), done.data());
    return Interrupted().load() ? kExitInterrupted : kExitDone;
}

// A number the phone can store, "+" first for an international one; nothing, with the reason
// told, for one it cannot.
std::optional<std::string> CheckedNumber(const std::string& typed) {
    std::string why;
    std::optional<std::string> number = clean_number(typed, kMaxNumberDigits, &why);
    if (!number)
        std::fprintf(stderr, "telvane-cli: number %s: %s\n", typed.c_str(), why.c_str());
    return number;
}

bool CheckedName(const std::string& name) {
    const bool fits = std::ranges::none_of(
        name, [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20U; });
    if (!fits)
        std::fprintf(stderr, "telvane-cli: a name holds no '\"' and no control characters\n");
    return fits;
}

// The phonebook of the chosen memory, read as the "phonebook" command reads it.
std::vector<PhonebookRow> ReadPhonebook(CliRun& run, PhonebookMemory memory) {
    CliPhonebookForm form(memory);
    CPhonebookManager manager(run.session, run.Database(), form, run.sink);
    manager.OnReadPhonebook();
    manager.JoinWorker();
    return PhonebookListRows(manager.Entries());
}

int RunWrite(CliRun& run) {
    const std::vector<std::string>& words = run.options.arguments;
    const std::optional<std::string> number = CheckedNumber(words[1]);
    if (!number || !CheckedName(words[2]))
        return kExitUsage;
    if (!run.OpenPort())
        return run.RefusedStatus();
    const PhonebookEntry entry{std::stoi(words[0]), *number, words[2]};
    return Reported(run, WritePhonebookEntries(run.session, ChosenMemory(run), {entry}),
                    "entry written");
}

int RunErase(CliRun& run) {
    if (!run.OpenPort())
        return run.RefusedStatus();
    return Reported(
        run,
        ErasePhonebookEntry(run.session, ChosenMemory(run), std::stoi(run.options.arguments[0])),
        "entry deleted");
}

int RunExport(CliRun& run) {
    if (!run.OpenPort())
        return run.RefusedStatus();
    const std::vector<PhonebookRow> rows = ReadPhonebook(run, ChosenMemory(run));
    if (run.Status() != kExitDone)
        return run.RefusedStatus();
    const std::string cards = WriteVcards(rows);
    std::fwrite(cards.data(), 1, cards.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitDone : kExitRefused;
}

std::optional<std::vector<PhonebookRow>> ReadCardFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    if (!in || std::filesystem::is_directory(path, error)) {
        std::fprintf(stderr, "telvane-cli: %s: cannot be read\n", path.c_str());
        return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    VcardReadResult cards = ReadVcards(text.str());
    if (cards.error) {
        std::fprintf(stderr, "telvane-cli: %s:%d: %s\n", path.c_str(), cards.error->line,
                     cards.error->message.c_str());
        return std::nullopt;
    }
    if (cards.skippedCards > 0)
        std::fprintf(stderr, "%d cards without a telephone number skipped\n", cards.skippedCards);
    return std::move(cards.rows);
}

// The cards go to the positions the phonebook leaves free, lowest first.
std::vector<PhonebookEntry> PlaceCards(const std::vector<PhonebookRow>& cards,
                                       const std::vector<PhonebookRow>& present) {
    std::set<int> taken;
    for (const PhonebookRow& row : present)
        taken.insert(std::atoi(row[kPosColumn].c_str()));
    std::vector<PhonebookEntry> entries;
    int position = 1;
    for (const PhonebookRow& card : cards) {
        while (taken.contains(position))
            ++position;
        entries.push_back({position++, card[kNumberColumn], card[kNameColumn]});
    }
    return entries;
}

int RunImport(CliRun& run) {
    const std::optional<std::vector<PhonebookRow>> cards = ReadCardFile(run.options.arguments[0]);
    if (!cards)
        return kExitRefused;
    if (run.options.databaseMemory) {
        if (!run.OpenDatabase())
            return run.RefusedStatus();
        CopyPhonebookToDatabase(run.Database(), *cards, run.sink);
        return run.Status();
    }
    if (!run.OpenPort())
        return run.RefusedStatus();
    const PhonebookMemory memory = ChosenMemory(run);
    const std::vector<PhonebookRow> present = ReadPhonebook(run, memory);
    if (run.Status() != kExitDone)
        return run.RefusedStatus();
    return Reported(run, WritePhonebookEntries(run.session, memory, PlaceCards(*cards, present)),
                    "entries written");
}

} // namespace

int RunPhonebookEdit(CliRun& run) {
    switch (run.options.phonebookAction) {
    case PhonebookAction::Write:
        return RunWrite(run);
    case PhonebookAction::Delete:
        return RunErase(run);
    case PhonebookAction::Export:
        return RunExport(run);
    case PhonebookAction::Import:
        return RunImport(run);
    case PhonebookAction::List:
        break;
    }
    return RunPhonebook(run);
}
