#include "db/DbTestFiles.h"

#include <csignal>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "telvane-db-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr)
        path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string ShippedDatabase() {
    return std::string(TELVANE_BINARY_DIR) + "/telvane.mdb";
}

std::string CopyShippedDatabase(const TempDir& dir, const std::string& name) {
    const std::string target = dir.File(name);
    std::filesystem::copy_file(ShippedDatabase(), target,
                               std::filesystem::copy_options::overwrite_existing);
    return target;
}

bool RunSql(const std::string& file, const std::string& sql) {
    sqlite3* handle = nullptr;
    bool ok = sqlite3_open(file.c_str(), &handle) == SQLITE_OK &&
              sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    return ok;
}

long long QueryCount(const std::string& file, const std::string& sql) {
    sqlite3* handle = nullptr;
    sqlite3_stmt* statement = nullptr;
    long long count = -1;
    if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        count = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return count;
}

int RunInChild(const std::function<bool()>& body) {
    const pid_t child = fork();
    if (child == 0)
        _exit(body() ? 0 : 1);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

namespace {

int CapAtCurrentSize(sqlite3* handle, char** /*error*/, const void* /*api*/) {
    sqlite3_stmt* count = nullptr;
    if (sqlite3_prepare_v2(handle, "PRAGMA page_count", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW) {
        const std::string cap =
            "PRAGMA max_page_count = " + std::to_string(sqlite3_column_int64(count, 0));
        sqlite3_exec(handle, cap.c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(count);
    return SQLITE_OK;
}

using AutoExtension = void (*)();

AutoExtension CapEntry() {
    // The engine takes entry points through a generic function pointer type.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    return reinterpret_cast<AutoExtension>(&CapAtCurrentSize);
}

} // namespace

FullDisk::FullDisk() {
    sqlite3_auto_extension(CapEntry());
}

FullDisk::~FullDisk() {
    sqlite3_cancel_auto_extension(CapEntry());
}

void LimitFileSize(long long bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    setrlimit(RLIMIT_FSIZE, &limit);
}

bool DropRoot() {
    constexpr uid_t kNobody = 65534;
    return geteuid() != 0 || (setgid(kNobody) == 0 && setuid(kNobody) == 0);
}

bool IntegrityOk(const std::string& file) {
    sqlite3* handle = nullptr;
    sqlite3_stmt* statement = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(handle, "PRAGMA integrity_check", -1, &statement, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        const auto* verdict = sqlite3_column_text(statement, 0);
        ok = verdict != nullptr && std::string(reinterpret_cast<const char*>(verdict)) == "ok";
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return ok;
}
