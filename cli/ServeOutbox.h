#pragma once
// The service's outbox: the oldest due row of SMS_Outbox is sent as the window sends (Unicode
// and long messages by the same code, the service centre from the settings, else the phone's
// own), its reference and time recorded; a failure is tried again after a back-off that doubles,
// and after the last try the row is failed with the phone's words. Main thread only; it takes
// the port for each send.

#include "cli/ServeLog.h"
#include "db/DeliveryTable.h"
#include "db/OutboxTable.h"

#include <chrono>
#include <optional>
#include <string>

class CDaoDatabase;
class CModemSession;
class CSettingsStore;

struct OutboxPolicy {
    int tries = 3;                       // a row is failed after this many
    std::chrono::seconds firstDelay{30}; // before the second try; doubled after each
};

class ServeOutbox {
public:
    ServeOutbox(CModemSession& session, CDaoDatabase& database, CSettingsStore& settings,
                OutboxPolicy policy);

    // Rows left "sending" by a service that stopped become "uncertain"; logged.
    void MarkInterrupted();
    // A status report matched to a part: the outbox row sent with that reference takes its words.
    void RecordDelivery(const DeliveryRecord& part);
    // Sends the next due row, if any; true when one was tried and its row moved on.
    bool SendNext();
    // A row was queued since the last look (a server database tells at once; a file never).
    bool NewQueued() { return table.NewQueued(); }

private:
    // The centre for a send: the settings', else the phone's (asked once).
    std::string Centre();
    void Failed(const OutboxRecord& record, const std::string& why);
    // Logs a mark the file did not take.
    void Marked(bool written, const OutboxRecord& record);
    // A row no try can send; false when the file took no write.
    bool Refuse(const OutboxRecord& record, const std::string& why);

    CModemSession& session;
    CDaoDatabase& database;
    CSettingsStore& settings;
    OutboxPolicy policy;
    OutboxTable table;
    ServeSink sink;
    std::optional<std::string> phoneCentre;
};
