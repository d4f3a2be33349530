#include "db/PgReceivedKeys.h"

std::int64_t ServerArchiveIdOf(DaoConnection& connection, const std::string& key,
                               const std::string& modem) {
    const PgOutcome found = connection.Query(
        "SELECT archiveid FROM sms_receivedkey WHERE key = $1 AND modem = $2", {key, modem});
    return found.Ok() && found.Rows() == 1 ? found.Number(0, 0) : 0;
}

bool ServerRemember(DaoConnection& connection, const std::string& key, const std::string& modem,
                    std::int64_t archiveId, std::string& error) {
    error = connection
                .Query("INSERT INTO sms_receivedkey (key, modem, archiveid) VALUES ($1, $2, "
                       "$3::integer) ON CONFLICT (modem, key) DO UPDATE SET archiveid = "
                       "EXCLUDED.archiveid",
                       {key, modem, std::to_string(archiveId)})
                .error;
    return error.empty();
}

std::int64_t ServerLastArchiveId(DaoConnection& connection) {
    // currval is the session's own: another service's rows in between do not count. Before the
    // session's first row it fails, in a statement of its own.
    const PgOutcome last =
        connection.Query("SELECT currval(pg_get_serial_sequence('sms_in', 'id'))");
    return last.Ok() && last.Rows() == 1 ? last.Number(0, 0) : 0;
}
