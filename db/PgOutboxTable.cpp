#include "db/PgOutboxTable.h"

#include <array>
#include <unistd.h>

namespace {

constexpr const char* kColumns =
    "id, recipient, text, options, state, tries, createdtime, lasttrytime, nexttrytime, "
    "senttime, reference, error, delivery, partreferences";

// The end of a claim that lasts, from now, the seconds bound as parameter number `parameter`.
std::string ClaimEnd(int parameter) {
    return "localtimestamp(0) + $" + std::to_string(parameter) + "::integer * interval '1 second'";
}

std::optional<DbDateTime> TimeOf(const PgOutcome& rows, int row, int column) {
    return DbDateTime::FromIso(std::string(rows.Text(row, column)));
}

OutboxRecord ReadRecord(const PgOutcome& rows, int row) {
    OutboxRecord record;
    record.id = rows.Number(row, 0);
    record.recipient = rows.Text(row, 1);
    record.text = rows.Text(row, 2);
    record.options = rows.Text(row, 3);
    record.state = rows.Text(row, 4);
    record.tries = static_cast<int>(rows.Number(row, 5));
    record.created = TimeOf(rows, row, 6);
    record.lastTry = TimeOf(rows, row, 7);
    record.nextTry = TimeOf(rows, row, 8);
    record.sent = TimeOf(rows, row, 9);
    if (!rows.IsNull(row, 10))
        record.reference = static_cast<int>(rows.Number(row, 10));
    record.error = rows.Text(row, 11);
    record.delivery = rows.Text(row, 12);
    record.partReferences = rows.Text(row, 13);
    return record;
}

std::string HostName() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0)
        return "localhost";
    return name.data();
}

} // namespace

PgOutboxTable::PgOutboxTable(std::shared_ptr<DaoConnection> connectionIn)
    : connection(std::move(connectionIn)), claimant(HostName() + ":" + std::to_string(getpid())) {}

bool PgOutboxTable::Add(OutboxRecord& record, std::string& error) {
    // The notice goes out when the row is committed: one statement, one transaction.
    const PgOutcome added = connection->Query(
        "WITH added AS (INSERT INTO sms_outbox (recipient, text, options) VALUES ($1, $2, $3) "
        "RETURNING id) SELECT id, pg_notify('" +
            std::string(kOutboxChannel) + "', id::text) FROM added",
        {record.recipient, record.text, record.options});
    error = added.error;
    if (!added.Ok() || added.Rows() != 1)
        return false;
    record.id = added.Number(0, 0);
    record.state = outbox_state::kNew;
    return true;
}

std::optional<OutboxRecord> PgOutboxTable::NextDue(const DbDateTime& now, std::string& error) {
    // A send whose service died under way may have gone: never sent again by itself.
    const PgOutcome swept = connection->Query(
        "UPDATE sms_outbox SET state = 'uncertain' WHERE state = 'sending' AND claimeduntil < "
        "localtimestamp(0)");
    if (!swept.Ok()) {
        error = swept.error;
        return std::nullopt;
    }
    const PgOutcome claimed = connection->Query(
        "UPDATE sms_outbox SET claimedby = $2, claimeduntil = " + ClaimEnd(3) +
            " WHERE id = (SELECT id FROM sms_outbox WHERE state = 'new' AND (nexttrytime IS NULL "
            "OR nexttrytime <= $1::timestamp) AND (claimedby IS NULL OR claimedby = $2 OR "
            "claimeduntil < localtimestamp(0)) ORDER BY id LIMIT 1 FOR UPDATE SKIP LOCKED) "
            "RETURNING " +
            kColumns,
        {now.ToIso(), claimant, claimSeconds});
    error = claimed.error;
    if (!claimed.Ok() || claimed.Rows() != 1)
        return std::nullopt;
    return ReadRecord(claimed, 0);
}

