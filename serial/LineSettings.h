#pragma once
// The line settings of the serial port, as the settings store keeps them.

#include <cstdint>

struct LineSettings {
    uint32_t baudRate = 0;   // bit/s; 0 is refused
    uint8_t parity = 0;      // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t byteSize = 0;    // data bits, 5 to 8
    uint8_t stopBits = 0;    // 0 one, 1 one and a half (5 data bits only), 2 two
    int32_t flowControl = 0; // 1 CTS output handshake, 2 DTR and RTS held on, anything else none
};
