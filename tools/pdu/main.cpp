// telvane-pdu: decodes and encodes SMS PDUs on the command line with the project's codec.

#include "tools/pdu/PduReport.h"

#include <charconv>
#include <chrono>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: telvane-pdu decode [--no-sca] [--deliver | --submit] HEX\n"
    "       telvane-pdu encode [--sca NUMBER] --to NUMBER [--class 0-3] [--reply] [--vp XX] "
    "[--ucs2 | --8bit | --dcs XX] [--ref 0-255] TEXT\n"
    "HEX or TEXT \"-\" reads one per line from standard input. A text that needs it goes as "
    "UCS2;\na long text gives one PDU and count per part.\n";

int usage_error(const std::string& message) {
    std::cerr << "telvane-pdu: " << message << "\n" << kUsage;
    return 2;
}

// Runs one item, or one per input line for "-": handle(item) gives a ToolOutput. Results go to
// stdout with a blank line between them, failures to stderr after prefix.
template <typename Handle>
int for_each_input(const std::string& argument, const char* prefix, Handle handle) {
    const auto show = [prefix](const ToolOutput& output, bool separate) {
        if (!output.ok) {
            std::cerr << "telvane-pdu: " << prefix << output.text << "\n";
            return false;
        }
        std::cout << (separate ? "\n" : "") << output.text;
        return true;
    };
    if (argument != "-") {
        return show(handle(argument), false) ? 0 : 1;
    }
    int status = 0;
    bool printed = false;
    std::string input;
    while (std::getline(std::cin, input)) {
        if (!input.empty() && input.back() == '\r') {
            input.pop_back();
        }
        if (input.empty()) {
            continue;
        }
        if (show(handle(input), printed)) {
            printed = true;
        } else {
            status = 1;
        }
    }
    return status;
}

int run_decode(const std::vector<std::string>& args) {
    bool no_sca = false;
    PduKind kind = PduKind::Detect;
    std::optional<std::string> hex;
    for (const std::string& arg : args) {
        if (arg == "--no-sca") {
            no_sca = true;
        } else if (arg == "--deliver") {
            kind = PduKind::Deliver;
        } else if (arg == "--submit") {
            kind = PduKind::Submit;
        } else if (!hex && (arg == "-" || arg.rfind("--", 0) != 0)) {
            hex = arg;
        } else {
            return usage_error("unexpected argument \"" + arg + "\"");
        }
    }
    if (!hex) {
        return usage_error("decode needs a PDU");
    }
    return for_each_input(*hex, "malformed PDU: ", [&](const std::string& pdu) {
        return decode_report(no_sca ? "00" + pdu : pdu, kind);
    });
}

std::optional<int> parse_number(const std::string& text, int highest) {
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0 || value > highest) {
        return std::nullopt;
    }
    return value;
}

// A reference of its own for each run, from the clock, when none is given.
int fresh_reference() {
    return static_cast<int>(std::chrono::system_clock::now().time_since_epoch().count() & 0xFF);
}

int run_encode(const std::vector<std::string>& args) {
    SubmitRequest request;
    bool reference_given = false;
    std::optional<std::string> text;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool has_value = i + 1 < args.size();
        if (arg == "--reply") {
            request.reply = true;
        } else if (arg == "--ucs2" || arg == "--8bit") {
            request.coding = arg.substr(2);
        } else if ((arg == "--sca" || arg == "--to" || arg == "--vp" || arg == "--class" ||
                    arg == "--dcs" || arg == "--ref") &&
                   has_value) {
            const std::string& value = args[++i];
            if (arg == "--sca") {
                request.sca = value;
            } else if (arg == "--to") {
                request.to = value;
            } else if (arg == "--vp") {
                request.vp = value;
            } else if (arg == "--dcs") {
                if (value.size() != 2) {
                    return usage_error("--dcs takes two hex digits");
                }
                request.coding = value;
            } else if (arg == "--ref") {
                const auto reference = parse_number(value, 255);
                if (!reference) {
                    return usage_error("--ref takes 0 to 255");
                }
                reference_given = true;
                request.reference = *reference;
            } else if (const auto msg_class = parse_number(value, 3)) {
                request.msg_class = *msg_class;
            } else {
                return usage_error("--class takes 0, 1, 2 or 3");
            }
        } else if (!text && (arg == "-" || arg.rfind("--", 0) != 0)) {
            text = arg;
        } else {
            return usage_error("unexpected argument \"" + arg + "\"");
        }
    }
    if (!text || request.to.empty()) {
        return usage_error("encode needs --to NUMBER and a text");
    }
    if (!reference_given) {
        request.reference = fresh_reference();
    }
    return for_each_input(*text, "", [&](const std::string& message) {
        const ToolOutput output = encode_report(request, message);
        request.reference = (request.reference + 1) & 0xFF; // fresh for each message
        return output;
    });
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usage_error("no command");
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "decode") {
        return run_decode(rest);
    }
    if (args[0] == "encode") {
        return run_encode(rest);
    }
    return usage_error("unknown command \"" + args[0] + "\"");
}
