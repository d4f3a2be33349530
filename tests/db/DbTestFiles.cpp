#include "db/DbTestFiles.h"

#include <cstdlib>
#include <sqlite3.h>
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
