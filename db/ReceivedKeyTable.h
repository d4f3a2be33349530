#pragma once
// SMS_ReceivedKey, a table of the program's own beside the archive: one row per message the
// service archived, keyed by the message as the phone stores it (its PDU, which holds the
// sender, the centre's time stamp and the content). A message still on the phone after a
// crash is found here and not archived again. Made on first use.

#include "db/DaoConnection.h"

#include <cstdint>
#include <memory>
#include <string>

class CDaoDatabase;

class ReceivedKeyTable {
public:
    explicit ReceivedKeyTable(CDaoDatabase* database);
    ~ReceivedKeyTable();
    ReceivedKeyTable(const ReceivedKeyTable&) = delete;
    ReceivedKeyTable& operator=(const ReceivedKeyTable&) = delete;

    // The archive row of the message with this PDU; 0 when it was never archived.
    std::int64_t ArchiveIdOf(const std::string& pdu);
    // Records that the message with this PDU is archive row archiveId.
    bool Remember(const std::string& pdu, std::int64_t archiveId);
    // The newest row of SMS_In (0 when none).
    std::int64_t LastArchiveId();

    // The modem whose messages these are (its IMEI, or its port). On a server database, which
    // several modems share, it is kept with each key; a file keeps none.
    void SetModem(std::string name) { modem = std::move(name); }

    const std::string& ErrorText() const { return error; }

private:
    std::shared_ptr<DaoConnection> connection;
    std::string modem;
    std::string error;
};
