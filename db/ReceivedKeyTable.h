#pragma once
// SMS_ReceivedKey, a table of the program's own beside the archive: one row per message the
// service archived, keyed by the message as the phone stores it (its PDU, which holds the
// sender, the centre's time stamp and the content). A message still on the phone after a
// crash is found here and not archived again: its archive rows and its key are committed in
// one transaction, so a crash leaves both or neither. Made on first use.

#include "db/DaoConnection.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

class CDaoDatabase;

// How ArchiveOnce ended.
struct ArchivedOnce {
    std::int64_t id = 0; // the message's archive row; 0 when nothing is stored
    bool before = false; // it was archived before: nothing was added now
    std::string error;   // why nothing is stored (id 0)
};

class ReceivedKeyTable {
public:
    explicit ReceivedKeyTable(CDaoDatabase* database);
    ~ReceivedKeyTable();
    ReceivedKeyTable(const ReceivedKeyTable&) = delete;
    ReceivedKeyTable& operator=(const ReceivedKeyTable&) = delete;

    // The archive row of the message with this PDU; 0 when it was never archived (or the file
    // could not be read: ArchiveOnce looks again under its write lock).
    std::int64_t ArchiveIdOf(const std::string& pdu);
    // Archives the message with this PDU unless its key is there: `append` stores its rows
    // through record sets of this database (empty when it did, else why not), and the key of
    // the row it inserted (the last, when several) joins the same transaction. Both are
    // committed, or nothing is.
    ArchivedOnce ArchiveOnce(const std::string& pdu, const std::function<std::string()>& append);

    // The modem whose messages these are (its IMEI, or its port). On a server database, which
    // several modems share, it is kept with each key; a file keeps none.
    void SetModem(std::string name) { modem = std::move(name); }

private:
    // The engine's steps of ArchiveOnce, inside the append group's transaction.
    std::int64_t KnownIdOf(const std::string& key);
    std::int64_t InsertedId();
    bool StoreKeyOf(const std::string& key, std::int64_t archiveId, std::string& failure);

    std::shared_ptr<DaoConnection> connection;
    std::string modem;
};
