#pragma once
// A set of extended commands the simulated phone knows (SMS, phonebook, device).

#include "tools/phonesim/CommandResult.h"
#include "tools/phonesim/CommandSyntax.h"

#include <string>

class CommandGroup {
public:
    virtual ~CommandGroup() = default;
    // Runs the command `name` (upper case, "+" included) when this group knows it; returns false
    // and leaves `result` alone otherwise.
    virtual bool Run(const std::string& name, const CommandArgs& args, CommandResult& result) = 0;
};

// Looks `name` up in a table of {name, member} rows and runs the member on `group`.
template <typename Group, std::size_t N>
bool RunFromTable(
    Group& group,
    const std::pair<const char*, CommandResult (Group::*)(const CommandArgs&)> (&table)[N],
    const std::string& name, const CommandArgs& args, CommandResult& result) {
    for (const auto& [rowName, member] : table) {
        if (name == rowName) {
            result = (group.*member)(args);
            return true;
        }
    }
    return false;
}
