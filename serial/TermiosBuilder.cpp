#include "serial/TermiosBuilder.h"

#include <array>
#include <optional>
#include <sys/ioctl.h>
#include <utility>

namespace {

constexpr std::array<std::pair<uint32_t, tcflag_t>, 30> kStandardSpeeds = {{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

// The Bxxx code of a standard speed, BOTHER (speed in c_ospeed/c_ispeed) for any other.
tcflag_t SpeedCode(uint32_t baud) {
    for (const auto& [speed, code] : kStandardSpeeds)
        if (speed == baud)
            return code;
    return BOTHER;
}

std::optional<tcflag_t> SizeBits(uint8_t byteSize) {
    switch (byteSize) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    case 8:
        return CS8;
    default:
        return std::nullopt;
    }
}

std::optional<tcflag_t> ParityBits(uint8_t parity) {
    switch (parity) {
    case 0:
        return tcflag_t{0};
    case 1:
        return tcflag_t{PARENB | PARODD};
    case 2:
        return tcflag_t{PARENB};
    case 3: // mark: the parity bit always 1
        return tcflag_t{PARENB | CMSPAR | PARODD};
    case 4: // space: the parity bit always 0
        return tcflag_t{PARENB | CMSPAR};
    default:
        return std::nullopt;
    }
}

// Linux sends 1.5 stop bits for CSTOPB with 5 data bits, 2 otherwise.
std::optional<tcflag_t> StopBits(uint8_t stopBits, uint8_t byteSize) {
    if (stopBits == 0)
        return tcflag_t{0};
    if ((stopBits == 1 && byteSize == 5) || stopBits == 2)
        return tcflag_t{CSTOPB};
    return std::nullopt;
}

} // namespace

bool BuildTermios(const LineSettings& settings, termios2& tio) {
    const auto size = SizeBits(settings.byteSize);
    const auto parity = ParityBits(settings.parity);
    const auto stop = StopBits(settings.stopBits, settings.byteSize);
    if (settings.baudRate == 0 || !size || !parity || !stop)
        return false;

    tio.c_iflag &= ~tcflag_t{IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                             IXOFF | IXANY | IGNPAR};
    tio.c_iflag |= INPCK;
    tio.c_oflag &= ~tcflag_t{OPOST};
    tio.c_lflag &= ~tcflag_t{ECHO | ECHONL | ICANON | ISIG | IEXTEN};

    tio.c_cflag &= ~tcflag_t{CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | CIBAUD};
    tio.c_cflag |= CLOCAL | CREAD | *size | *parity | *stop | SpeedCode(settings.baudRate);
    // Linux has no DSR output handshake; CTS is the part of mode 1 it can do.
    if (settings.flowControl == 1)
        tio.c_cflag |= CRTSCTS;
    tio.c_ispeed = settings.baudRate;
    tio.c_ospeed = settings.baudRate;

    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return true;
}

ModemLineChange ModemLinesFor(int32_t flowControl) {
    if (flowControl == 2)
        return {0, TIOCM_DTR | TIOCM_RTS};
    return {TIOCM_DTR | TIOCM_RTS, 0};
}
