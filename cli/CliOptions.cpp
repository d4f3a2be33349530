#include "cli/CliOptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <span>

namespace {

constexpr std::string_view kUsage =
    R"(Usage: telvane-cli [--port PATH] [--baud N] [--db FILE] [--format text|csv|json] [--yes]
                   COMMAND ...
Commands:
  ports                                     the serial ports found
  counts                                    the message counts of SM and ME
  read [--memory SM|ME] [--move] [--archive]
                                            the messages of one memory
  send --to NUMBER [--sca NUMBER] [--class 0-3|none] [--reply] [--confirm] TEXT|-
                                            a Standard Submit ("-": text from stdin)
  phonebook [--memory SM|ME] [--store]      the phone's phonebook
  archive [--in] [--out] [--search TEXT]    the archived messages
  log FILE                                  the messages of a captured modem log
  watch [--archive] [--move]                each new message and status report as it comes,
                                            until Ctrl+C
Exit status: 0 done, 1 the phone or the database refused or timed out, 2 usage,
130 stopped by Ctrl+C.
)";

struct CommandName {
    std::string_view name;
    CliCommand command;
    std::size_t arguments; // positional arguments after the command
};

constexpr std::array<CommandName, 8> kCommands = {{{"ports", CliCommand::Ports, 0},
                                                   {"counts", CliCommand::Counts, 0},
                                                   {"read", CliCommand::Read, 0},
                                                   {"send", CliCommand::Send, 1},
                                                   {"phonebook", CliCommand::Phonebook, 0},
                                                   {"archive", CliCommand::Archive, 0},
                                                   {"log", CliCommand::Log, 1},
                                                   {"watch", CliCommand::Watch, 0}}};

using Setter = std::function<std::string(CliOptions&, const std::string&)>;

struct OptionRule {
    std::string_view name;
    bool takesValue;
    std::vector<CliCommand> commands; // empty: every command
    Setter set;                       // gives an error text, empty when the value was taken
};

std::string Flag(bool& target) {
    target = true;
    return {};
}

std::string ParseBaud(CliOptions& options, const std::string& value) {
    uint32_t baud = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), baud);
    if (error != std::errc() || end != value.data() + value.size() || baud == 0)
        return "--baud takes a positive number";
    options.baud = baud;
    return {};
}

std::string ParseFormat(CliOptions& options, const std::string& value) {
    const std::optional<OutputFormat> format = FormatNamed(value);
    if (!format)
        return "--format takes text, csv or json";
    options.format = *format;
    return {};
}

std::string ParseMemory(CliOptions& options, const std::string& value) {
    if (value != "SM" && value != "ME")
        return "--memory takes SM or ME";
    options.phoneMemory = value == "ME";
    return {};
}

std::string ParseClass(CliOptions& options, const std::string& value) {
    constexpr int kNoClassPosition = 4;
    if (value == "none") {
        options.classIndex = kNoClassPosition;
        return {};
    }
    if (value.size() != 1 || value[0] < '0' || value[0] > '3')
        return "--class takes 0, 1, 2, 3 or none";
    options.classIndex = value[0] - '0';
    return {};
}

