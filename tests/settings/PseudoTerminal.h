#pragma once
// A pseudo-terminal pair for checking what the port configured: the master side reports the
// slave's line settings (TCGETS2 on a master acts on its slave). <asm/termbits.h> clashes with
// <termios.h>: never include both in one file.

#include <asm/termbits.h>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

class PseudoTerminal {
public:
    PseudoTerminal() : master(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
            const char* name = ::ptsname(master);
            if (name != nullptr)
                slavePath = name;
        }
    }
    ~PseudoTerminal() {
        if (master >= 0)
            ::close(master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Ok() const { return !slavePath.empty(); }
    const std::string& SlavePath() const { return slavePath; }

    // The slave's line settings as the port left them.
    termios2 Line() const {
        termios2 tio{};
        ::ioctl(master, TCGETS2, &tio);
        return tio;
    }

private:
    int master;
    std::string slavePath;
};
