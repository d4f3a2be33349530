#pragma once
// A pseudo-terminal for port tests: the test plays the phone on the master side, the port under
// test opens SlavePath(). A second descriptor on the slave stays open so that the master keeps
// working while the port is closed and reopened.

#include <array>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <string_view>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        std::array<char, 128> name{};
        if (::ptsname_r(master, name.data(), name.size()) != 0)
            return;
        slavePath = name.data();
        slaveKeeper = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~PtyPair() {
        if (slaveKeeper >= 0)
            ::close(slaveKeeper);
        if (master >= 0)
            ::close(master);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ready() const { return master >= 0 && slaveKeeper >= 0; }
    const std::string& SlavePath() const { return slavePath; }
    int Master() const { return master; }

    // What the phone sends.
    void Send(std::string_view text) const {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t count = ::write(master, text.data() + done, text.size() - done);
            if (count <= 0)
                return;
            done += static_cast<std::size_t>(count);
        }
    }

    // Everything the port wrote, until `quiet` passes without a byte.
    std::string Drain(std::chrono::milliseconds quiet = std::chrono::milliseconds(300)) const {
        std::string received;
        std::array<char, 256> buffer{};
        for (;;) {
            pollfd entry{master, POLLIN, 0};
            if (::poll(&entry, 1, static_cast<int>(quiet.count())) <= 0)
                return received;
            const ssize_t count = ::read(master, buffer.data(), buffer.size());
            if (count <= 0)
                return received;
            received.append(buffer.data(), static_cast<std::size_t>(count));
        }
    }

private:
    int master = -1;
    int slaveKeeper = -1;
    std::string slavePath;
};
