#pragma once
// The serial ports of this machine, found without opening any: the stable /dev/serial/by-id
// links, then ttyUSB*, ttyACM* and the ttyS* that have a real UART behind them, with the USB
// vendor and product read from sysfs. Plain C++ over a root folder, so that tests build a fake
// /dev and /sys and every front end (the COM settings dialog, the command line) shares it.

#include <string>
#include <vector>

struct SerialPortInfo {
    std::string path;      // what to open: a by-id link or a /dev node, as seen from "/"
    std::string device;    // the kernel node it leads to ("/dev/ttyUSB0")
    std::string vendorId;  // USB idVendor ("12d1"), empty when not a USB device
    std::string productId; // USB idProduct
    std::string manufacturer;
    std::string product;
    std::string interfaceNumber; // USB bInterfaceNumber ("02"): which port of a multi-port modem

    // "HUAWEI Mobile (12d1:1001), interface 02"; empty for a port without USB details.
    std::string Description() const;
};

// The ports under `root` (a test's fake tree; "/" for the real one): by-id links first, then
// the kernel nodes in natural order (ttyS2 before ttyS10). Unreadable parts are skipped.
std::vector<SerialPortInfo> FindSerialPorts(const std::string& root = "/");

// The root folder the program looks at: "/" unless TELVANE_SYSROOT names another (tests only).
std::string SystemRoot();
