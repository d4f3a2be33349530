#pragma once
// SMS_ReceivedKey on a PostgreSQL server (see ReceivedKeyTable.h). Several services may archive
// into one database: the archive row a service just added is the one its own session numbered,
// not the newest of the table.

#include "db/DaoConnection.h"

#include <cstdint>
#include <string>

// The keys are the modem's own: modem names the one that took the message.
std::int64_t ServerArchiveIdOf(DaoConnection& connection, const std::string& key,
                               const std::string& modem);
bool ServerRemember(DaoConnection& connection, const std::string& key, const std::string& modem,
                    std::int64_t archiveId, std::string& error);
// The ID of the SMS_In row this connection added last; 0 when it added none.
std::int64_t ServerLastArchiveId(DaoConnection& connection);
