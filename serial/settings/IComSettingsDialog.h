#pragma once
// The "COM Settings" dialog as the IO Settings command sees it: run it modally and get its
// results, or nothing when it was cancelled. The application runs the Qt dialog through this;
// tests run either the real dialog or a fake.

#include <optional>
#include <string>

// What the dialog hands back on OK, as the texts the settings store keeps.
struct ComSettingsChoice {
    std::string speed;   // "2400" ... "115200", or a typed positive number of at most 6 digits
    char parity = '0';   // '0' none, '1' odd, '2' even
    char dataBits = '8'; // '8' or '7'
    std::string port;    // "COM1:" ... "COM4:", or the "Other" text (<= 50 characters) and ':'
    std::string flow;    // "0" none, "1" Xon XOff, "2" HW
};

class IComSettingsDialog {
public:
    virtual ~IComSettingsDialog() = default;
    // Runs the dialog modally, opening on `shown` (the settings in force); nothing when it
    // ended with Cancel.
    virtual std::optional<ComSettingsChoice> Run(const ComSettingsChoice& shown) = 0;
};
