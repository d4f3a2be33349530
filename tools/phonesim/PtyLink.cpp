#include "tools/phonesim/PtyLink.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string Failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// A fresh slave cooks its input and echoes it back into the master: make it a plain 8-bit line.
void MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &tio);
}

std::string LinkTarget(const std::string& link) {
    std::array<char, 4096> buffer{};
    const ssize_t n = readlink(link.c_str(), buffer.data(), buffer.size() - 1);
    return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : std::string();
}

bool ReplaceLink(const std::string& linkPath, const std::string& target, std::string& error) {
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = linkPath + ": exists and is not a symbolic link";
            return false;
        }
        unlink(linkPath.c_str());
    }
    if (symlink(target.c_str(), linkPath.c_str()) != 0) {
        error = Failure(linkPath);
        return false;
    }
    return true;
}

} // namespace

PtyLink::~PtyLink() {
    if (!link.empty() && LinkTarget(link) == slaveName)
        unlink(link.c_str());
    for (int fd : {watcher, keeper, master})
        if (fd >= 0)
            close(fd);
}

bool PtyLink::Open(const std::string& linkPath, std::string& error) {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    std::array<char, 128> name{};
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name.data(), name.size()) != 0) {
        error = Failure("pseudo-terminal");
        return false;
    }
    slaveName = name.data();
    keeper = open(slaveName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (keeper < 0 || watcher < 0 ||
        inotify_add_watch(watcher, slaveName.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        error = Failure(slaveName);
        return false;
    }
    MakeRaw(keeper);
    if (!ReplaceLink(linkPath, slaveName, error))
        return false;
    link = linkPath;
    return true;
}

void PtyLink::TrackOpens() {
    alignas(inotify_event) std::array<char, 4096> buffer{};
    ssize_t n = 0;
    while ((n = read(watcher, buffer.data(), buffer.size())) > 0) {
        for (ssize_t at = 0; at < n;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + at, sizeof event);
            if ((event.mask & IN_OPEN) != 0)
                ++clientOpens;
            if ((event.mask & IN_CLOSE) != 0 && clientOpens > 0 && --clientOpens == 0)
                ClientLeft();
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
}

bool PtyLink::ClientPresent() {
    TrackOpens();
    return clientOpens > 0;
}

void PtyLink::ClientLeft() {
    tcflush(keeper, TCIFLUSH); // only what we sent: a client's last command is still read
    ioctl(keeper, TIOCNXCL);
    MakeRaw(keeper);
}

std::size_t PtyLink::Read(std::span<char> buffer, int timeoutMs) {
    std::array<pollfd, 2> entries = {pollfd{master, POLLIN, 0}, pollfd{watcher, POLLIN, 0}};
    if (poll(entries.data(), entries.size(), timeoutMs) <= 0)
        return 0;
    TrackOpens();
    if ((entries[0].revents & POLLIN) == 0)
        return 0;
    const ssize_t n = read(master, buffer.data(), buffer.size());
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}
