#include "cli/CliOptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <span>

namespace {

constexpr std::string_view kUsage =
    R"(Usage: telvane-cli [--port PATH] [--baud N] [--db FILE] [--format text|csv|json]
                   [--no-header] [--yes] COMMAND ...
       telvane-cli --version | --help
Commands:
  ports                                     the serial ports found
  counts                                    the message counts of SM and ME
  read [--memory SM|ME] [--move] [--archive]
                                            the messages of one memory, as the window lists them
  read --all [--memory SM|ME] [--join]      every stored message, by storage position
  get [--memory SM|ME] INDEX                the message at one storage position
  delete [--memory SM|ME] INDEX... | --all  deletes messages (--all asks unless --yes)
  send --to NUMBER [--sca NUMBER] [--class 0-3|none] [--flash] [--report] [--validity 2h|3d]
       [--max-parts N] [--confirm] TEXT|-   sends a message ("-": text from stdin)
  smsc [NUMBER]                             the phone's service centre: shows it, or sets it
  phonebook [--memory SM|ME] [--store]      the phone's phonebook
  phonebook [--memory SM|ME] write POS NUMBER NAME
  phonebook [--memory SM|ME] delete POS
  phonebook [--memory SM|ME] export --vcard the phonebook as vCards
  phonebook import FILE.vcf --memory SM|ME|db
  info                                      maker, model, revision, IMEI, IMSI, operator, signal
  ussd CODE                                 sends a USSD code and prints the answer
  archive [--in] [--out] [--search TEXT]    the archived messages
  log FILE                                  the messages of a captured modem log
  watch [--archive] [--move]                each new message and status report as it comes,
                                            until Ctrl+C
  queue --to NUMBER [--report] TEXT|-       puts a message in the outbox for serve to send
  serve [--keep] [--on-receive PROGRAM] [--part-timeout S] [--hook-timeout S]
        [--tries N] [--retry-after S] [--reset-after N] [--health-every S]
        [--claim-time S]
                                            archives every message and sends the outbox, until
                                            SIGTERM or Ctrl+C
  db init --db postgresql://USER@HOST/NAME  makes the tables and option rows in an empty
                                            database on a PostgreSQL server
Exit status: 0 done, 1 the phone or the database refused or timed out, 2 usage,
130 stopped by Ctrl+C.
)";

struct CommandName {
    std::string_view name;
    CliCommand command;
    std::size_t fewest; // positional arguments after the command
    std::size_t most;
};

constexpr std::size_t kMany = 1000;

constexpr std::array<CommandName, 16> kCommands = {{{"ports", CliCommand::Ports, 0, 0},
                                                    {"counts", CliCommand::Counts, 0, 0},
                                                    {"read", CliCommand::Read, 0, 0},
                                                    {"get", CliCommand::Get, 1, 1},
                                                    {"delete", CliCommand::Delete, 0, kMany},
                                                    {"send", CliCommand::Send, 1, 1},
                                                    {"smsc", CliCommand::Smsc, 0, 1},
                                                    {"phonebook", CliCommand::Phonebook, 0, 4},
                                                    {"info", CliCommand::Info, 0, 0},
                                                    {"ussd", CliCommand::Ussd, 1, 1},
                                                    {"archive", CliCommand::Archive, 0, 0},
                                                    {"log", CliCommand::Log, 1, 1},
                                                    {"watch", CliCommand::Watch, 0, 0},
                                                    {"queue", CliCommand::Queue, 1, 1},
                                                    {"serve", CliCommand::Serve, 0, 0},
                                                    {"db", CliCommand::Db, 1, 1}}};

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
    if (value != "SM" && value != "ME" && value != "db")
        return "--memory takes SM or ME (or db for phonebook import)";
    options.phoneMemory = value == "ME";
    options.databaseMemory = value == "db";
    return {};
}

std::string ParseMaxParts(CliOptions& options, const std::string& value) {
    constexpr int kMostParts = 255;
    int parts = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parts);
    if (error != std::errc() || end != value.data() + value.size() || parts < 1 ||
        parts > kMostParts)
        return "--max-parts takes a number from 1 to 255";
    options.maxParts = parts;
    return {};
}

// A number of seconds from 1 to a day.
std::string ParseSeconds(std::string_view option, const std::string& value, int& seconds) {
    constexpr int kDay = 24 * 60 * 60;
    int parsed = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
    if (error != std::errc() || end != value.data() + value.size() || parsed < 1 || parsed > kDay)
        return std::string(option) + " takes a number from 1 to 86400";
    seconds = parsed;
    return {};
}

