#include "db/CDaoDatabase.h"

#include "db/CDaoRecordset.h"

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

} // namespace

CDaoDatabase::~CDaoDatabase() {
    Close();
}

bool CDaoDatabase::Open(const std::string& name, bool exclusive, bool readOnly) {
    Close();
    // No SQLITE_OPEN_CREATE: a missing file stays missing. No URI flag: a name is a path.
    const int flags =
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_FULLMUTEX;
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
    SqlitePtr candidate(raw);
    if (opened != SQLITE_OK || !HasTelvaneTables(candidate.get()))
        return false;
    if (exclusive && !TakeLock(candidate.get(), readOnly))
        return false;
    std::lock_guard lock(mutex);
    handle = std::move(candidate);
    return true;
}

void CDaoDatabase::Close() {
    std::vector<CDaoRecordset*> stillOpen;
    {
        std::lock_guard lock(mutex);
        stillOpen = openRecordsets;
    }
    // Each Close commits its appends and unregisters itself.
    for (CDaoRecordset* recordset : stillOpen)
        recordset->Close();
    std::lock_guard lock(mutex);
    if (handle && sqlite3_get_autocommit(handle.get()) == 0)
        CommitLocked();
    handle.reset();
    appendGroupMembers = 0;
}

bool CDaoDatabase::IsOpen() const {
    std::lock_guard lock(mutex);
    return handle != nullptr;
}

void CDaoDatabase::Register(CDaoRecordset* recordset) {
    std::lock_guard lock(mutex);
    openRecordsets.push_back(recordset);
}

void CDaoDatabase::Unregister(CDaoRecordset* recordset) {
    std::lock_guard lock(mutex);
    std::erase(openRecordsets, recordset);
}

bool CDaoDatabase::BeginAppend(bool& joined) {
    std::lock_guard lock(mutex);
    if (!handle)
        return false;
    if (!joined) {
        joined = true;
        ++appendGroupMembers;
    }
    if (sqlite3_get_autocommit(handle.get()) == 0)
        return true;
    return Execute(handle.get(), "BEGIN IMMEDIATE");
}

void CDaoDatabase::EndAppendGroup() {
    std::lock_guard lock(mutex);
    if (appendGroupMembers > 0)
        --appendGroupMembers;
    if (appendGroupMembers == 0 && handle && sqlite3_get_autocommit(handle.get()) == 0)
        CommitLocked();
}

void CDaoDatabase::SaveAppends() {
    std::lock_guard lock(mutex);
    if (handle && sqlite3_get_autocommit(handle.get()) == 0)
        CommitLocked();
}

void CDaoDatabase::CommitLocked() {
    // A commit the engine refuses leaves the transaction open: end it so the next append
    // starts clean.
    if (!Execute(handle.get(), "COMMIT"))
        Execute(handle.get(), "ROLLBACK");
}
