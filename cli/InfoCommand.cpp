// "info": who the phone is and how it is doing, from the 3GPP TS 27.007 identification and
// network commands, and "--version".

#include "cli/Commands.h"
#include "serial/AtFields.h"
#include "serial/NetworkStatus.h"

#include <array>
#include <cstdio>

namespace {

struct InfoItem {
    std::string_view key;
    std::string_view command;
};

constexpr std::array<InfoItem, 8> kInfoItems = {{{"manufacturer", "AT+CGMI"},
                                                 {"model", "AT+CGMM"},
                                                 {"revision", "AT+CGMR"},
                                                 {"imei", "AT+CGSN"},
                                                 {"imsi", "AT+CIMI"},
                                                 {"operator", "AT+COPS?"},
                                                 {"registration", "AT+CREG?"},
                                                 {"signal_dbm", "AT+CSQ"}}};

// The answer of an identification command: its first line, without a "+CGMI: " some phones
// put in front.
std::string IdentityValue(const Reply& reply, std::string_view command) {
    if (reply.lines.empty())
        return {};
    const std::string prefix = "+" + std::string(command.substr(3)) + ":";
    std::string_view line = reply.lines.front();
    if (line.starts_with(prefix)) {
        line.remove_prefix(prefix.size());
        while (line.starts_with(' '))
            line.remove_prefix(1);
    }
    return std::string(line);
}

std::string OperatorValue(const Reply& reply) {
    const std::string* line = reply.Find("+COPS:");
    if (line == nullptr)
        return {};
    AtFields fields(*line);
    fields.Begin("+COPS:");
    if (!fields.NextNumber() || !fields.NextNumber())
        return {};
    return fields.NextString().value_or("");
}

std::string RegistrationValue(const Reply& reply) {
    const std::optional<Registration> registration = ReadRegistration(reply.lines);
    return registration ? RegistrationWord(registration->stat) : std::string();
}

} // namespace

int RunInfo(CliRun& run) {
    if (!run.OpenPort())
        return run.RefusedStatus();
    std::vector<std::string> values;
    for (const InfoItem& item : kInfoItems) {
        const Reply reply = run.session.Exchange(item.command);
        if (!reply.Ok()) {
            if (run.Refuse(std::string(item.command), ReplyFailureText(reply)) ==
                    kExitInterrupted ||
                run.session.PortLost())
                return run.RefusedStatus();
            values.emplace_back();
            continue;
        }
        if (item.key == "operator")
            values.push_back(OperatorValue(reply));
        else if (item.key == "registration")
            values.push_back(RegistrationValue(reply));
        else if (item.key == "signal_dbm") {
            const std::optional<int> dbm = SignalDbm(reply.lines);
            values.push_back(dbm ? std::to_string(*dbm) : std::string());
        } else
            values.push_back(IdentityValue(reply, item.command));
    }
    Table table;
    if (run.options.format == OutputFormat::Text) {
        table.headings = {"Item", "Value"};
        for (std::size_t i = 0; i < kInfoItems.size(); ++i)
            table.rows.push_back({std::string(kInfoItems[i].key), values[i]});
    } else {
        for (const InfoItem& item : kInfoItems)
            table.headings.emplace_back(item.key);
        table.rows.push_back(values);
    }
    PrintTable(table, run.options.format, stdout, !run.options.noHeader);
    return kExitDone;
}

int RunVersion() {
    std::printf("telvane-cli %s\n", TELVANE_VERSION);
    return kExitDone;
}
