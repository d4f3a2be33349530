#include "tools/phonesim/CommandSyntax.h"

#include <cctype>
#include <cstdlib>

namespace {

bool SplitParams(const std::string& list, std::vector<std::string>& params) {
    std::string current;
    bool quoted = false;
    for (char c : list) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            params.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    params.push_back(current);
    return !quoted;
}

} // namespace

bool ParseCommandArgs(const std::string& text, CommandArgs& args) {
    args = CommandArgs{};
    if (text.empty())
        return true;
    if (text == "?") {
        args.form = CommandForm::Read;
        return true;
    }
    if (text == "=?") {
        args.form = CommandForm::Test;
        return true;
    }
    if (text.front() != '=')
        return false;
    args.form = CommandForm::Set;
    return SplitParams(text.substr(1), args.params);
}

bool ParseIntParam(const std::string& param, int& value) {
    if (param.empty() || param.size() > 9)
        return false;
    for (char c : param)
        if (std::isdigit(static_cast<unsigned char>(c)) == 0)
            return false;
    value = std::atoi(param.c_str());
    return true;
}

bool UnquoteParam(const std::string& param, std::string& text) {
    if (param.size() < 2 || param.front() != '"' || param.back() != '"')
        return false;
    text = param.substr(1, param.size() - 2);
    return true;
}
