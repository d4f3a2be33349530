#pragma once
// The command line of telvane-cli:
//   telvane-cli [--port PATH] [--baud N] [--db FILE] [--format text|csv|json] [--yes] COMMAND ...
// Options may stand before or after the command; "--" ends them (for a text that starts with
// "-"). Which options a command takes is checked here, so a misspelt one is a usage error and
// never silently ignored.

#include "cli/RowPrinter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class CliCommand {
    Ports,
    Counts,
    Read,
    Get,
    Delete,
    Send,
    Smsc,
    Phonebook,
    Info,
    Ussd,
    Archive,
    Log,
    Watch,
    Queue,
    Serve,
    Db,
    Version
};

// What "phonebook" does: list (no word), or the word after it.
enum class PhonebookAction { List, Write, Delete, Export, Import };

struct CliOptions {
    CliCommand command = CliCommand::Ports;
    // Global.
    std::optional<std::string> port;
    std::optional<uint32_t> baud;
    std::string database = "telvane.mdb";
    OutputFormat format = OutputFormat::Text;
    bool yes = false;
    bool noHeader = false; // csv without its header line
    // The words after the command (positions, numbers, a file).
    std::vector<std::string> arguments;
    // read, get, delete, watch and phonebook.
    bool phoneMemory = false;    // --memory ME
    bool databaseMemory = false; // --memory db (phonebook import)
    bool all = false;            // read --all, delete --all
    bool join = false;           // a long message once, joined
    PhonebookAction phonebookAction = PhonebookAction::List;
    bool vcard = false;
    bool move = false;
    bool archive = false;
    bool store = false;
    // send.
    std::string to;
    std::optional<std::string> sca;
    std::optional<int> classIndex; // position in the class list: 0-3 the classes, 4 none
    bool report = false;           // --report, and --reply as its older name
    bool confirm = false;
    bool flash = false;
    std::optional<int> maxParts;
    std::optional<int> validityMinutes;
    std::string text; // "-": read from standard input
    // archive.
    bool archiveIn = false;
    bool archiveOut = false;
    std::optional<std::string> search;
    // log.
    std::string file;
    // serve.
    bool keep = false;                    // leave the archived messages on the phone
    std::optional<std::string> onReceive; // the program run for each complete message
    int partTimeoutSeconds = 600;         // an incomplete long message is handed on after this
    int healthSeconds = 3600;             // signal and registration logged this often; 0 never
    int hookTimeoutSeconds = 60;          // the program is killed after this
    int sendTries = 3;                    // an outbox row is failed after this many
    int retrySeconds = 30;                // the first back-off; doubled after each failed try
    int resetAfter = 3; // exchange time-outs in a row after which the port is reopened
    // On a shared server outbox: how long a row taken by this service stays its own without
    // news of it, so that the row of a service that died goes to another.
    int claimSeconds = 120;
};

struct ParsedCommandLine {
    std::optional<CliOptions> options; // nothing on a usage error or for --help
    std::string error;                 // the usage error, empty for --help
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text --help prints (and a usage error points to).
std::string_view UsageText();
