#pragma once
// Real database files for the tests: a temporary directory removed at the end, copies of the
// shipped telvane.mdb, hand-made SQLite files, and a forked second process.

#include <filesystem>
#include <functional>
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path / name).string(); }

    std::filesystem::path path;
};

std::string ShippedDatabase();
// A copy of the shipped database at dir/name; its path.
std::string CopyShippedDatabase(const TempDir& dir, const std::string& name = "telvane.mdb");
// Runs statements on a plain connection, creating the file if needed; false on any error.
bool RunSql(const std::string& file, const std::string& sql);
// How many rows the query's first column counts, read on a plain connection; -1 on error.
long long QueryCount(const std::string& file, const std::string& sql);
// Runs body in a forked child and returns its exit code (0 when body returned true). The child
// ends with _exit: nothing of the parent is closed or flushed by it, as after a crash.
int RunInChild(const std::function<bool()>& body);

// While alive, every new connection of this process may not grow its file past the pages it has
// when opened (SQLite's max_page_count): a disk that is full for this file.
class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
};
// In a child: files may grow to at most bytes (the write fails, no signal), as on a full disk.
void LimitFileSize(long long bytes);
// In a child run as root: become the unprivileged user "nobody", for whom file modes count.
bool DropRoot();
// The engine's full integrity check says "ok".
bool IntegrityOk(const std::string& file);
