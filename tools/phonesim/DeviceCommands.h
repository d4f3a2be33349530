#pragma once
// What AT clients ask a phone before anything else: identification (+CGMI, +CGMM, +CGMR,
// +CGSN, +CIMI and their V.250 twins), error reporting (+CMEE), character set (+CSCS), and the
// state of the phone, the SIM and the network (+CFUN, +CPIN, +CSQ, +CREG, +COPS, +CBC, +CHUP).
// The simulated phone is always switched on and its SIM unlocked; it is registered at home until
// told otherwise (ChangeRegistration).

#include "tools/phonesim/CommandGroup.h"
#include "tools/phonesim/PhoneSettings.h"

#include <string>
#include <vector>

// Identification of the simulated phone (a test network's IMSI, an IMEI with a valid check
// digit).
inline constexpr const char* kManufacturer = "Telvane";
inline constexpr const char* kModel = "PhoneSim GSM";
inline constexpr const char* kRevision = "1.0";
inline constexpr const char* kImei = "490154203237518";
inline constexpr const char* kImsi = "001010123456789";

class DeviceCommands final : public CommandGroup {
public:
    explicit DeviceCommands(PhoneSettings& shared) : settings(shared) {}

    bool Run(const std::string& name, const CommandArgs& args, CommandResult& result) override;
    // The network registration becomes <stat> (27.007 7.2: 0-5); the unsolicited "+CREG:" that
    // tells of it when AT+CREG=1 or 2 asked for them (none for a status that did not change).
    std::vector<std::string> ChangeRegistration(int stat);

private:
    CommandResult Manufacturer(const CommandArgs& args);
    CommandResult Model(const CommandArgs& args);
    CommandResult Revision(const CommandArgs& args);
    CommandResult SerialNumber(const CommandArgs& args);
    CommandResult Imsi(const CommandArgs& args);
    CommandResult Capabilities(const CommandArgs& args);
    CommandResult Cmee(const CommandArgs& args);
    CommandResult Cscs(const CommandArgs& args);
    CommandResult Cfun(const CommandArgs& args);
    CommandResult Cpin(const CommandArgs& args);
    CommandResult Csq(const CommandArgs& args);
    CommandResult Creg(const CommandArgs& args);
    CommandResult Cops(const CommandArgs& args);
    CommandResult Cbc(const CommandArgs& args);
    CommandResult Chup(const CommandArgs& args);

    PhoneSettings& settings;
    int functionality = 1;
    int registrationReports = 0;
    int registration = 1; // home
};

// The answer of a command that only executes (and answers its test form with a bare OK).
CommandResult ExecuteOnly(const CommandArgs& args, const std::string& line);
