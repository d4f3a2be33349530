// "ussd CODE": AT+CUSD=1,"CODE",15 (3GPP TS 27.007 7.15) and the network's answer, "+CUSD:
// <m>,"<str>",<dcs>", decoded by its coding scheme.

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "pdu/CbsCoding.h"
#include "pdu/Pdu.h"
#include "serial/AtFields.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// How long the network may take after the phone's OK; a USSD round trip takes seconds.
constexpr auto kUssdAnswerWait = std::chrono::seconds(20);
constexpr auto kWaitSlice = std::chrono::milliseconds(50);

std::optional<std::string> FindCusd(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (line.starts_with("+CUSD:"))
            return line;
    return std::nullopt;
}

// Waits for the +CUSD line after the OK: stored as a late answer line or queued as an
// unsolicited one. Ctrl+C ends the wait.
std::optional<std::string> WaitForCusd(CliRun& run) {
    const auto end = std::chrono::steady_clock::now() + kUssdAnswerWait;
    while (std::chrono::steady_clock::now() < end && !Interrupted().load() &&
           !run.session.PortLost()) {
        if (const auto line = FindCusd(run.session.CurrentReply().lines))
            return line;
        if (const auto line = run.session.Unsolicited().Take(kWaitSlice))
            if (line->text.starts_with("+CUSD:"))
                return line->text;
    }
    return std::nullopt;
}

} // namespace

UssdAnswer DecodeUssdAnswer(std::string_view line) {
    UssdAnswer answer;
    AtFields fields(line);
    if (!fields.Begin("+CUSD:"))
        return answer;
    answer.status = fields.NextNumber().value_or(-1);
    const std::string text = fields.NextString().value_or("");
    // The DCS is an integer, in the cell-broadcast scheme (3GPP TS 23.038 5).
    const int dcs = fields.NextNumber().value_or(0);
    answer.coding = std::string(ud_coding_name(cbs_coding_of(dcs).coding));
    // Many phones give the string as hex: packed septets for 7-bit, octets or UCS2 otherwise.
    // Others give it as text in their character set, printed as it is.
    answer.text = is_hex_data(text) ? decode_cbs_hex(text, dcs) : text;
    return answer;
}

int RunUssd(CliRun& run) {
    const std::string& code = run.options.arguments.front();
    if (code.empty() || code.find('"') != std::string::npos) {
        std::fprintf(stderr, "telvane-cli: a USSD code such as *100# is needed\n");
        return kExitUsage;
    }
    if (!run.OpenPort())
        return run.RefusedStatus();
    const std::string command = "AT+CUSD=1,\"" + code + "\",15";
    const Reply reply = run.session.Exchange(command);
    if (!reply.Ok())
        return run.Refuse(command, ReplyFailureText(reply));
    std::optional<std::string> line = FindCusd(reply.lines);
    if (!line)
        line = FindCusd(reply.unsolicited);
    if (!line)
        line = WaitForCusd(run);
    if (!line)
        return run.Refuse(command, "the network gave no answer");
    const UssdAnswer answer = DecodeUssdAnswer(*line);
    Table table{{"status", "coding", "text"},
                {{std::to_string(answer.status), answer.coding, answer.text}}};
    PrintTable(table, run.options.format, stdout, !run.options.noHeader);
    // 4: not supported, 5: timed out in the network.
    constexpr int kNotSupported = 4;
    return answer.status >= kNotSupported || answer.status < 0 ? kExitRefused : kExitDone;
}
