#pragma once
// The four forms of an extended command (ITU-T V.250 5.4) and its parameter list.

#include <string>
#include <vector>

enum class CommandForm {
    Execute, // +CMD
    Read,    // +CMD?
    Test,    // +CMD=?
    Set,     // +CMD=<params>
};

struct CommandArgs {
    CommandForm form = CommandForm::Execute;
    std::vector<std::string> params; // Set only; quotes kept; an omitted parameter is ""
};

// `text` is what follows the command name ("", "?", "=?", "=1,2"). False when it is none of the
// four forms or a quoted string is not closed.
bool ParseCommandArgs(const std::string& text, CommandArgs& args);

// A decimal parameter of at most 9 digits; false for anything else (or an omitted one).
bool ParseIntParam(const std::string& param, int& value);

// The parameter without its enclosing quotes; false when it is not quoted.
bool UnquoteParam(const std::string& param, std::string& text);
