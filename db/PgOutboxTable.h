#pragma once
// SMS_Outbox on a PostgreSQL server, which several services may share. A service takes the
// oldest due row with a claim (ClaimedBy, ClaimedUntil) under FOR UPDATE SKIP LOCKED, so each
// row goes to exactly one of them; the claim lasts while the service works on the row and
// expires when it died: a "new" row then goes to another service, a "sending" one (it may have
// gone) becomes "uncertain". A new row notifies the services (channel kOutboxChannel).

#include "db/DaoConnection.h"
#include "db/OutboxTable.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kOutboxChannel = "telvane_outbox";

class PgOutboxTable {
public:
    explicit PgOutboxTable(std::shared_ptr<DaoConnection> connection);

    bool Add(OutboxRecord& record, std::string& error);
    std::optional<OutboxRecord> NextDue(const DbDateTime& now, std::string& error);
    bool MarkSending(std::int64_t id, const DbDateTime& now, std::string& error);
    // reference: the first part's; parts: every part's, joined.
    bool MarkSent(std::int64_t id, std::optional<int> reference, const std::string& parts,
                  const DbDateTime& when, std::string& error);
    bool MarkRetry(std::int64_t id, const std::string& why, const DbDateTime& nextTry,
                   std::string& error);
    // Failed or uncertain, with why.
    bool MarkEnded(std::int64_t id, const char* state, const std::string& why, std::string& error);
    bool MarkNotHanded(std::int64_t id, const std::string& why, std::string& error);
    bool RecordDelivery(int reference, const std::string& recipient, const std::string& delivery,
                        std::string& error);
    int MarkInterrupted(std::string& error);
    // The connection hears of each row queued from now on (kOutboxChannel).
    bool Listen(std::string& error);
    std::vector<OutboxRecord> Select(const std::string& where, const std::vector<PgParam>& params,
                                     std::string& error);

    // Who claims rows: this host and process.
    const std::string& Claimant() const { return claimant; }
    // How long a claim holds without its service renewing it.
    void SetClaimTime(std::chrono::seconds claim) { claimSeconds = std::to_string(claim.count()); }

private:
    bool Change(const std::string& set, std::int64_t id, std::vector<PgParam> params,
                std::string& error);

    std::shared_ptr<DaoConnection> connection;
    std::string claimant;
    std::string claimSeconds = "120";
};
