#include "cli/ServeInbox.h"

#include "cli/Interrupt.h"
#include "cli/ServeLog.h"
#include "cli/ServeReadForm.h"
#include "sms/AddSmsRows.h"
#include "sms/CopySmsToDatabase.h"
#include "sms/SmsList.h"
#include "sms/StoredSms.h"

#include <algorithm>

namespace {

constexpr std::string_view kNoRow = "the message gave no row";

std::string Where(SmsMemory memory, int index) {
    return std::string(SmsMemoryName(memory)) + " " + std::to_string(index);
}

} // namespace

std::optional<HookMessage> PartCollector::Add(const SmsRecord& record, std::int64_t archiveId,
                                              Clock::time_point now) {
    if (!record.part || !record.parts || *record.parts <= 1) {
        Parts single;
        single.parts.emplace(1, std::make_pair(record, archiveId));
        return Joined(single);
    }
    const auto key = std::make_tuple(record.number, record.reference.value_or(0), *record.parts);
    auto [found, added] = pending.try_emplace(key);
    if (added)
        found->second.first = now;
    found->second.expected = *record.parts;
    found->second.parts.insert_or_assign(*record.part, std::make_pair(record, archiveId));
    if (std::ssize(found->second.parts) < *record.parts)
        return std::nullopt;
    HookMessage message = Joined(found->second);
    pending.erase(found);
    return message;
}

std::vector<HookMessage> PartCollector::Expired(Clock::time_point now) {
    std::vector<HookMessage> expired;
    for (auto it = pending.begin(); it != pending.end();) {
        if (now - it->second.first < partTimeout) {
            ++it;
            continue;
        }
        expired.push_back(Joined(it->second));
        it = pending.erase(it);
    }
    return expired;
}

HookMessage PartCollector::Joined(const Parts& parts) {
    const auto& [firstRecord, firstId] = parts.parts.begin()->second;
    HookMessage message{firstRecord.number, firstRecord.name, {},
                        firstRecord.time,   firstRecord.smsc, 1,
                        parts.expected,     firstId};
    message.parts = static_cast<int>(parts.parts.size());
    for (const auto& [number, part] : parts.parts)
        message.text += part.first.text;
    return message;
}

ServeInbox::ServeInbox(ServeInboxSetup inboxSetup, std::chrono::seconds partTimeout)
    : setup(std::move(inboxSetup)), keys(&setup.database), collector(partTimeout) {
    keys.SetModem(setup.modem);
}

bool ServeInbox::Sweep(CModemSession& session) {
    return SweepMemory(session, SmsMemory::Sim) && SweepMemory(session, SmsMemory::Phone);
}

bool ServeInbox::SweepMemory(CModemSession& session, SmsMemory memory) {
    const std::string name(SmsMemoryName(memory));
    if (!SelectSmsMemory(session, memory).Ok()) {
        // A phone without a second memory has nothing stored there.
        if (memory == SmsMemory::Phone)
            return true;
        ServeLog("the phone did not select memory " + name);
        return false;
    }
    StoredSmsList list;
    const Reply reply = ListStoredSms(session, list);
    if (!reply.Ok()) {
        ServeLog("the phone did not list memory " + name + ": " + ReplyFailureText(reply));
        return false;
    }
    for (const StoredSms& stored : list.messages) {
        // A stop ends the sweep between two messages: the rest wait on the phone.
        if (Interrupted().load())
            return false;
        const SmsRecord record = DecodeStoredSms(stored, memory, {});
        if (record.type != "deliver" && record.error.empty())
            continue; // sent messages and stored reports stay where they are
        if (!Archive(stored, record)) {
            if (refusing)
                return false; // the rest wait on the phone for the database too
            continue;         // left on the phone, tried again at the next sweep
        }
        if (setup.keep || !record.error.empty())
            continue;
        const Reply erased = DeleteStoredSms(session, stored.index);
        ServeLog((erased.Ok() ? "erased " : "not erased (" + ReplyFailureText(erased) + ") ") +
                 Where(memory, stored.index));
    }
    return true;
}

bool ServeInbox::Archive(const StoredSms& stored, const SmsRecord& record) {
    const std::string where =
        Where(record.memory == "ME" ? SmsMemory::Phone : SmsMemory::Sim, stored.index);
    if (const std::int64_t known = keys.ArchiveIdOf(stored.pdu); known != 0) {
        KnownBefore(where, known);
        return true;
    }
    // The rows are built inside the write transaction: the phonebook names are read, and the
    // file held, only once the database takes a write.
    ServeReadForm form;
    const SmsReadContext context{setup.database, setup.sink, form};
    SmsRowsResult rows;
    const ArchivedOnce archivedOnce = keys.ArchiveOnce(stored.pdu, [&] {
        rows = AddSmsRowsFromLines({"+CMGR: " + std::to_string(stored.status) + ",,0", stored.pdu},
                                   stored.index, context);
        if (rows.listed.empty())
            return std::string(kNoRow);
        return AppendReceivedRows(rows.listed, context);
    });
    if (archivedOnce.id == 0 && archivedOnce.error == kNoRow && rows.phonebookOpen) {
        ServeLog("message " + where + " gave no row; left on the phone");
        return false;
    }
    if (archivedOnce.id == 0) {
        DatabaseRefused(where, archivedOnce.error);
        return false;
    }
    if (archivedOnce.before) {
        KnownBefore(where, archivedOnce.id);
        return true;
    }
    DatabaseTakesRows();
    ++archived;
    ServeLog("archived " + where + " from " + record.number + " as row " +
             std::to_string(archivedOnce.id));
    SmsRecord named = record;
    named.name = rows.listed.front()[kSmsNameColumn]; // the archive's phonebook name
    if (std::optional<HookMessage> complete =
            collector.Add(named, archivedOnce.id, PartCollector::Clock::now());
        complete && setup.complete)
        setup.complete(*complete);
    return true;
}

void ServeInbox::KnownBefore(const std::string& where, std::int64_t id) const {
    // Kept messages are met at every sweep; one found again otherwise is news.
    if (!setup.keep)
        ServeLog("message " + where + " was archived before as row " + std::to_string(id));
}

void ServeInbox::DatabaseRefused(const std::string& where, const std::string& why) {
    if (!refusing)
        ServeLog("message " + where + " not archived, left on the phone: " + why +
                 "; new messages stay on the phone until the database takes them");
    refusing = true;
}

void ServeInbox::DatabaseTakesRows() {
    if (refusing)
        ServeLog("the database takes messages again");
    refusing = false;
}

bool ServeInbox::ArchivePushed(const std::string& pdu) {
    // A pushed message has no position: 0 names it in the log.
    const StoredSms pushed{0, 0, pdu};
    const SmsRecord record = DecodeStoredSms(pushed, SmsMemory::Sim, {});
    if (record.type != "deliver" && record.error.empty())
        return true; // nothing to archive
    return Archive(pushed, record) || !refusing;
}

void ServeInbox::ExpireParts() {
    for (const HookMessage& message : collector.Expired(PartCollector::Clock::now())) {
        ServeLog("long message from " + message.sender + " handed on with " +
                 std::to_string(message.parts) + " of " + std::to_string(message.partsExpected) +
                 " parts");
        if (setup.complete)
            setup.complete(message);
    }
}
