#include "serial/CComPort.h"

#include "core/TextHelpers.h"
#include "serial/PortDiagnosis.h"
#include "serial/PortName.h"
#include "serial/SerialPorts.h"
#include "serial/TermiosBuilder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Read time-outs: 10 ms of silence after a byte, 10 + 5 ms per byte asked for in all.
constexpr milliseconds kReadInterval{10};
constexpr milliseconds kReadTotal{10 + 5 * static_cast<int>(CComPort::kReadSize)};
// Write time-out: 100 ms + 10 ms per byte.
constexpr milliseconds kWriteConstant{100};
constexpr milliseconds kWritePerByte{10};

template <typename... Args> int IoctlRetry(int fd, unsigned long request, Args... args) {
    int result = 0;
    do {
        result = ::ioctl(fd, request, args...);
    } while (result < 0 && errno == EINTR);
    return result;
}

// A pseudo-terminal has no modem lines and answers ENOTTY; that is no failure.
bool ModemIoctl(int fd, unsigned long request, int bits) {
    if (bits == 0)
        return true;
    return IoctlRetry(fd, request, &bits) == 0 || errno == ENOTTY;
}

int WaitMs(Clock::duration remaining) {
    const auto ms = std::chrono::ceil<milliseconds>(remaining).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX));
}

// Waits for `events` on fd for at most `remaining`; what poll reported, 0 when nothing came.
short PollEvents(int fd, short events, Clock::time_point end) {
    for (;;) {
        const auto remaining = end - Clock::now();
        if (remaining <= Clock::duration::zero())
            return 0;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, WaitMs(remaining));
        if (ready > 0)
            return entry.revents;
        if (ready == 0 || errno != EINTR)
            return 0;
    }
}

bool PollFor(int fd, short events, Clock::time_point end) {
    return PollEvents(fd, events, end) != 0;
}

// The errors of a device that has gone away (unplugged, or a pty whose other side closed).
bool DeviceGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

// Opens the device for this process alone. TIOCEXCL does not stop root, so the advisory lock is
// what refuses a second opener (also within this process: the lock is per open file). On
// failure `error` holds the errno of the step that failed.
FileDescriptor OpenExclusive(const std::string& path, int& error) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    error = errno;
    FileDescriptor device(fd);
    if (!device.Valid())
        return device;
    int locked = -1;
    do {
        locked = ::flock(device.Get(), LOCK_EX | LOCK_NB);
    } while (locked < 0 && errno == EINTR);
    error = errno;
    if (locked != 0)
        device.Reset();
    return device;
}

struct TimedRead {
    std::size_t got = 0;
    bool gone = false; // hung up, or an error of a vanished device
};

// Bytes until the port has been silent for the interval or the total time has passed.
TimedRead ReadTimed(int fd, char* buffer, std::size_t size) {
    const auto end = Clock::now() + kReadTotal;
    TimedRead result;
    while (result.got < size) {
        const auto wait = result.got == 0 ? end : std::min(end, Clock::now() + kReadInterval);
        const short events = PollEvents(fd, POLLIN, wait);
        if (events == 0)
            break;
        if ((events & POLLIN) == 0) { // only a hang-up or an error: nothing more will come
            result.gone = (events & (POLLHUP | POLLERR | POLLNVAL)) != 0;
            break;
        }
        const ssize_t count = ::read(fd, buffer + result.got, size - result.got);
        if (count > 0) {
            result.got += static_cast<std::size_t>(count);
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
            // End of file after a hang-up, or EIO once a pseudo-terminal's other side has gone.
            result.gone = count == 0 || DeviceGoneError(errno);
            break;
        }
    }
    return result;
}

// The steps after the device is open and locked; the failure message, empty on success.
std::string_view Configure(int fd, const LineSettings& settings) {
    if (::isatty(fd) == 0)
        return "cannot create com device / 2";
    IoctlRetry(fd, TIOCEXCL); // keeps other users out; root passes, the lock stops it
    termios2 tio{};
    if (IoctlRetry(fd, TCGETS2, &tio) != 0)
        return "cannot get com state";
    const ModemLineChange lines = ModemLinesFor(settings.flowControl);
    if (!BuildTermios(settings, tio) || IoctlRetry(fd, TCSETS2, &tio) != 0 ||
        !ModemIoctl(fd, TIOCMBIC, lines.lower) || !ModemIoctl(fd, TIOCMBIS, lines.raise))
        return "cannot set comm state";
    // Reads and writes are timed with poll() on a non-blocking descriptor.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        return "cannot set comm timeout";
    if (!ModemIoctl(fd, TIOCMBIS, TIOCM_DTR))
        return "cannot escape comm";
    return {};
}

} // namespace

CComPort::CComPort(IMessageSink& sink) : messages(sink) {}

CComPort::~CComPort() {
    Close();
}