// --health-every: 0 logs the health at the start only.
std::string ParseHealthSeconds(const std::string& value, int& seconds) {
    if (value == "0") {
        seconds = 0;
        return {};
    }
    if (ParseSeconds("--health-every", value, seconds).empty())
        return {};
    return "--health-every takes a number from 0 to 86400";
}

// "30m", "2h", "3d" or "2w": what the relative validity period can say (3GPP TS 23.040
// 9.2.3.12.1 reaches from 5 minutes to 63 weeks).
std::string ParseValidity(CliOptions& options, const std::string& value) {
    constexpr int kMinutesPerHour = 60;
    constexpr int kMinutesPerDay = 24 * kMinutesPerHour;
    constexpr int kMinutesPerWeek = 7 * kMinutesPerDay;
    constexpr int kLongest = 63 * kMinutesPerWeek;
    constexpr int kShortest = 5;
    const char* usage = "--validity takes a time such as 30m, 2h, 3d or 2w (5m to 63w)";
    if (value.size() < 2)
        return usage;
    int count = 0;
    const char* last = value.data() + value.size() - 1;
    const auto [end, error] = std::from_chars(value.data(), last, count);
    if (error != std::errc() || end != last || count < 1)
        return usage;
    long long minutes = count;
    switch (*last) {
    case 'm':
        break;
    case 'h':
        minutes *= kMinutesPerHour;
        break;
    case 'd':
        minutes *= kMinutesPerDay;
        break;
    case 'w':
        minutes *= kMinutesPerWeek;
        break;
    default:
        return usage;
    }
    if (minutes < kShortest || minutes > kLongest)
        return usage;
    options.validityMinutes = static_cast<int>(minutes);
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
        {"--no-header",
         false,
         {},
         [](CliOptions& o, const std::string&) { return Flag(o.noHeader); }},
        {"--memory", true, {C::Read, C::Get, C::Delete, C::Phonebook}, ParseMemory},
        {"--all",
         false,
         {C::Read, C::Delete},
         [](CliOptions& o, const std::string&) { return Flag(o.all); }},
        {"--join",
         false,
         {C::Read, C::Get},
         [](CliOptions& o, const std::string&) { return Flag(o.join); }},
        {"--vcard",
         false,
         {C::Phonebook},
         [](CliOptions& o, const std::string&) { return Flag(o.vcard); }},
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
         {C::Send, C::Queue},
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
        {"--report",
         false,
         {C::Send, C::Queue},
         [](CliOptions& o, const std::string&) { return Flag(o.report); }},
        {"--reply",
         false,
         {C::Send},
         [](CliOptions& o, const std::string&) { return Flag(o.report); }},
        {"--flash",
         false,
         {C::Send},
         [](CliOptions& o, const std::string&) { return Flag(o.flash); }},
        {"--max-parts", true, {C::Send}, ParseMaxParts},
        {"--validity", true, {C::Send}, ParseValidity},
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
        {"--keep",
         false,
         {C::Serve},
         [](CliOptions& o, const std::string&) { return Flag(o.keep); }},
        {"--on-receive",
         true,
         {C::Serve},
         [](CliOptions& o, const std::string& v) {
             o.onReceive = v;
             return std::string();
         }},
        {"--part-timeout",
         true,
         {C::Serve},
         [](CliOptions& o, const std::string& v) {
             return ParseSeconds("--part-timeout", v, o.partTimeoutSeconds);
         }},
        {"--tries",
         true,
         {C::Serve},
         [](CliOptions& o, const std::string& v) {
             return ParseSeconds("--tries", v, o.sendTries);
         }},
        {"--retry-after",
         true,
         {C::Serve},
         [](CliOptions& o, const std::string& v) {
             return ParseSeconds("--retry-after", v, o.retrySeconds);
         }},
        {"--health-every",
         true,
         {C::Serve},
         [](CliOptions& o, const std::string& v) {
             return ParseHealthSeconds(v, o.healthSeconds);
         }},
        {"--hook-timeout",
         true,
         {C::Serve},
         [](CliOptions& o, const std::string& v) {
             return ParseSeconds("--hook-timeout", v, o.hookTimeoutSeconds);
         }},
        {"--claim-time",
         true,
         {C::Serve},
         [](CliOptions& o, const std::string& v) {
             return ParseSeconds("--claim-time", v, o.claimSeconds);
         }},
        {"--reset-after",
         true,
         {C::Serve},
         [](CliOptions& o, const std::string& v) {
             return ParseSeconds("--reset-after", v, o.resetAfter);
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

bool IsPosition(const std::string& word) {
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return !word.empty() && error == std::errc() && end == word.data() + word.size() && value >= 0;
}

struct PhonebookWord {
    std::string_view word;
    PhonebookAction action;
    std::size_t arguments; // after the word
};

constexpr std::array<PhonebookWord, 4> kPhonebookWords = {{{"write", PhonebookAction::Write, 3},
                                                           {"delete", PhonebookAction::Delete, 1},
                                                           {"export", PhonebookAction::Export, 0},
                                                           {"import", PhonebookAction::Import, 1}}};

std::string CheckPhonebook(CliOptions& options) {
    std::vector<std::string>& words = options.arguments;
    if (words.empty())
        return options.databaseMemory ? "--memory db goes with phonebook import only" : "";
    const auto found = std::ranges::find(kPhonebookWords, words.front(), &PhonebookWord::word);
    if (found == kPhonebookWords.end())
        return "phonebook takes write, delete, export or import, not " + words.front();
    if (words.size() - 1 != found->arguments)
        return "phonebook " + std::string(found->word) + " takes " +
               std::to_string(found->arguments) +
               (found->arguments == 1 ? " argument" : " arguments");
    options.phonebookAction = found->action;
    words.erase(words.begin());
    if ((found->action == PhonebookAction::Write || found->action == PhonebookAction::Delete) &&
        !IsPosition(words.front()))
        return "phonebook " + std::string(found->word) + " takes a position number, not " +
               words.front();
    if (found->action == PhonebookAction::Export && !options.vcard)
        return "phonebook export needs --vcard (the one format it writes)";
    if (options.databaseMemory && found->action != PhonebookAction::Import)
        return "--memory db goes with phonebook import only";
    if (options.store && options.phonebookAction != PhonebookAction::List)
        return "--store goes with the phonebook list only";
    return {};
}

std::string CheckCommand(CliOptions& options) {
    if (options.command == CliCommand::Send && options.to.empty())
        return "send needs --to NUMBER";
    if (options.command == CliCommand::Queue && options.to.empty())
        return "queue needs --to NUMBER";
    if (options.command == CliCommand::Phonebook)
        return CheckPhonebook(options);
    if (options.command == CliCommand::Db && options.arguments.front() != "init")
        return "db takes init, not " + options.arguments.front();
    if (options.databaseMemory)
        return "--memory db goes with phonebook import only";
    if (options.command == CliCommand::Delete && options.all != options.arguments.empty())
        return "delete takes the positions to delete, or --all";
    if (options.command == CliCommand::Read && (options.join && !options.all))
        return "--join goes with read --all and get";
    if (options.command == CliCommand::Read && options.all && (options.move || options.archive))
        return "--move and --archive go with read without --all";
    if (options.command == CliCommand::Get || options.command == CliCommand::Delete) {
        const auto bad = std::ranges::find_if_not(options.arguments, IsPosition);
        if (bad != options.arguments.end())
            return "a position is a number, not " + *bad;
    }
    if (options.noHeader && options.format != OutputFormat::Csv)
        return "--no-header goes with --format csv";
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
    if (std::ranges::find(arguments, "--version") != arguments.end()) {
        if (arguments.size() != 1)
            return Failed("--version stands alone");
        CliOptions options;
        options.command = CliCommand::Version;
        return {std::move(options), {}};
    }
    std::vector<PendingOption> pending;
    std::vector<std::string> positional;
    if (std::string error = SortWords(arguments, pending, positional); !error.empty())
        return Failed(error);
    if (positional.empty())
        return Failed("a command is needed");
    const CommandName* command = FindCommand(positional.front());
    if (command == nullptr)
        return Failed("unknown command " + positional.front());
    const std::size_t given = positional.size() - 1;
    if (given < command->fewest || given > command->most)
        return Failed(std::string(command->name) + (command->most == 0 ? " takes no arguments"
                                                    : command->fewest == 1 && command->most == 1
                                                        ? " takes one argument"
                                                        : " takes other arguments"));
    CliOptions options;
    options.command = command->command;
    options.arguments.assign(positional.begin() + 1, positional.end());
    if (command->command == CliCommand::Send || command->command == CliCommand::Queue)
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
