#pragma once
// The values of the Write SMS tab that a send uses, read from the form in one go on the
// user-interface thread, so that building and sending can go on elsewhere.

#include "sms/send/IWriteSmsForm.h"

#include <string>

class ISettings;

struct WriteSmsValues {
    std::string sca;       // "Service Centre Address:"
    std::string recipient; // recipient text as shown ("name;number" when a list item was chosen)
    int classIndex = -1;   // selected position of the class list, -1 for none
    std::string pduType;   // "Type ??": remembered only
    bool requestReply = false;
    bool standardSubmit = false;
    bool advancedSubmit = false;
    bool validity = false; // "SMS Validity"
    bool absolute = false;
    bool relative = false;
    std::string pid;            // edit field of the PID list
    std::string dcs;            // edit field of the DCS list
    std::string validityPeriod; // the validity edit
    std::string text;           // "SMS Text:"
};

WriteSmsValues ReadWriteSmsValues(IWriteSmsForm& form);

// Remembers the form for the next activation: "SCA", "RECIPIENT" (each cut to 99 characters),
// "CLASS", "PDUTYPE" when they hold something, "REPLY" and "ADVANCEDSEND" always.
void SaveWriteSmsValues(const WriteSmsValues& values, ISettings& settings);

// How "REPLY" and "ADVANCEDSEND" hold a check box.
inline constexpr const char* kSettingTrue = "TRUE";
inline constexpr const char* kSettingFalse = "FALSE";
