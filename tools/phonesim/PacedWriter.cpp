#include "tools/phonesim/PacedWriter.h"

#include "tools/phonesim/StopSignal.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <utility>

PacedWriter::PacedWriter(int master, int baud, std::function<bool()> listening)
    : fd(master), lineOpen(std::move(listening)),
      byteTime(std::chrono::nanoseconds(10'000'000'000LL / std::max(baud, 1))),
      lineFree(std::chrono::steady_clock::now()) {}

bool PacedWriter::WaitWritable() {
    pollfd entry{fd, POLLOUT, 0};
    // A client that keeps the line open without reading holds us here, as flow control would.
    while (!StopRequested() && lineOpen()) {
        if (poll(&entry, 1, 20) > 0 && (entry.revents & POLLOUT) != 0)
            return true;
    }
    return false;
}

bool PacedWriter::Write(const std::string& bytes) {
    const auto start = std::max(std::chrono::steady_clock::now(), lineFree);
    lineFree = start + byteTime * static_cast<long>(bytes.size());
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        // Byte k may leave at start + k byte times.
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const auto due = std::min<std::size_t>(
            bytes.size(), static_cast<std::size_t>(std::max<long>(0, elapsed / byteTime)) + 1);
        if (due <= sent) {
            std::this_thread::sleep_until(start + byteTime * static_cast<long>(sent));
            continue;
        }
        const bool writable = WaitWritable();
        const ssize_t n = writable ? write(fd, bytes.data() + sent, due - sent) : 0;
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            lineFree = std::chrono::steady_clock::now(); // the rest never goes out
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}
