#include "core/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Reason(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

FileWriteResult Failure(std::string error) {
    return {false, false, std::move(error)};
}

// write() until all is written, retrying interruptions.
bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable: the directory entry lives in the directory's own data.
void SyncDirectory(const std::string& path) {
    const int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The process's file mode mask, read without setting it (umask() would change it for a moment
// for every thread); 022 when the kernel does not say.
mode_t CurrentUmask() {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    unsigned int mask = 022;
    if (status != nullptr) {
        char line[128];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::sscanf(line, "Umask: %o", &mask) == 1)
                break;
        }
        std::fclose(status);
    }
    return static_cast<mode_t>(mask);
}

} // namespace

std::string MakeTemporaryBeside(const std::string& path, std::string& error) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = Reason("Cannot create a file beside", path, errno);
        return {};
    }
    ::close(fd);
    return std::string(name.data());
}

FileWriteResult MoveIntoPlace(const std::string& temporary, const std::string& path,
                              Overwrite overwrite) {
    FileWriteResult result;
    if (overwrite == Overwrite::Refuse) {
        // link() fails when the name is taken: no window between a check and the rename.
        int error = ::link(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
        // Some file systems (FAT sticks) have no hard links: check, then rename.
        if ((error == EPERM || error == EOPNOTSUPP) && ::access(path.c_str(), F_OK) != 0)
            error = ::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
        if (error != 0) {
            ::unlink(temporary.c_str());
            result.existed = error == EEXIST;
            result.error = Reason("Cannot write", path, error);
            return result;
        }
        ::unlink(temporary.c_str());
    } else if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failure(Reason("Cannot write", path, error));
    }
    SyncDirectory(path);
    result.ok = true;
    return result;
}

FileWriteResult WriteFileAtomically(const std::string& path, std::string_view contents,
                                    Overwrite overwrite) {
    if (overwrite == Overwrite::Refuse && ::access(path.c_str(), F_OK) == 0)
        return {false, true, "Cannot write " + path + ": " + std::strerror(EEXIST)};
    std::string error;
    const std::string temporary = MakeTemporaryBeside(path, error);
    if (temporary.empty())
        return Failure(error);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        ::unlink(temporary.c_str());
        return Failure(Reason("Cannot write", temporary, openError));
    }
    // A new file gets the usual rights, not mkstemp's owner-only ones.
    ::fchmod(fd, 0666 & ~CurrentUmask());
    const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        ::unlink(temporary.c_str());
        return Failure(Reason("Cannot write", path, written ? errno : writeError));
    }
    return MoveIntoPlace(temporary, path, overwrite);
}

FileWriteResult SaveAskingToReplace(const std::string& path,
                                    const std::function<FileWriteResult(Overwrite)>& write,
                                    const std::function<bool(const std::string&)>& replace) {
    FileWriteResult result = write(Overwrite::Refuse);
    if (result.ok || !result.existed)
        return result;
    std::string question(kReplaceFileQuestion);
    question.replace(question.find("%s"), 2, path);
    if (!replace(question))
        return {false, true, {}};
    return write(Overwrite::Allow);
}
