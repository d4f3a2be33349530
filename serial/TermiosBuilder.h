#pragma once
// The line settings of the port as a Linux termios2 record, built without touching a device so
// that every mode can be checked in a unit test. termios2 (asm/termbits.h) carries any speed
// through BOTHER; it clashes with <termios.h>, so never include both in one file.

#include "serial/LineSettings.h"

#include <asm/termbits.h>
#include <cstdint>

// Turns `tio`, as read from the device, into a raw 8-bit-clean line with the given settings:
// receiver on, modem control lines ignored for reading (CLOCAL), parity checked on input, no
// software flow control, reads that return at once (VMIN 0, VTIME 0; the port times its reads).
// Returns false and leaves `tio` untouched for settings a device refuses.
bool BuildTermios(const LineSettings& settings, termios2& tio);

// Modem lines (TIOCM_* bits) to lower and to raise when the line is configured. DTR is raised
// once more after configuration in every mode.
struct ModemLineChange {
    int lower = 0;
    int raise = 0;
};
ModemLineChange ModemLinesFor(int32_t flowControl);
