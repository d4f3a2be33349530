// The commands on stored messages by their storage position: read --all, get, delete and smsc.

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/SmsRecordOutput.h"
#include "db/CDaoPhonebook.h"
#include "db/PgHandles.h"
#include "pdu/AddressCodec.h"
#include "sms/send/ReadSca.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <unordered_map>

namespace {

// The archive's phonebook names, each number looked up once; no names without the database.
class ArchiveNames {
public:
    explicit ArchiveNames(CliRun& run) {
        std::error_code error;
        // A command that has opened the database already (read --archive) shares it.
        const bool there = IsServerUri(run.options.database) ||
                           std::filesystem::exists(run.options.database, error);
        if (!run.Database().IsOpen() && (!there || !run.OpenDatabaseToRead()))
            return;
        phonebook = std::make_unique<CDaoPhonebook>(&run.Database());
        if (!phonebook->Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges))
            phonebook.reset();
    }
    ~ArchiveNames() {
        if (phonebook)
            phonebook->Close();
    }
    ArchiveNames(const ArchiveNames&) = delete;
    ArchiveNames& operator=(const ArchiveNames&) = delete;

    NameLookup Lookup() {
        if (!phonebook)
            return {};
        return [this](const std::string& number) {
            const auto known = names.find(number);
            if (known != names.end())
                return known->second;
            std::string name = phonebook->FindFirst("Numero", number) ? phonebook->Nome : "";
            names.emplace(number, name);
            return name;
        };
    }

private:
    std::unique_ptr<CDaoPhonebook> phonebook;
    std::unordered_map<std::string, std::string> names;
};

SmsMemory ChosenMemory(const CliRun& run) {
    return run.options.phoneMemory ? SmsMemory::Phone : SmsMemory::Sim;
}

// Opens the port and selects the memory; the status to end with when that failed.
std::optional<int> OpenMemory(CliRun& run) {
    if (!run.OpenPort())
        return run.RefusedStatus();
    const SmsMemory memory = ChosenMemory(run);
    const Reply selected = SelectSmsMemory(run.session, memory);
    if (!selected.Ok())
        return run.Refuse("AT+CPMS=\"" + std::string(SmsMemoryName(memory)) + "\"",
                          ReplyFailureText(selected));
    return std::nullopt;
}

// Prints the records; a message that did not decode is printed with its PDU and warned of.
int PrintRecords(CliRun& run, const std::vector<SmsRecord>& records) {
    SmsRecordPrinter printer(run.options.format, !run.options.noHeader);
    for (const SmsRecord& record : records) {
        if (!record.error.empty())
            std::fprintf(stderr, "telvane-cli: warning: message %s %d: %s\n", record.memory.c_str(),
                         record.index, record.error.c_str());
        printer.Write(record);
    }
    if (!printer.Finish()) {
        std::fprintf(stderr, "telvane-cli: the listing could not be written in full\n");
        return kExitRefused;
    }
    return Interrupted().load() ? kExitInterrupted : kExitDone;
}

std::vector<SmsRecord> Decode(CliRun& run, const std::vector<StoredSms>& stored) {
    ArchiveNames names(run);
    const NameLookup lookup = names.Lookup();
    std::vector<SmsRecord> records;
    records.reserve(stored.size());
    for (const StoredSms& sms : stored)
        records.push_back(DecodeStoredSms(sms, ChosenMemory(run), lookup));
    return run.options.join ? JoinLongMessages(std::move(records)) : records;
}

int ToPosition(const std::string& word) {
    return std::stoi(word); // checked as a number by the option parser
}

} // namespace

int PrintStoredMessages(CliRun& run, const std::vector<StoredSms>& stored) {
    return PrintRecords(run, Decode(run, stored));
}

int RunReadAll(CliRun& run) {
    if (const std::optional<int> failed = OpenMemory(run))
        return *failed;
    StoredSmsList list;
    const Reply reply = ListStoredSms(run.session, list);
    if (!reply.Ok())
        return run.Refuse("AT+CMGL=4", ReplyFailureText(reply));
    if (list.malformed > 0)
        std::fprintf(stderr, "telvane-cli: warning: %d lines of the list were not messages\n",
                     list.malformed);
    return PrintRecords(run, Decode(run, list.messages));
}

int RunGet(CliRun& run) {
    if (const std::optional<int> failed = OpenMemory(run))
        return *failed;
    const int index = ToPosition(run.options.arguments.front());
    std::optional<StoredSms> found;
    const std::string command = "AT+CMGR=" + std::to_string(index);
    const Reply reply = ReadStoredSms(run.session, index, found);
    if (!reply.Ok())
        return run.Refuse(command, ReplyFailureText(reply));
    if (!found)
        return run.Refuse(command, "no message at position " + std::to_string(index));
    return PrintRecords(run, Decode(run, {*found}));
}

int RunDelete(CliRun& run) {
    const std::string memory(SmsMemoryName(ChosenMemory(run)));
    if (run.options.all && !run.options.yes) {
        std::fprintf(stderr, "Delete every message of %s? [y/N] ", memory.c_str());
        std::string answer;
        if (!std::getline(std::cin, answer) ||
            (answer != "y" && answer != "Y" && answer != "yes")) {
            std::fprintf(stderr, "telvane-cli: nothing deleted\n");
            return kExitRefused;
        }
    }
    if (const std::optional<int> failed = OpenMemory(run))
        return *failed;
    if (run.options.all) {
        const Reply reply = DeleteAllStoredSms(run.session);
        return reply.Ok() ? kExitDone : run.Refuse("AT+CMGD=1,4", ReplyFailureText(reply));
    }
    for (const std::string& word : run.options.arguments) {
        if (Interrupted().load())
            return kExitInterrupted;
        const int index = ToPosition(word);
        const Reply reply = DeleteStoredSms(run.session, index);
        if (!reply.Ok())
            return run.Refuse("AT+CMGD=" + std::to_string(index), ReplyFailureText(reply));
        std::fprintf(stderr, "Deleted %s %d\n", memory.c_str(), index);
    }
    return kExitDone;
}

int RunSmsc(CliRun& run) {
    if (!run.OpenPort())
        return run.RefusedStatus();
    if (!run.options.arguments.empty()) {
        std::string why;
        const std::optional<std::string> number =
            clean_number(run.options.arguments.front(), kMaxScaDigits, &why);
        if (!number) {
            std::fprintf(stderr, "telvane-cli: service centre: %s\n", why.c_str());
            return kExitUsage;
        }
        const std::string type = number->starts_with('+') ? "145" : "129";
        const std::string command = "AT+CSCA=\"" + *number + "\"," + type;
        const Reply reply = run.session.Exchange(command);
        return reply.Ok() ? kExitDone : run.Refuse(command, ReplyFailureText(reply));
    }
    const Reply reply = run.session.Exchange("AT+CSCA?");
    if (!reply.Ok())
        return run.Refuse("AT+CSCA?", ReplyFailureText(reply));
    const std::optional<std::string> number = ParseCscaAnswer(reply.lines);
    if (!number)
        return run.Refuse("AT+CSCA?", "the phone named no service centre");
    Table table{{"smsc"}, {{*number}}};
    if (run.options.noHeader)
        table.headings.clear();
    PrintTable(table, run.options.format);
    return kExitDone;
}
