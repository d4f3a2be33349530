#include "db/PgDeliveryTable.h"

#include <algorithm>

namespace {

PgParam TimeParam(const std::optional<DbDateTime>& when) {
    return when ? PgParam(when->ToIso()) : PgParam();
}

DeliveryRecord ReadRecord(const PgOutcome& rows, int row) {
    DeliveryRecord record;
    record.id = rows.Number(row, 0);
    record.sendId = rows.Number(row, 1);
    record.recipient = rows.Text(row, 2);
    record.text = rows.Text(row, 3);
    record.part = static_cast<int>(rows.Number(row, 4));
    record.parts = static_cast<int>(rows.Number(row, 5));
    record.reference = static_cast<int>(rows.Number(row, 6));
    record.sent = DbDateTime::FromIso(std::string(rows.Text(row, 7)));
    if (!rows.IsNull(row, 8))
        record.status = static_cast<int>(rows.Number(row, 8));
    record.discharge = DbDateTime::FromIso(std::string(rows.Text(row, 9)));
    record.statusText = rows.Text(row, 10);
    return record;
}

// Numbers for the parts, ascending: the first is the send's.
std::vector<std::int64_t> NewIds(DaoConnection& connection, std::size_t count, std::string& error) {
    const PgOutcome ids = connection.Query(
        "SELECT nextval(pg_get_serial_sequence('sms_delivery', 'id')) FROM generate_series(1, "
        "$1::integer)",
        {std::to_string(count)});
    error = ids.error;
    std::vector<std::int64_t> numbers;
    for (int row = 0; row < ids.Rows(); ++row)
        numbers.push_back(ids.Number(row, 0));
    std::ranges::sort(numbers);
    return numbers;
}

} // namespace

bool ServerAddSend(DaoConnection& connection, std::vector<DeliveryRecord>& parts,
                   std::string& error) {
    if (parts.empty())
        return true;
    const std::vector<std::int64_t> ids = NewIds(connection, parts.size(), error);
    if (ids.size() != parts.size())
        return false;
    std::string sql = "INSERT INTO sms_delivery (id, sendid, destinatario, messaggio, part, parts, "
                      "mr, senttime) VALUES ";
    std::vector<PgParam> params;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const DeliveryRecord& part = parts[i];
        const std::size_t base = params.size();
        for (PgParam value :
             {PgParam(std::to_string(ids[i])), PgParam(std::to_string(ids[0])),
              PgParam(part.recipient), PgParam(part.text), PgParam(std::to_string(part.part)),
              PgParam(std::to_string(part.parts)), PgParam(std::to_string(part.reference)),
              TimeParam(part.sent)})
            params.push_back(std::move(value));
        sql += (i == 0 ? "(" : ", (");
        for (std::size_t k = 1; k <= 8; ++k)
            sql += "$" + std::to_string(base + k) + (k == 8 ? ")" : ", ");
    }
    error = connection.Query(sql, params).error;
    if (!error.empty())
        return false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        parts[i].id = ids[i];
        parts[i].sendId = ids[0];
    }
    return true;
}

bool ServerStoreStatus(DaoConnection& connection, std::int64_t id, int status,
                       const std::optional<DbDateTime>& discharge, const std::string& statusText,
                       std::string& error) {
    const PgOutcome changed = connection.Query(
        "UPDATE sms_delivery SET status = $1::integer, dischargetime = $2::timestamp, "
        "statustext = $3 WHERE id = $4::integer",
        {std::to_string(status), TimeParam(discharge), statusText, std::to_string(id)});
    error = changed.error;
    if (changed.Ok() && std::string_view(changed.Affected()) != "1")
        error = "no delivery record " + std::to_string(id);
    return error.empty();
}

std::vector<DeliveryRecord> ServerDeliveries(DaoConnection& connection, const std::string& where,
                                             std::int64_t value, std::string& error) {
    const PgOutcome rows = connection.Query(
        "SELECT id, sendid, destinatario, messaggio, part, parts, mr, senttime, status, "
        "dischargetime, statustext FROM sms_delivery " +
            where,
        {std::to_string(value)});
    error = rows.error;
    std::vector<DeliveryRecord> records;
    for (int row = 0; row < rows.Rows(); ++row)
        records.push_back(ReadRecord(rows, row));
    return records;
}
