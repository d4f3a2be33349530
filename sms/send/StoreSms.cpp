#include "sms/send/StoreSms.h"

#include "serial/AtFields.h"

namespace {

// The message's status in memory: stored unsent.
constexpr int kStoredUnsent = 2;

std::string CmgwCommand(const SubmitPdu& submit) {
    return "AT+CMGW=" + std::to_string(submit.length) + "," + std::to_string(kStoredUnsent);
}

// " in SM at 5, 6" for the indexes given.
std::string Where(const StoreReport& report, std::size_t count) {
    std::string where = report.memory.empty() ? "" : " in " + report.memory;
    where += " at";
    for (std::size_t i = 0; i < count && i < report.indexes.size(); ++i) {
        where += (i == 0 ? " " : ", ");
        where += report.indexes[i] == kNoReference ? std::string("?")
                                                   : std::to_string(report.indexes[i]);
    }
    return where;
}

std::string SelectReadMemory(const std::string& memory) {
    return "AT+CPMS=\"" + memory + "\"";
}

// Erases the parts of a message stored only in part: "AT+CMGD" works in <mem1>, so that is made
// the memory they went to for the while. True when each went.
bool EraseStoredParts(CModemSession& session, const StorageMemories& memories,
                      const std::vector<int>& indexes) {
    const bool switched = memories.read != memories.write;
    if (switched && !session.Exchange(SelectReadMemory(memories.write)).Ok())
        return false;
    bool erased = true;
    for (int index : indexes)
        erased = index != kNoReference &&
                 session.Exchange("AT+CMGD=" + std::to_string(index)).Ok() && erased;
    if (switched)
        session.Exchange(SelectReadMemory(memories.read));
    return erased;
}

} // namespace

std::optional<int> StoredIndex(const Reply& reply) {
    return FirstNumberAnswered(reply, "+CMGW:");
}

StorageMemories ChosenMemories(const Reply& reply) {
    constexpr std::string_view kCpms = "+CPMS:";
    const std::string* line = reply.Ok() ? reply.Find(kCpms) : nullptr;
    if (line == nullptr)
        return {};
    AtFields fields(*line);
    fields.Begin(kCpms);
    StorageMemories memories;
    memories.read = fields.NextString().value_or("");
    if (memories.read.empty() || !fields.NextNumber() || !fields.NextNumber())
        return {};
    memories.write = fields.NextString().value_or("");
    return memories;
}

StoreReport StoreSubmitParts(CModemSession& session, const SubmitParts& parts, IMessageSink& sink) {
    StoreReport report;
    report.parts = static_cast<int>(parts.size());
    const StorageMemories memories = ChosenMemories(session.Exchange("AT+CPMS?"));
    report.memory = memories.write;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        Reply reply;
        report.outcome = PduAfterPrompt(session, CmgwCommand(parts[i]), parts[i], sink, reply);
        if (report.outcome != SendOutcome::SentOk) {
            report.failedPart = static_cast<int>(i) + 1;
            break;
        }
        report.indexes.push_back(StoredIndex(reply).value_or(kNoReference));
    }
    if (report.failedPart != 0 && !report.indexes.empty() && !memories.write.empty())
        report.partsErased = EraseStoredParts(session, memories, report.indexes);
    return report;
}

std::string StoreNote(const StoreReport& report) {
    if (report.failedPart == 0)
        return "Stored" + Where(report, report.indexes.size());
    std::string note = report.parts > 1 ? "Part " + std::to_string(report.failedPart) + " of " +
                                              std::to_string(report.parts) + " not stored: "
                                        : std::string("Not stored: ");
    note += SendOutcomeText(report.outcome);
    if (!report.indexes.empty()) {
        const std::size_t stored = report.indexes.size();
        note += "; part" + std::string(stored > 1 ? "s 1-" + std::to_string(stored) : " 1");
        note += report.partsErased ? " erased again" : " stored" + Where(report, stored);
    }
    return note;
}
