#include "tools/phonesim/Options.h"

#include <cctype>
#include <cstdlib>

namespace {

bool ParseCount(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (std::isdigit(static_cast<unsigned char>(c)) == 0)
            return false;
    value = std::atoi(text.c_str());
    return value >= low && value <= high;
}

} // namespace

const char* UsageText() {
    return R"(Usage: telvane-phonesim --link PATH [--fixture FILE] [--transcript FILE]
                        [--baud N] [--delay-ms N] [--silent] [--urc-seed N]
                        [--arrivals FIFO] [--exit-with-parent]

A GSM phone on a pseudo-terminal, answering AT commands (3GPP TS 27.005/27.007, PDU mode)
until SIGTERM or SIGINT; PATH becomes a symbolic link to the terminal and is removed at exit.

  --link PATH        where to put the link to the pseudo-terminal (required)
  --fixture FILE     the phone's messages, phonebook and canned replies (see below)
  --transcript FILE  log, one line per event, flushed at once:
                       <ms> RX <command line>   <ms> TX <response line>   <ms> TX >
                       <ms> SENT <pdu>          <ms> RX <ESC>   (PDU cancelled)
                     a PDU refused by +CMGS is logged as RX <pdu>
  --baud N           line speed for pacing the output, 10 bits a byte (default 115200)
  --delay-ms N       hold every response back N ms (default 0)
  --silent           answer nothing at all, not even the echo
  --urc-seed N       put unsolicited lines (+CMTI, +CDSI, RING, +CREG) before about one response
                     line in four, also inside an answer; the same N, the same lines and points;
                     each is logged as <ms> URC <line>
  --arrivals FIFO    make a fifo there; each line written to it brings new messages: a count N
                     gives N messages "New message <n>" from +31612345678, a hex PDU (an
                     SMS-DELIVER with its centre field) that message, "creg <stat>" (0-5) a
                     change of the network registration; SIGUSR1 brings a message too
  --exit-with-parent stop when the process that started the simulator ends (for tests)
  --help             this text

Fixture lines ('#' starts a comment):
  sms <SM|ME> <index> <stat 0-3> <pdu hex including the SCA field>
  phonebook <SM|ME> <index> <type> "<number>" "<name>"
  range <SM|ME> <first> <last>          phonebook positions (default 1 250)
  capacity <SM|ME> <total>              message slots (default 30)
  reply <command-prefix> <line>|<line>|...
                     answer every command line that starts with the prefix with exactly these
                     lines (none: no answer at all); the first matching rule wins; "AT" matches
                     in any case, the rest as written
  silent             the same as --silent
  arrive <ms> [<pdu>] a message arrives <ms> after the start (without a PDU a generated one)
  report <ms> <st>   a SUBMIT with TP-SRR gets a status report <ms> later with TP-ST <st> (two
                     hex digits: 00 delivered, 40.. failed); default 1000 00

New messages and status reports are told as the client's AT+CNMI=<mode>,<mt>,<bm>,<ds> asks
(nothing at all until it has set <mode> and <mt> or <ds>): a message is stored in the receive
memory (+CPMS <mem3>) and told "+CMTI: <mem>,<index>" (mt 1), or pushed "+CMT: ,<length>" and
its PDU without being stored (mt 2, 3; no +CNMA is expected, +CSMS offers service 0 only); with
mt 0 it is only stored. A report is pushed "+CDS: <length>" and its PDU (ds 1), or stored and
told "+CDSI: <mem>,<index>" (ds 2). Both are logged <ms> URC <line>; they wait while a PDU is
being typed after the prompt.

Echo is on until ATE0. After AT+CMGS=<n> the phone sends "\r\n> " and takes the PDU up to
Ctrl-Z; ESC cancels it and is answered OK.
)";
}

bool ParseOptions(int argc, const char* const* argv, SimOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            continue;
        }
        if (option == "--silent") {
            options.silent = true;
            continue;
        }
        if (option == "--exit-with-parent") {
            options.exitWithParent = true;
            continue;
        }
        if (i + 1 >= argc) {
            error =
                option.starts_with("--") ? option + " needs a value" : "unknown option " + option;
            return false;
        }
        const std::string value = argv[++i];
        std::string problem;
        if (option == "--link")
            options.link = value;
        else if (option == "--fixture")
            options.fixture = value;
        else if (option == "--arrivals")
            options.arrivals = value;
        else if (option == "--transcript")
            options.transcript = value;
        else if (option == "--baud")
            problem = ParseCount(value, 1, 100'000'000, options.baud)
                          ? ""
                          : "--baud takes a positive number";
        else if (option == "--urc-seed")
            problem = ParseCount(value, 0, 999'999'999, options.urcSeed)
                          ? ""
                          : "--urc-seed takes a number";
        else if (option == "--delay-ms")
            problem = ParseCount(value, 0, 3'600'000, options.delayMs)
                          ? ""
                          : "--delay-ms takes a number of milliseconds";
        else
            problem = "unknown option " + option;
        if (!problem.empty()) {
            error = problem;
            return false;
        }
    }
    if (options.link.empty() && !options.help) {
        error = "--link PATH is required";
        return false;
    }
    return true;
}
