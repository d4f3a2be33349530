#pragma once
// Port names as the settings store them ("COM1:", "ttyUSB0:", a path) to device paths.

#include <string>
#include <string_view>

// "COMn:" (n >= 1, any letter case) opens /dev/ttyS(n-1); any other name loses one trailing ':'
// and, when it has no '/', gets "/dev/" in front ("ttyUSB0:" -> /dev/ttyUSB0). A name holding a
// '/' is a path and is used as it stands, but for that one trailing ':'.
std::string DevicePath(std::string_view portName);
