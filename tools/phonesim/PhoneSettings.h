#pragma once
// Settings of the simulated phone that several command groups read.

#include <string>

struct PhoneSettings {
    bool echo = true;            // E
    int cmee = 0;                // +CMEE: 0 plain ERROR, 1 numeric, 2 verbose
    std::string charset = "IRA"; // +CSCS: how phonebook names are written
};
