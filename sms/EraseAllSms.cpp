#include "sms/EraseAllSms.h"

#include "serial/AtFields.h"
#include "sms/CSmsReader.h"

#include <algorithm>

namespace {

constexpr int kDeleteAllFlag = 4;

// The numbers of a bracketed list, "(1,4,9)" or "(0-4)", ranges spelled out; nothing when the
// field is not a list.
std::optional<std::vector<int>> NextNumberList(AtFields& fields) {
    if (!fields.OpenList())
        return std::nullopt;
    std::vector<int> numbers;
    while (const auto range = fields.NextRange()) {
        for (int n = range->lower; n <= range->upper && std::ssize(numbers) < kSmsIndexLimit; ++n)
            numbers.push_back(n);
    }
    if (!fields.CloseList())
        return std::nullopt;
    return numbers;
}

bool EraseOne(CModemSession& session, int index) {
    return session.Exchange("AT+CMGD=" + std::to_string(index)).Ok();
}

std::vector<int> EveryPosition(int capacity) {
    std::vector<int> positions;
    for (int index = 1; index <= std::min(capacity, kSmsIndexLimit - 1); ++index)
        positions.push_back(index);
    return positions;
}

} // namespace

DeleteOffer ParseDeleteOffer(const Reply& reply) {
    DeleteOffer offer;
    const std::string* line = reply.Ok() ? reply.Find("+CMGD:") : nullptr;
    if (line == nullptr)
        return offer;
    AtFields fields(*line);
    fields.Begin("+CMGD:");
    offer.used = NextNumberList(fields);
    if (const auto flags = NextNumberList(fields))
        offer.deleteAll = std::ranges::find(*flags, kDeleteAllFlag) != flags->end();
    return offer;
}

EraseOutcome EraseStoredSms(CModemSession& session, ISmsReadForm& form, int capacity,
                            const std::function<bool()>& stopAsked) {
    EraseOutcome outcome;
    const DeleteOffer offer = ParseDeleteOffer(session.Exchange("AT+CMGD=?"));
    if (offer.deleteAll && session.Exchange("AT+CMGD=1," + std::to_string(kDeleteAllFlag)).Ok()) {
        outcome.allAtOnce = true;
        return outcome;
    }
    const std::vector<int> positions = offer.used ? *offer.used : EveryPosition(capacity);
    form.SetProgressPos(0);
    form.SetProgressRange(1, static_cast<int>(positions.size()));
    int done = 0;
    for (int index : positions) {
        if (stopAsked()) {
            outcome.stopped = true;
            break;
        }
        // An empty slot of a blind walk may be refused: only a listed one counts as refused.
        if (!EraseOne(session, index) && offer.used)
            outcome.refused.push_back(index);
        form.SetProgressPos(++done);
    }
    return outcome;
}

std::string MemoryName(SmsMemory memory) {
    return memory == SmsMemory::Phone ? "ME (ME)" : "SIM (SM)";
}

std::string EraseQuestion(SmsMemory memory, int count) {
    return "Erase all " + std::to_string(count) + " SMS stored in " + MemoryName(memory) +
           " ?\nThey cannot be recovered.";
}

std::string EraseNote(SmsMemory memory, int before, std::optional<int> after,
                      const EraseOutcome& outcome) {
    std::string note;
    if (!after) {
        note = "SMS erased from " + MemoryName(memory) + "; the new count could not be read";
    } else {
        note =
            std::to_string(std::max(before - *after, 0)) + " SMS erased from " + MemoryName(memory);
        if (*after > 0)
            note += ", " + std::to_string(*after) + " left";
    }
    if (outcome.stopped)
        note += " (stopped)";
    if (!outcome.refused.empty()) {
        note += "; refused at";
        for (int index : outcome.refused)
            note += " " + std::to_string(index);
    }
    return note;
}

std::optional<int> MemoryCapacity(std::string_view cpmsLine) {
    AtFields fields(cpmsLine);
    if (!fields.Begin("+CPMS:") || !fields.NextNumber())
        return std::nullopt;
    return fields.NextNumber();
}
