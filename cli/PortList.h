#pragma once
// The serial ports "ports" lists: the stable names under /dev/serial/by-id first, then the USB
// serial and modem device nodes (ttyUSB*, ttyACM*), each group sorted. The one place to point
// at a fuller discovery of modems when there is one.

#include <string>
#include <vector>

std::vector<std::string> FindSerialPorts(const std::string& deviceFolder = "/dev");
