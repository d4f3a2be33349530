#include "db/DatabaseCopy.h"

#include "db/CDaoDatabase.h"

#include <cstdio>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileWriteResult Failure(std::string error) {
    return {false, false, std::move(error)};
}

bool SameFile(const char* a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return a != nullptr && ::stat(a, &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The whole of source's main database into the (empty) file target.
std::string Backup(sqlite3* source, const std::string& target) {
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(target.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqlitePtr copy(raw);
    if (opened != SQLITE_OK)
        return "Cannot create the copy " + target;
    sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", source, "main");
    if (backup == nullptr)
        return std::string("Cannot copy the database: ") + sqlite3_errmsg(copy.get());
    // All pages in one step: the source cannot change between steps.
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK)
        return std::string("Cannot copy the database: ") + sqlite3_errstr(stepped);
    return {};
}

} // namespace

FileWriteResult SaveDatabaseCopy(CDaoDatabase& database, const std::string& path,
                                 Overwrite overwrite) {
    const std::shared_ptr<DaoConnection> connection = database.Connection();
    if (!connection)
        return Failure("No database is open");
    if (connection->IsServer())
        return Failure("A database on a server is copied with the server's own tools (pg_dump)");
    if (SameFile(sqlite3_db_filename(connection->Handle(), "main"), path))
        return Failure("The copy cannot replace the open database " + path);
    if (overwrite == Overwrite::Refuse && ::access(path.c_str(), F_OK) == 0)
        return {false, true, "Cannot write " + path + ": File exists"};
    std::string error;
    const std::string temporary = MakeTemporaryBeside(path, error);
    if (temporary.empty())
        return Failure(error);
    // Rows of an unfinished append would go into the copy without being committed.
    if (!connection->RunWhileIdle([&](sqlite3* source) { error = Backup(source, temporary); }))
        error = "The database is being written: try again when it is done";
    if (!error.empty()) {
        std::remove(temporary.c_str());
        return Failure(error);
    }
    return MoveIntoPlace(temporary, path, overwrite);
}
