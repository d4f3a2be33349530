#pragma once
// SMS_Delivery, the table of the program's own beside the five: one row per part of a message
// sent with a status report asked for, and what the report said of it. Made with the schema, or
// on an older file at its first write. Writes run in a transaction of their own, never while
// record sets hold appends not yet committed. One thread at a time; it holds its connection
// while it lives.

#include "db/DaoConnection.h"
#include "db/DbDateTime.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDaoDatabase;

inline constexpr const char* kDeliveryTable = "SMS_Delivery";

struct DeliveryRecord {
    std::int64_t id = 0;     // assigned when stored
    std::int64_t sendId = 0; // the id of the first part of the same send
    std::string recipient;   // as it was sent to
    std::string text;        // the part's own text
    int part = 1;            // 1 to parts
    int parts = 1;
    int reference = 0; // TP-MR the phone gave the part ("+CMGS: <mr>")
    std::optional<DbDateTime> sent;
    std::optional<int> status; // TP-ST of the last report; none before one came
    std::optional<DbDateTime> discharge;
    std::string statusText; // the status in words
};

class DeliveryTable {
public:
    explicit DeliveryTable(CDaoDatabase* database);
    ~DeliveryTable();
    DeliveryTable(const DeliveryTable&) = delete;
    DeliveryTable& operator=(const DeliveryTable&) = delete;

    // Stores the parts of one send, all or none; their ids and sendId are set. False (ErrorText
    // says why) when nothing was stored.
    bool AddSend(std::vector<DeliveryRecord>& parts);
    // The records with this reference, newest first; none when there is no table yet.
    std::vector<DeliveryRecord> WithReference(int reference);
    // The parts of one send, in part order.
    std::vector<DeliveryRecord> OfSend(std::int64_t sendId);
    // The sends, newest first, as their first records (at most `limit`).
    std::vector<DeliveryRecord> LatestSends(int limit);
    // Stores what a report said of record id.
    bool StoreStatus(std::int64_t id, int status, const std::optional<DbDateTime>& discharge,
                     const std::string& statusText);

    const std::string& ErrorText() const { return error; }

private:
    std::vector<DeliveryRecord> Query(const std::string& where, std::int64_t value);
    bool Write(const std::function<bool(sqlite3*)>& write);

    std::shared_ptr<DaoConnection> connection;
    std::string error;
};
