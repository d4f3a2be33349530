#include "tools/phonesim/DeviceCommands.h"

#include "tools/phonesim/Charset.h"

#include <utility>

CommandResult ExecuteOnly(const CommandArgs& args, const std::string& line) {
    switch (args.form) {
    case CommandForm::Execute:
        return OkResult({line});
    case CommandForm::Test:
        return OkResult();
    case CommandForm::Read:
    case CommandForm::Set:
        return ErrorResult();
    }
    return ErrorResult();
}

namespace {

// The location area and cell of +CREG=2's answers.
constexpr const char* kCellFields = R"(,"00C3","1A2B")";

// A set-only setting holding one number from 0 to `max`: its read, test and set forms.
CommandResult NumberSetting(const CommandArgs& args, const std::string& name, int max, int& value) {
    switch (args.form) {
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Read:
        return OkResult({name + ": " + std::to_string(value)});
    case CommandForm::Test:
        return OkResult({name + ": (0-" + std::to_string(max) + ")"});
    case CommandForm::Set:
        break;
    }
    int chosen = 0;
    if (args.params.size() != 1 || !ParseIntParam(args.params[0], chosen) || chosen > max)
        return CmeErrorResult(kCmeIncorrectParameters);
    value = chosen;
    return OkResult();
}

} // namespace

bool DeviceCommands::Run(const std::string& name, const CommandArgs& args, CommandResult& result) {
    using Row = std::pair<const char*, CommandResult (DeviceCommands::*)(const CommandArgs&)>;
    static const Row table[] = {
        {"+CGMI", &DeviceCommands::Manufacturer}, {"+GMI", &DeviceCommands::Manufacturer},
        {"+CGMM", &DeviceCommands::Model},        {"+GMM", &DeviceCommands::Model},
        {"+CGMR", &DeviceCommands::Revision},     {"+GMR", &DeviceCommands::Revision},
        {"+CGSN", &DeviceCommands::SerialNumber}, {"+GSN", &DeviceCommands::SerialNumber},
        {"+CIMI", &DeviceCommands::Imsi},         {"+GCAP", &DeviceCommands::Capabilities},
        {"+CMEE", &DeviceCommands::Cmee},         {"+CSCS", &DeviceCommands::Cscs},
        {"+CFUN", &DeviceCommands::Cfun},         {"+CPIN", &DeviceCommands::Cpin},
        {"+CSQ", &DeviceCommands::Csq},           {"+CREG", &DeviceCommands::Creg},
        {"+COPS", &DeviceCommands::Cops},         {"+CBC", &DeviceCommands::Cbc},
        {"+CHUP", &DeviceCommands::Chup},
    };
    return RunFromTable(*this, table, name, args, result);
}

CommandResult DeviceCommands::Manufacturer(const CommandArgs& args) {
    return ExecuteOnly(args, kManufacturer);
}
CommandResult DeviceCommands::Model(const CommandArgs& args) {
    return ExecuteOnly(args, kModel);
}
CommandResult DeviceCommands::Revision(const CommandArgs& args) {
    return ExecuteOnly(args, kRevision);
}
CommandResult DeviceCommands::SerialNumber(const CommandArgs& args) {
    return ExecuteOnly(args, kImei);
}
CommandResult DeviceCommands::Imsi(const CommandArgs& args) {
    return ExecuteOnly(args, kImsi);
}
CommandResult DeviceCommands::Capabilities(const CommandArgs& args) {
    return ExecuteOnly(args, "+GCAP: +CGSM");
}
CommandResult DeviceCommands::Cbc(const CommandArgs& args) {
    return ExecuteOnly(args, "+CBC: 0,80");
}
// No call is ever up; hanging up succeeds all the same, as on an idle phone.
CommandResult DeviceCommands::Chup(const CommandArgs& args) {
    return args.form == CommandForm::Execute || args.form == CommandForm::Test ? OkResult()
                                                                               : ErrorResult();
}
CommandResult DeviceCommands::Csq(const CommandArgs& args) {
    if (args.form == CommandForm::Test)
        return OkResult({"+CSQ: (0-31,99),(0-7,99)"});
    return ExecuteOnly(args, "+CSQ: 21,99");
}

CommandResult DeviceCommands::Cmee(const CommandArgs& args) {
    return NumberSetting(args, "+CMEE", 2, settings.cmee);
}

CommandResult DeviceCommands::Cscs(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Read:
        return OkResult({"+CSCS: \"" + settings.charset + "\""});
    case CommandForm::Test:
        return OkResult({std::string("+CSCS: ") + kCharsets});
    case CommandForm::Set:
        break;
    }
    std::string charset;
    if (args.params.size() != 1 || !UnquoteParam(args.params[0], charset) ||
        !IsKnownCharset(charset))
        return CmeErrorResult(kCmeNotSupported);
    settings.charset = charset;
    return OkResult();
}

CommandResult DeviceCommands::Cfun(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Read:
        return OkResult({"+CFUN: " + std::to_string(functionality)});
    case CommandForm::Test:
        return OkResult({"+CFUN: (0,1,4),(0,1)"});
    case CommandForm::Set:
        break;
    }
    int level = 0;
    int reset = 0;
    if (args.params.empty() || args.params.size() > 2 || !ParseIntParam(args.params[0], level) ||
        (level != 0 && level != 1 && level != 4) ||
        (args.params.size() == 2 && (!ParseIntParam(args.params[1], reset) || reset > 1)))
        return CmeErrorResult(kCmeIncorrectParameters);
    functionality = level;
    return OkResult();
}

CommandResult DeviceCommands::Cpin(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Read:
        return OkResult({"+CPIN: READY"});
    case CommandForm::Test:
        return OkResult();
    case CommandForm::Execute:
    case CommandForm::Set:
        // Nothing to unlock: the SIM asks for no PIN.
        return CmeErrorResult(kCmeNotAllowed);
    }
    return ErrorResult();
}

CommandResult DeviceCommands::Creg(const CommandArgs& args) {
    if (args.form != CommandForm::Read)
        return NumberSetting(args, "+CREG", 2, registrationReports);
    std::string line =
        "+CREG: " + std::to_string(registrationReports) + "," + std::to_string(registration);
    if (registrationReports == 2)
        line += kCellFields;
    return OkResult({line});
}

std::vector<std::string> DeviceCommands::ChangeRegistration(int stat) {
    if (stat == registration)
        return {};
    registration = stat;
    if (registrationReports == 0)
        return {};
    std::string line = "+CREG: " + std::to_string(stat);
    if (registrationReports == 2)
        line += kCellFields;
    return {line};
}

CommandResult DeviceCommands::Cops(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Read:
        return OkResult({R"(+COPS: 0,0,"Test Network")"});
    case CommandForm::Test:
        return OkResult({R"(+COPS: (2,"Test Network","TEST","00101"),,(0-4),(0-2))"});
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Set:
        return CmeErrorResult(kCmeNotAllowed);
    }
    return ErrorResult();
}
