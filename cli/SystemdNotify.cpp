#include "cli/SystemdNotify.h"

#include "cli/ServeLog.h"
#include "serial/FileDescriptor.h"

#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): read, never set
    return value != nullptr ? value : "";
}

// A decimal number that fills the whole text; nothing for anything else.
std::optional<long long> WholeNumber(const std::string& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

NotifyEnvironment NotifyEnvironmentOfProcess() {
    return {Variable("NOTIFY_SOCKET"), Variable("WATCHDOG_USEC"), Variable("WATCHDOG_PID")};
}

SystemdNotify::SystemdNotify(const NotifyEnvironment& environment) {
    const std::string& socket = environment.socket;
    if (socket.size() > kMaxSocketPath) {
        ServeLog("NOTIFY_SOCKET is longer than a socket's name can be; systemd is not told");
    } else if (socket.starts_with('/')) {
        address = socket;
    } else if (socket.starts_with('@') && socket.size() > 1) {
        address = '\0' + socket.substr(1);
    }
    const std::optional<long long> pid = WholeNumber(environment.watchdogPid);
    const bool ours = environment.watchdogPid.empty() || (pid && *pid == getpid());
    const std::optional<long long> usec = WholeNumber(environment.watchdogUsec);
    if (Enabled() && ours && usec && *usec > 0)
        watchdog = std::chrono::microseconds(*usec);
}

void SystemdNotify::Alive() {
    if (watchdog.count() == 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastAlive < watchdog / 2)
        return;
    lastAlive = now;
    Send("WATCHDOG=1");
}

bool SystemdNotify::Send(const std::string& message) {
    if (!Enabled())
        return true;
    sockaddr_un target{};
    target.sun_family = AF_UNIX;
    std::memcpy(target.sun_path, address.data(), address.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size() +
                                               (address.front() == '\0' ? 0 : 1));
    const FileDescriptor fd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const bool sent =
        fd.Valid() &&
        sendto(fd.Get(), message.data(), message.size(), MSG_NOSIGNAL,
               reinterpret_cast<const sockaddr*>(&target), // NOLINT: the socket API's cast
               length) == static_cast<ssize_t>(message.size());
    if (!sent && !failureLogged) {
        failureLogged = true;
        ServeLog(std::string("systemd was not told (NOTIFY_SOCKET): ") + std::strerror(errno));
    }
    return sent;
}
