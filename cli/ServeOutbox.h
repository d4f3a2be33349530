#pragma once
// The service's outbox: the oldest due row of SMS_Outbox is sent as the window sends (Unicode
// and long messages by the same code, the service centre from the settings, else the phone's
// own), its reference and time recorded; a failure is tried again after a back-off that doubles,
// and after the last try the row is failed with the phone's words. Main thread only; it takes
// the port for each send.

#include "cli/ServeLog.h"
#include "db/DeliveryTable.h"
#include "db/OutboxTable.h"
#include "sms/send/SendSms.h"
#include "sms/send/SubmitPdu.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class CDaoDatabase;
class CModemSession;
class CSettingsStore;

// What the status reports of a message's parts say of it: a single part's words; "delivered"
// once every part is; the first failed part's ("part 2 of 3: failed: ..."); else how many of
// the parts are delivered so far ("1 of 3 parts delivered").
std::string MessageDelivery(const std::vector<DeliveryRecord>& parts);

struct OutboxPolicy {
    int tries = 3;                       // a row is failed after this many
    std::chrono::seconds firstDelay{30}; // before the second try; doubled after each
    std::chrono::seconds claim{120};     // a shared outbox's row stays this service's
};

class ServeOutbox {
public:
    ServeOutbox(CModemSession& session, CDaoDatabase& database, CSettingsStore& settings,
                OutboxPolicy policy);

    // Rows left "sending" by a service that stopped become "uncertain"; logged.
    void MarkInterrupted();
    // A status report matched to a part: the outbox row of its message takes the words of all
    // its parts.
    void RecordDelivery(const DeliveryRecord& part);
    // Sends the next due row, if any; true when one was tried and its row moved on. Rows sent
    // whose mark the database did not take are marked first; none is sent before they are.
    bool SendNext();
    // A row was queued since the last look (a server database tells at once; a file never).
    bool NewQueued() { return table.NewQueued(); }

private:
    // The centre for a send: the settings', else the phone's (asked until it answers); nothing
    // while the phone does not answer.
    std::optional<std::string> Centre();
    void Failed(const OutboxRecord& record, const std::string& why);
    // Logs a mark the file did not take.
    void Marked(bool written, const OutboxRecord& record);
    void Sent(const OutboxRecord& record, const SubmitParts& parts, const SendReport& report);
    // The port went away under the send: back to "new" when no PDU reached the phone, else
    // "uncertain".
    void PortLostDuring(const OutboxRecord& record, const SendReport& report);
    // The rows sent but not marked yet; false while the database takes no mark.
    bool MarkSentLater();
    // A row no try can send; false when the file took no write.
    bool Refuse(const OutboxRecord& record, const std::string& why);

    CModemSession& session;
    CDaoDatabase& database;
    CSettingsStore& settings;
    OutboxPolicy policy;
    OutboxTable table;
    ServeSink sink;
    std::optional<std::string> phoneCentre;
    struct Unmarked {
        std::int64_t id;
        std::vector<int> references;
        DbDateTime when;
    };
    std::vector<Unmarked> unmarked; // sent, their marks not stored yet (the server went away)
};
