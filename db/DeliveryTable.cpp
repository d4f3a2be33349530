#include "db/DeliveryTable.h"

#include "db/CDaoDatabase.h"
#include "db/OwnTableWrite.h"
#include "db/PgDeliveryTable.h"

#include <sqlite3.h>

namespace {

constexpr const char* kCreate =
    "CREATE TABLE IF NOT EXISTS SMS_Delivery (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
    "SendID INTEGER NOT NULL DEFAULT 0, Destinatario TEXT, Messaggio TEXT, "
    "Part INTEGER NOT NULL DEFAULT 1, Parts INTEGER NOT NULL DEFAULT 1, "
    "MR INTEGER NOT NULL DEFAULT 0 CHECK (MR BETWEEN 0 AND 255), SentTime TEXT, Status INTEGER, "
    "DischargeTime TEXT, StatusText TEXT)";

constexpr const char* kColumns = "SELECT ID, SendID, Destinatario, Messaggio, Part, Parts, MR, "
                                 "SentTime, Status, DischargeTime, StatusText FROM SMS_Delivery ";

DeliveryRecord ReadRecord(sqlite3_stmt* row) {
    DeliveryRecord record;
    record.id = sqlite3_column_int64(row, 0);
    record.sendId = sqlite3_column_int64(row, 1);
    record.recipient = ColumnString(row, 2);
    record.text = ColumnString(row, 3);
    record.part = sqlite3_column_int(row, 4);
    record.parts = sqlite3_column_int(row, 5);
    record.reference = sqlite3_column_int(row, 6);
    record.sent = DbDateTime::FromIso(ColumnString(row, 7));
    if (sqlite3_column_type(row, 8) != SQLITE_NULL)
        record.status = sqlite3_column_int(row, 8);
    record.discharge = DbDateTime::FromIso(ColumnString(row, 9));
    record.statusText = ColumnString(row, 10);
    return record;
}

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

void BindTime(sqlite3_stmt* statement, int index, const std::optional<DbDateTime>& when) {
    if (when)
        BindText(statement, index, when->ToIso());
    else
        sqlite3_bind_null(statement, index);
}

bool StepDone(sqlite3_stmt* statement) {
    const bool done = statement != nullptr && sqlite3_step(statement) == SQLITE_DONE;
    if (statement != nullptr)
        sqlite3_reset(statement);
    return done;
}

bool InsertPart(sqlite3* handle, DeliveryRecord& part, std::int64_t sendId) {
    StatementPtr insert =
        Prepare(handle, "INSERT INTO SMS_Delivery (SendID, Destinatario, Messaggio, Part, Parts, "
                        "MR, SentTime) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    if (!insert)
        return false;
    sqlite3_bind_int64(insert.get(), 1, sendId);
    BindText(insert.get(), 2, part.recipient);
    BindText(insert.get(), 3, part.text);
    sqlite3_bind_int(insert.get(), 4, part.part);
    sqlite3_bind_int(insert.get(), 5, part.parts);
    sqlite3_bind_int(insert.get(), 6, part.reference);
    BindTime(insert.get(), 7, part.sent);
    if (!StepDone(insert.get()))
        return false;
    part.id = sqlite3_last_insert_rowid(handle);
    part.sendId = sendId == 0 ? part.id : sendId;
    return true;
}

} // namespace

DeliveryTable::DeliveryTable(CDaoDatabase* database) {
    if (database != nullptr)
        connection = database->Connection();
}

DeliveryTable::~DeliveryTable() = default;

bool DeliveryTable::Write(const std::function<bool(sqlite3*)>& write) {
    return WriteOwnTable(connection, kCreate, write, error);
}

bool DeliveryTable::AddSend(std::vector<DeliveryRecord>& parts) {
    if (connection && connection->IsServer())
        return ServerAddSend(*connection, parts, error);
    return Write([&parts](sqlite3* handle) {
        std::int64_t sendId = 0;
        for (DeliveryRecord& part : parts) {
            if (!InsertPart(handle, part, sendId))
                return false;
            sendId = part.sendId;
        }
        StatementPtr first = Prepare(handle, "UPDATE SMS_Delivery SET SendID = ID WHERE ID = ?1");
        if (!first)
            return false;
        sqlite3_bind_int64(first.get(), 1, sendId);
        return parts.empty() || StepDone(first.get());
    });
}

bool DeliveryTable::StoreStatus(std::int64_t id, int status,
                                const std::optional<DbDateTime>& discharge,
                                const std::string& statusText) {
    if (connection && connection->IsServer())
        return ServerStoreStatus(*connection, id, status, discharge, statusText, error);
    return Write([&](sqlite3* handle) {
        StatementPtr update = Prepare(handle, "UPDATE SMS_Delivery SET Status = ?1, "
                                              "DischargeTime = ?2, StatusText = ?3 WHERE ID = ?4");
        if (!update)
            return false;
        sqlite3_bind_int(update.get(), 1, status);
        BindTime(update.get(), 2, discharge);
        BindText(update.get(), 3, statusText);
        sqlite3_bind_int64(update.get(), 4, id);
        return StepDone(update.get()) && sqlite3_changes(handle) == 1;
    });
}

std::vector<DeliveryRecord> DeliveryTable::Query(const std::string& where, std::int64_t value) {
    std::vector<DeliveryRecord> records;
    if (!connection)
        return records;
    StatementPtr query = Prepare(connection->Handle(), kColumns + where);
    if (!query)
        return records; // no table yet: nothing was ever sent with a report
    sqlite3_bind_int64(query.get(), 1, value);
    while (sqlite3_step(query.get()) == SQLITE_ROW)
        records.push_back(ReadRecord(query.get()));
    return records;
}

std::vector<DeliveryRecord> DeliveryTable::WithReference(int reference) {
    if (connection && connection->IsServer())
        return ServerDeliveries(*connection, "WHERE mr = $1::integer ORDER BY id DESC", reference,
                                error);
    return Query("WHERE MR = ?1 ORDER BY ID DESC", reference);
}

std::vector<DeliveryRecord> DeliveryTable::OfSend(std::int64_t sendId) {
    if (connection && connection->IsServer())
        return ServerDeliveries(*connection, "WHERE sendid = $1::integer ORDER BY part, id", sendId,
                                error);
    return Query("WHERE SendID = ?1 ORDER BY Part, ID", sendId);
}

std::vector<DeliveryRecord> DeliveryTable::LatestSends(int limit) {
    if (connection && connection->IsServer())
        return ServerDeliveries(*connection, "WHERE id = sendid ORDER BY id DESC LIMIT $1::integer",
                                limit, error);
    return Query("WHERE ID = SendID ORDER BY ID DESC LIMIT ?1", limit);
}