void CComPort::SetPortName(std::string_view name) {
    // Characters, not bytes: the settings store keeps 99 characters of any alphabet.
    const bool tooLong = CutToCharacters(name, kMaxPortName).size() < name.size();
    if (name.empty() || tooLong || name.find('\0') != std::string_view::npos)
        return;
    std::lock_guard lock(settingsLock);
    portName = name;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the settings code's fixed signature
void CComPort::SetLineSettings(uint32_t baud, uint8_t parityCode, uint8_t dataBits,
                               uint8_t stopBitsCode, int32_t flow) {
    std::lock_guard lock(settingsLock);
    settings.baudRate = baud;
    settings.parity = parityCode;
    settings.byteSize = dataBits;
    settings.stopBits = stopBitsCode;
    settings.flowControl = flow;
}

std::string CComPort::PortName() const {
    std::lock_guard lock(settingsLock);
    return portName;
}

bool CComPort::Switch(int open) {
    if (open != 0)
        return Open();
    Close();
    return true;
}

void CComPort::Close() {
    std::unique_lock lock(fdLock);
    ResetHandle();
}

void CComPort::ResetHandle() {
    // A pseudo-terminal outlives our descriptor while its master is open; left exclusive, it
    // would refuse the next open by an ordinary user.
    if (handle.Valid())
        IoctlRetry(handle.Get(), TIOCNXCL);
    handle.Reset();
}

bool CComPort::Open() {
    std::unique_lock settingsGuard(settingsLock);
    const LineSettings line = settings;
    const std::string name = portName;
    settingsGuard.unlock();
    if (name.empty()) {
        ShowFailure("port name empty!");
        return false;
    }
    const std::string path = DevicePath(name);
    std::string cause;
    std::unique_lock lock(fdLock);
    ResetHandle(); // a second open replaces the first instead of leaking it
    // A live program's UUCP lock file keeps us out, as it does minicom; a stale one does not.
    if (const auto uucp = FindUucpLock(path, SystemRoot()))
        cause = DescribeUucpLock(path, *uucp);
    gone.store(false, std::memory_order_release);
    int error = 0;
    if (cause.empty())
        handle = OpenExclusive(path, error);
    const bool refused = cause.empty() && !handle.Valid();
    const std::string_view failure = handle.Valid() ? Configure(handle.Get(), line)
                                                    : std::string_view("cannot create com device");
    // A half-configured descriptor is no port: a regular file kept open here would take the AT
    // commands into itself (a database given as the port would be overwritten).
    if (!failure.empty())
        ResetHandle();
    lock.unlock(); // the box may block for long; readers and writers must not wait on it
    if (refused)   // looks through /proc: not with the port locked
        cause = DescribeOpenFailure(path, error, SystemRoot());
    if (!failure.empty())
        ShowFailure(failure);
    if (!cause.empty() && statusNote)
        statusNote(cause);
    return failure.empty();
}

int CComPort::DataAvailable() {
    return 1;
}

void CComPort::Read(std::string& text) {
    text.clear();
    std::array<char, kReadSize> buffer{};
    std::size_t got = 0;
    {
        std::shared_lock lock(fdLock);
        if (!handle.Valid())
            return;
        const TimedRead read = ReadTimed(handle.Get(), buffer.data(), buffer.size());
        got = read.got;
        if (read.gone)
            gone.store(true, std::memory_order_release);
    }
    const char* end = std::find(buffer.data(), buffer.data() + got, '\0');
    text.assign(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

int CComPort::Write(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    text = text.substr(0, INT_MAX);
    if (text.empty())
        return 0;
    std::shared_lock lock(fdLock);
    if (!handle.Valid())
        return 0;
    const int fd = handle.Get();
    const auto end =
        Clock::now() + kWriteConstant + kWritePerByte * static_cast<long long>(text.size());
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count > 0)
            done += static_cast<std::size_t>(count);
        else if (count < 0 && errno == EAGAIN) {
            if (!PollFor(fd, POLLOUT, end))
                break;
        } else if (count == 0 || errno != EINTR) {
            if (count < 0 && DeviceGoneError(errno))
                gone.store(true, std::memory_order_release);
            break;
        }
    }
    return static_cast<int>(done);
}

bool CComPort::IsOpen() const {
    std::shared_lock lock(fdLock);
    return handle.Valid();
}

void CComPort::ShowFailure(std::string_view text) {
    messages.ShowMessage({std::string(text), std::string(), BoxButtons::Ok, BoxIcon::None, false});
}

void CComPort::ReadAvailable(std::string& text, std::chrono::milliseconds wait) {
    text.clear();
    std::shared_lock lock(fdLock);
    if (!handle.Valid())
        return;
    const int fd = handle.Get();
    const short events = PollEvents(fd, POLLIN, Clock::now() + wait);
    if (events == 0)
        return;
    if ((events & POLLIN) == 0) {
        if ((events & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            gone.store(true, std::memory_order_release);
        return;
    }
    text.resize(kLineReadSize);
    const ssize_t count = ::read(fd, text.data(), text.size());
    if (count > 0) {
        text.resize(static_cast<std::size_t>(count));
        std::erase(text, '\0');
        return;
    }
    text.clear();
    if (count == 0 || (errno != EINTR && errno != EAGAIN && DeviceGoneError(errno)))
        gone.store(true, std::memory_order_release);
}