bool PgOutboxTable::Change(const std::string& set, std::int64_t id, std::vector<PgParam> params,
                           std::string& error) {
    params.insert(params.begin(), std::to_string(id));
    const PgOutcome changed =
        connection->Query("UPDATE sms_outbox SET " + set + " WHERE id = $1::integer", params);
    error = changed.error;
    return changed.Ok();
}

bool PgOutboxTable::MarkSending(std::int64_t id, const DbDateTime& now, std::string& error) {
    return Change("state = 'sending', tries = tries + 1, lasttrytime = $2::timestamp, "
                  "claimedby = $3, claimeduntil = " +
                      ClaimEnd(4),
                  id, {now.ToIso(), claimant, claimSeconds}, error);
}

bool PgOutboxTable::MarkSent(std::int64_t id, std::optional<int> reference,
                             const std::string& parts, const DbDateTime& when, std::string& error) {
    return Change(
        "state = 'sent', senttime = $2::timestamp, reference = $3::smallint, "
        "partreferences = $4, error = '', claimedby = NULL, claimeduntil = NULL",
        id, {when.ToIso(), reference ? PgParam(std::to_string(*reference)) : PgParam(), parts},
        error);
}

bool PgOutboxTable::MarkRetry(std::int64_t id, const std::string& why, const DbDateTime& nextTry,
                              std::string& error) {
    return Change("state = 'new', error = $2, nexttrytime = $3::timestamp, claimedby = NULL, "
                  "claimeduntil = NULL",
                  id, {why, nextTry.ToIso()}, error);
}

bool PgOutboxTable::MarkEnded(std::int64_t id, const char* state, const std::string& why,
                              std::string& error) {
    return Change("state = $3, error = $2, claimedby = NULL, claimeduntil = NULL", id,
                  {why, std::string(state)}, error);
}

bool PgOutboxTable::MarkNotHanded(std::int64_t id, const std::string& why, std::string& error) {
    // The claim stays this service's: it tries the row again at once.
    return Change("state = 'new', tries = greatest(tries - 1, 0), nexttrytime = NULL, error = $2",
                  id, {why}, error);
}

bool PgOutboxTable::RecordDelivery(int reference, const std::string& recipient,
                                   const std::string& delivery, std::string& error) {
    const PgOutcome changed = connection->Query(
        "UPDATE sms_outbox SET delivery = $3 WHERE id = (SELECT max(id) FROM sms_outbox WHERE "
        "state = 'sent' AND reference = $1::smallint AND recipient = $2)",
        {std::to_string(reference), recipient, delivery});
    error = changed.error;
    return changed.Ok();
}

bool PgOutboxTable::Listen(std::string& error) {
    // Listened to again on a new link.
    error = connection->RunForSession(std::string("LISTEN ") + kOutboxChannel).error;
    return error.empty();
}

int PgOutboxTable::MarkInterrupted(std::string& error) {
    // Only this service's own sends, and those whose service's claim ran out: the others are
    // under way on live services.
    const PgOutcome changed = connection->Query(
        "WITH changed AS (UPDATE sms_outbox SET state = 'uncertain' WHERE state = 'sending' AND "
        "(claimedby = $1 OR claimeduntil IS NULL OR claimeduntil < localtimestamp(0)) RETURNING "
        "id) SELECT count(*) FROM changed",
        {claimant});
    error = changed.error;
    return changed.Ok() ? static_cast<int>(changed.Number(0, 0)) : -1;
}

std::vector<OutboxRecord> PgOutboxTable::Select(const std::string& where,
                                                const std::vector<PgParam>& params,
                                                std::string& error) {
    const PgOutcome rows =
        connection->Query(std::string("SELECT ") + kColumns + " FROM sms_outbox " + where, params);
    error = rows.error;
    std::vector<OutboxRecord> records;
    for (int row = 0; row < rows.Rows(); ++row)
        records.push_back(ReadRecord(rows, row));
    return records;
}
