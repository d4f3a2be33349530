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
    auto opening = std::make_shared<DaoConnection>(std::move(candidate));
    std::lock_guard lock(mutex);
    connection = std::move(opening);
    return true;
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
