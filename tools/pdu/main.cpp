// telvane-pdu: decodes and encodes SMS PDUs on the command line with the project's codec.

#include "tools/pdu/PduReport.h"

#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: telvane-pdu decode [--no-sca] [--deliver | --submit] HEX\n"
    "       telvane-pdu encode [--sca NUMBER] --to NUMBER [--class 0-3] [--reply] [--vp XX] "
    "TEXT\n"
    "HEX or TEXT \"-\" reads one per line from standard input.\n";

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

std::optional<int> parse_class(const std::string& text) {
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0 || value > 3) {
        return std::nullopt;
    }
    return value;
}

int run_encode(const std::vector<std::string>& args) {
    SubmitRequest request;
    std::optional<std::string> text;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool has_value = i + 1 < args.size();
        if (arg == "--reply") {
            request.reply = true;
        } else if ((arg == "--sca" || arg == "--to" || arg == "--vp" || arg == "--class") &&
                   has_value) {
            const std::string& value = args[++i];
            if (arg == "--sca") {
                request.sca = value;
            } else if (arg == "--to") {
                request.to = value;
            } else if (arg == "--vp") {
                request.vp = value;
            } else if (const auto msg_class = parse_class(value)) {
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
    return for_each_input(
        *text, "", [&](const std::string& message) { return encode_report(request, message); });
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
