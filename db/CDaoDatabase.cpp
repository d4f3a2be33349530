#include "db/CDaoDatabase.h"

#include "db/CDaoRecordset.h"
#include "db/IntegrityRecord.h"
#include "db/PgDatabaseOpen.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sqlite3.h>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 5> kTables = {"phonebook", "sms_in", "sms_out", "dbdcs",
                                                     "dbpid"};

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

// Also the first read of the file: a file that is not SQLite fails here.
bool HasTelvaneTables(sqlite3* handle) {
    StatementPtr query = Prepare(handle, "SELECT name FROM sqlite_master WHERE type = 'table'");
    if (!query)
        return false;
    std::vector<std::string> names;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
        const auto* name = sqlite3_column_text(query.get(), 0);
        if (name != nullptr)
            names.push_back(Lowered(reinterpret_cast<const char*>(name)));
    }
    if (step != SQLITE_DONE)
        return false;
    return std::ranges::all_of(kTables, [&names](std::string_view table) {
        return std::ranges::find(names, table) != names.end();
    });
}

// In exclusive locking mode a lock once taken is never released: an empty exclusive
// transaction takes the strongest one now rather than at the first write.
bool TakeLock(sqlite3* handle, bool readOnly) {
    if (!Execute(handle, "PRAGMA locking_mode = EXCLUSIVE"))
        return false;
    return readOnly ? Execute(handle, "SELECT count(*) FROM sqlite_master")
                    : Execute(handle, "BEGIN EXCLUSIVE; COMMIT");
}

// Damage past the first page shows only when its page is read: the engine's quick check reads
// every page once (without comparing indexes to tables), fast enough for a large archive.
bool PassesQuickCheck(sqlite3* handle, std::string& problem) {
    StatementPtr check = Prepare(handle, "PRAGMA quick_check(1)");
    if (!check)
        return false;
    if (sqlite3_step(check.get()) != SQLITE_ROW)
        return false;
    const auto* verdict = sqlite3_column_text(check.get(), 0);
    problem = verdict != nullptr ? reinterpret_cast<const char*>(verdict) : "";
    return problem == "ok";
}

// A file the user may not write, or in a folder where no journal can be made, opens and reads
// well and fails at the first write: a write rolled back at once finds out now. Rewriting the
// schema's user version makes the engine write page 1 to a fresh journal. On failure, code and
// message are the engine's for the write.
bool TakesAWrite(sqlite3* handle, int& code, std::string& message) {
    code = SQLITE_OK;
    StatementPtr version = Prepare(handle, "PRAGMA user_version");
    if (!version || sqlite3_step(version.get()) != SQLITE_ROW) {
        code = sqlite3_errcode(handle);
        message = EngineMessage(handle);
        return false;
    }
    const std::string rewrite =
        "PRAGMA user_version = " + std::to_string(sqlite3_column_int64(version.get(), 0));
    version.reset();
    const bool written = Execute(handle, "BEGIN IMMEDIATE") && Execute(handle, rewrite.c_str());
    if (!written) {
        code = sqlite3_errcode(handle);
        message = EngineMessage(handle);
    }
    if (sqlite3_get_autocommit(handle) == 0)
        Execute(handle, "ROLLBACK");
    return written;
}

DbOpenFailure FailureOf(int extendedCode, DbOpenFailure otherwise) {
    const int code = extendedCode & 0xFF;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return DbOpenFailure::Locked;
    if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN || code == SQLITE_PERM ||
        code == SQLITE_AUTH)
        return DbOpenFailure::ReadOnly;
    if (code == SQLITE_CORRUPT)
        return DbOpenFailure::Damaged;
    if (code == SQLITE_NOTADB)
        return DbOpenFailure::NotTelvane;
    return otherwise;
}

} // namespace

CDaoDatabase::~CDaoDatabase() {
    Close();
}

