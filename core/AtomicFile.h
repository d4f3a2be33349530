#pragma once
// Writing a whole file at once: the text goes to a temporary file next to the target, is flushed
// to the disk and renamed into place, so a reader sees the old file or the new one, never half of
// one. Plain POSIX; any thread.

#include <functional>
#include <string>
#include <string_view>

enum class Overwrite { Refuse, Allow };

struct FileWriteResult {
    bool ok = false;
    bool existed = false; // refused because the target exists (Overwrite::Refuse)
    std::string error;    // what went wrong, for the user; empty when ok
};

// Writes contents to path. With Overwrite::Refuse an existing path is left alone and reported
// (checked when the new file is linked into place, so a file made meanwhile is not replaced).
FileWriteResult WriteFileAtomically(const std::string& path, std::string_view contents,
                                    Overwrite overwrite);

// Puts the finished temporary file `temporary` at path as WriteFileAtomically does, and removes
// the temporary file whatever happens. For writers that fill the temporary file themselves.
FileWriteResult MoveIntoPlace(const std::string& temporary, const std::string& path,
                              Overwrite overwrite);

// A fresh, empty temporary file in the directory of path, created with mkstemp; its name, or
// empty (and error set) when none could be made.
std::string MakeTemporaryBeside(const std::string& path, std::string& error);

// The question put before an existing file is replaced; %s is the path.
inline constexpr std::string_view kReplaceFileQuestion =
    "%s already exists.\nDo you want to replace it?";

// Runs write(Overwrite::Refuse); when that finds path taken, asks replace(question) and, on yes,
// runs write(Overwrite::Allow). A refused replacement comes back with existed set and no error.
FileWriteResult SaveAskingToReplace(const std::string& path,
                                    const std::function<FileWriteResult(Overwrite)>& write,
                                    const std::function<bool(const std::string&)>& replace);
