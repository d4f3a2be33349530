#pragma once
// The phonebook commands of 3GPP TS 27.007 8.11-8.12: +CPBS selects "SM" or "ME", +CPBR reads
// one position or a range, +CPBW writes one position or, given the position alone, erases it.
// A free position read alone is answered with a bare "OK".

#include "tools/phonesim/CommandGroup.h"
#include "tools/phonesim/Fixture.h"
#include "tools/phonesim/PhoneSettings.h"

#include <string>

class PhonebookCommands final : public CommandGroup {
public:
    PhonebookCommands(Fixture& phoneData, const PhoneSettings& shared)
        : fixture(phoneData), settings(shared) {}

    bool Run(const std::string& name, const CommandArgs& args, CommandResult& result) override;

private:
    CommandResult Cpbs(const CommandArgs& args);
    CommandResult Cpbr(const CommandArgs& args);
    CommandResult Cpbw(const CommandArgs& args);

    std::string EntryLine(int position, const PhonebookEntry& entry) const;

    Fixture& fixture;
    const PhoneSettings& settings;
    Storage memory = Storage::SM;
};
