#pragma once
// The files that passed the engine's full check, remembered so that opening a large archive
// again does not read every page again while the file is as it was. A file counts as unchanged
// when its device, inode, size, modification time and the engine's change counter (in its
// header) are those recorded, and it was last modified well before the check was recorded: a
// change made afterwards always moves the modification time, even within the clock's tick. The
// record lives in $XDG_CACHE_HOME/telvane/checked-files (default ~/.cache); without either
// variable nothing is remembered and every open checks. Any thread; the record is rewritten
// whole (atomically), and a record that cannot be read or written only costs a check.

#include <cstdint>
#include <optional>
#include <string>

// What identifies the file's content. Taken before the engine opens the file: closing any other
// descriptor of a file drops the process's POSIX locks on it, the engine's included.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint32_t changeCounter = 0;
};
std::optional<FileStamp> StampOf(const std::string& path);

// True when the file is unchanged since a clean check was recorded for it.
bool CheckedCleanAsIs(const FileStamp& stamp);
bool CheckedCleanAsIs(const std::string& path);
// Records that the file, as stamped before its check, has passed the full check.
void RecordCleanCheck(const FileStamp& stamp);