bool CDaoDatabase::Open(const std::string& name, bool exclusive, bool readOnly) {
    Close();
    if (IsServerUri(name))
        return OpenServer(name, exclusive, readOnly);
    const std::optional<FileStamp> stamp = StampOf(name);
    // No SQLITE_OPEN_CREATE: a missing file stays missing. No URI flag: a name is a path.
    const int flags =
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_FULLMUTEX;
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
    SqlitePtr candidate(raw);
    if (opened != SQLITE_OK)
        return Refuse(DbOpenFailure::CannotOpen, candidate.get());
    if (!HasTelvaneTables(candidate.get()))
        return Refuse(FailureOf(sqlite3_errcode(candidate.get()), DbOpenFailure::NotTelvane),
                      candidate.get());
    // The engine falls back to reading a file it may not write.
    if (!readOnly && sqlite3_db_readonly(candidate.get(), "main") == 1)
        return Refuse(DbOpenFailure::ReadOnly, nullptr);
    if (exclusive && !TakeLock(candidate.get(), readOnly))
        return Refuse(FailureOf(sqlite3_errcode(candidate.get()), DbOpenFailure::Locked),
                      candidate.get());
    std::string problem;
    // Every page is read only when the file changed since it last passed: a large archive
    // opens at once, and a file touched in between is checked again before use.
    const bool knownClean = stamp && CheckedCleanAsIs(*stamp);
    if (!knownClean && !PassesQuickCheck(candidate.get(), problem)) {
        // An engine error rather than a verdict: it names the cause (damage, a lock, ...).
        if (problem.empty())
            return Refuse(FailureOf(sqlite3_errcode(candidate.get()), DbOpenFailure::Damaged),
                          candidate.get());
        return Refuse(DbOpenFailure::Damaged, nullptr, problem);
    }
    if (!knownClean && stamp)
        RecordCleanCheck(*stamp);
    int code = SQLITE_OK;
    if (!readOnly && !TakesAWrite(candidate.get(), code, problem))
        return Refuse(FailureOf(code, DbOpenFailure::ReadOnly), nullptr, problem);
    auto opening = std::make_shared<DaoConnection>(std::move(candidate));
    std::lock_guard lock(mutex);
    connection = std::move(opening);
    openFailure = DbOpenFailure::None;
    openError.clear();
    return true;
}

ServerLink CDaoDatabase::CheckServerLink(std::string& error) const {
    const std::shared_ptr<DaoConnection> open = Connection();
    return open ? open->CheckServerLink(error) : ServerLink::Up;
}

bool CDaoDatabase::OpenServer(const std::string& uri, bool exclusive, bool readOnly) {
    ServerOpen opened = OpenServerDatabase(uri, exclusive, readOnly);
    if (!opened.connection)
        return Refuse(opened.failure, nullptr, opened.error);
    auto opening = std::make_shared<DaoConnection>(std::move(opened.connection));
    opening->SetSessionSetup(std::move(opened.session));
    std::lock_guard lock(mutex);
    connection = std::move(opening);
    openFailure = DbOpenFailure::None;
    openError.clear();
    return true;
}

bool CDaoDatabase::Refuse(DbOpenFailure failure, sqlite3* candidate, const std::string& text) {
    std::lock_guard lock(mutex);
    openFailure = failure;
    openError = candidate != nullptr ? EngineMessage(candidate) : text;
    if (openError.empty() && failure == DbOpenFailure::ReadOnly)
        openError = "attempt to write a readonly database";
    return false;
}

void CDaoDatabase::Close() {
    std::vector<CDaoRecordset*> ours;
    std::shared_ptr<DaoConnection> closing;
    {
        std::lock_guard lock(mutex);
        const std::thread::id self = std::this_thread::get_id();
        for (const auto& [recordset, owner] : openRecordsets)
            if (owner == self)
                ours.push_back(recordset);
        // The others are no longer ours to close: their threads close them, on the connection
        // they hold.
        std::erase_if(openRecordsets, [self](const auto& entry) { return entry.second != self; });
        closing = std::move(connection);
    }
    // Each Close commits its appends and unregisters itself.
    for (CDaoRecordset* recordset : ours)
        recordset->Close();
    // The connection closes here unless a record set of another thread still holds it.
    closing.reset();
}

bool CDaoDatabase::IsOpen() const {
    std::lock_guard lock(mutex);
    return connection != nullptr;
}

std::shared_ptr<DaoConnection> CDaoDatabase::Connection() const {
    std::lock_guard lock(mutex);
    return connection;
}

void CDaoDatabase::Register(CDaoRecordset* recordset) {
    std::lock_guard lock(mutex);
    openRecordsets.emplace_back(recordset, std::this_thread::get_id());
}

void CDaoDatabase::Unregister(CDaoRecordset* recordset) {
    std::lock_guard lock(mutex);
    std::erase_if(openRecordsets,
                  [recordset](const auto& entry) { return entry.first == recordset; });
}

DbOpenFailure CDaoDatabase::OpenFailure() const {
    std::lock_guard lock(mutex);
    return openFailure;
}

std::string CDaoDatabase::OpenErrorText() const {
    std::lock_guard lock(mutex);
    return openError;
}