const std::vector<OptionRule>& OptionRules() {
    using C = CliCommand;
    static const std::vector<OptionRule> rules = {
        {"--port",
         true,
         {},
         [](CliOptions& o, const std::string& v) {
             o.port = v;
             return std::string();
         }},
        {"--baud", true, {}, ParseBaud},
        {"--db",
         true,
         {},
         [](CliOptions& o, const std::string& v) {
             o.database = v;
             return std::string();
         }},
        {"--format", true, {}, ParseFormat},
        {"--yes", false, {}, [](CliOptions& o, const std::string&) { return Flag(o.yes); }},
        {"--memory", true, {C::Read, C::Phonebook}, ParseMemory},
        {"--move",
         false,
         {C::Read, C::Watch},
         [](CliOptions& o, const std::string&) { return Flag(o.move); }},
        {"--archive",
         false,
         {C::Read, C::Watch},
         [](CliOptions& o, const std::string&) { return Flag(o.archive); }},
        {"--store",
         false,
         {C::Phonebook},
         [](CliOptions& o, const std::string&) { return Flag(o.store); }},
        {"--to",
         true,
         {C::Send},
         [](CliOptions& o, const std::string& v) {
             o.to = v;
             return std::string();
         }},
        {"--sca",
         true,
         {C::Send},
         [](CliOptions& o, const std::string& v) {
             o.sca = v;
             return std::string();
         }},
        {"--class", true, {C::Send}, ParseClass},
        {"--reply",
         false,
         {C::Send},
         [](CliOptions& o, const std::string&) { return Flag(o.reply); }},
        {"--confirm",
         false,
         {C::Send},
         [](CliOptions& o, const std::string&) { return Flag(o.confirm); }},
        {"--in",
         false,
         {C::Archive},
         [](CliOptions& o, const std::string&) { return Flag(o.archiveIn); }},
        {"--out",
         false,
         {C::Archive},
         [](CliOptions& o, const std::string&) { return Flag(o.archiveOut); }},
        {"--search",
         true,
         {C::Archive},
         [](CliOptions& o, const std::string& v) {
             o.search = v;
             return std::string();
         }},
    };
    return rules;
}

const OptionRule* FindRule(std::string_view name) {
    const auto& rules = OptionRules();
    const auto rule = std::ranges::find(rules, name, &OptionRule::name);
    return rule == rules.end() ? nullptr : &*rule;
}

const CommandName* FindCommand(std::string_view name) {
    const auto found = std::ranges::find(kCommands, name, &CommandName::name);
    return found == kCommands.end() ? nullptr : &*found;
}

// An option met before the command is checked once the command is known.
struct PendingOption {
    const OptionRule* rule;
    std::string value;
};

std::string ApplyOptions(CliOptions& options, const std::vector<PendingOption>& pending) {
    for (const PendingOption& option : pending) {
        const auto& commands = option.rule->commands;
        if (!commands.empty() && std::ranges::find(commands, options.command) == commands.end())
            return std::string(option.rule->name) + " does not go with this command";
        if (std::string error = option.rule->set(options, option.value); !error.empty())
            return error;
    }
    return {};
}

std::string CheckCommand(const CliOptions& options) {
    if (options.command == CliCommand::Send && options.to.empty())
        return "send needs --to NUMBER";
    return {};
}

// Sorts the words into options (with their values), the command and its arguments.
std::string SortWords(std::span<const std::string> words, std::vector<PendingOption>& pending,
                      std::vector<std::string>& positional) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word == "-" || !word.starts_with("-")) {
            positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionRule* rule = FindRule(word);
        if (rule == nullptr)
            return "unknown option " + word;
        std::string value;
        if (rule->takesValue) {
            if (i + 1 >= words.size())
                return word + " needs a value";
            value = words[++i];
        }
        pending.push_back({rule, value});
    }
    return {};
}

ParsedCommandLine Failed(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    if (std::ranges::any_of(arguments,
                            [](const std::string& a) { return a == "--help" || a == "-h"; }))
        return {};
    std::vector<PendingOption> pending;
    std::vector<std::string> positional;
    if (std::string error = SortWords(arguments, pending, positional); !error.empty())
        return Failed(error);
    if (positional.empty())
        return Failed("a command is needed");
    const CommandName* command = FindCommand(positional.front());
    if (command == nullptr)
        return Failed("unknown command " + positional.front());
    if (positional.size() - 1 != command->arguments)
        return Failed(std::string(command->name) +
                      (command->arguments == 0 ? " takes no arguments" : " takes one argument"));
    CliOptions options;
    options.command = command->command;
    if (command->command == CliCommand::Send)
        options.text = positional[1];
    if (command->command == CliCommand::Log)
        options.file = positional[1];
    if (std::string error = ApplyOptions(options, pending); !error.empty())
        return Failed(error);
    if (std::string error = CheckCommand(options); !error.empty())
        return Failed(error);
    return {std::move(options), {}};
}

std::string_view UsageText() {
    return kUsage;
}
