#pragma once
// A minimal serial client for the simulator's tests: opens the pty link in raw mode, writes
// bytes, and reads until the phone's answer is complete or a bounded wait ends.

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

class PtyClient {
public:
    explicit PtyClient(const std::string& path) {
        fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (fd >= 0 && tcgetattr(fd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd, TCSANOW, &tio);
        }
    }
    ~PtyClient() { Close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool IsOpen() const { return fd >= 0; }
    void Close() {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }

    void Send(const std::string& bytes) const {
        std::size_t done = 0;
        while (fd >= 0 && done < bytes.size()) {
            const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else
                WaitFor(POLLOUT, 50);
        }
    }

    // Reads until `done(received)` holds or `timeoutMs` passes; returns everything read.
    template <typename Done> std::string ReadUntil(Done done, int timeoutMs = 3000) const {
        std::string received;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done(received) && std::chrono::steady_clock::now() < end) {
            if (!WaitFor(POLLIN, 20))
                continue;
            char buffer[256];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

    // Reads whatever arrives within `ms` (for checking that nothing comes).
    std::string ReadFor(int ms) const {
        return ReadUntil([](const std::string&) { return false; }, ms);
    }

    // Sends one command line and returns the answer up to its final result or the prompt.
    std::string Command(const std::string& command, int timeoutMs = 3000) const {
        Send(command + "\r");
        return ReadUntil(IsComplete, timeoutMs);
    }

    // A final result line ends the text, or the "> " prompt does.
    static bool IsComplete(const std::string& text) {
        if (text.ends_with("\r\n> "))
            return true;
        if (!text.ends_with("\r\n"))
            return false;
        const std::size_t start = text.rfind("\r\n", text.size() - 3);
        const std::string last =
            text.substr(start == std::string::npos ? 0 : start + 2,
                        text.size() - 2 - (start == std::string::npos ? 0 : start + 2));
        return last == "OK" || last == "ERROR" || last.starts_with("+CMS ERROR:") ||
               last.starts_with("+CME ERROR:");
    }

private:
    bool WaitFor(short events, int ms) const {
        pollfd entry{fd, events, 0};
        return poll(&entry, 1, ms) > 0 && (entry.revents & events) != 0;
    }

    int fd = -1;
};
