#include "tools/phonesim/Transcript.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

Transcript::~Transcript() {
    if (fd >= 0)
        close(fd);
}

bool Transcript::Open(const std::string& path, std::string& error) {
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        error = path + ": " + std::strerror(errno);
    return fd >= 0;
}

void Transcript::Write(const char* kind, const std::string& text) {
    if (fd < 0)
        return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    std::string line = std::to_string(ms) + " " + kind + " ";
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "<%02X>", static_cast<unsigned char>(c));
            line += hex;
        } else {
            line += c;
        }
    }
    line += '\n';
    // One write per line: a reader never sees half an event unless the disk is full.
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}
