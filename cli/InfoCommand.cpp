// "info": who the phone is and how it is doing, from the 3GPP TS 27.007 identification and
// network commands, and "--version".

#include "cli/Commands.h"
#include "serial/AtFields.h"
#include "serial/NetworkStatus.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

struct InfoItem {
    std::string_view key;
    std::string_view command;
    bool number = false; // a number in JSON
};

constexpr std::array<InfoItem, 8> kInfoItems = {{{"manufacturer", "AT+CGMI"},
                                                 {"model", "AT+CGMM"},
                                                 {"revision", "AT+CGMR"},
                                                 {"imei", "AT+CGSN"},
                                                 {"imsi", "AT+CIMI"},
                                                 {"operator", "AT+COPS?"},
                                                 {"registration", "AT+CREG?"},
                                                 {"signal_dbm", "AT+CSQ", true}}};

// An item's value; nothing when the phone refused it or its answer says nothing.
using InfoValue = std::optional<std::string>;

// The answer of an identification command: its first line, without a "+CGMI: " some phones
// put in front.
InfoValue IdentityValue(const Reply& reply, std::string_view command) {
    if (reply.lines.empty())
        return std::nullopt;
    const std::string prefix = "+" + std::string(command.substr(3)) + ":";
    std::string_view line = reply.lines.front();
    if (line.starts_with(prefix)) {
        line.remove_prefix(prefix.size());
        while (line.starts_with(' '))
            line.remove_prefix(1);
    }
    return std::string(line);
}

InfoValue OperatorValue(const Reply& reply) {
    const std::string* line = reply.Find("+COPS:");
    if (line == nullptr)
        return std::nullopt;
    AtFields fields(*line);
    fields.Begin("+COPS:");
    if (!fields.NextNumber() || !fields.NextNumber())
        return std::nullopt;
    return fields.NextString();
}

InfoValue RegistrationValue(const Reply& reply) {
    const std::optional<Registration> registration = ReadRegistration(reply.lines);
    std::string word = registration ? RegistrationWord(registration->stat) : std::string();
    return word.empty() ? std::nullopt : InfoValue(std::move(word));
}

InfoValue SignalValue(const Reply& reply) {
    const std::optional<int> dbm = SignalDbm(reply.lines);
    return dbm ? InfoValue(std::to_string(*dbm)) : std::nullopt;
}

InfoValue ItemValue(const InfoItem& item, const Reply& reply) {
    if (item.key == "operator")
        return OperatorValue(reply);
    if (item.key == "registration")
        return RegistrationValue(reply);
    if (item.key == "signal_dbm")
        return SignalValue(reply);
    return IdentityValue(reply, item.command);
}

// One object: a number item as a number, an item without a value as null.
void PrintInfoJson(const std::vector<InfoValue>& values) {
    std::string line = "{";
    for (std::size_t i = 0; i < kInfoItems.size(); ++i) {
        if (i > 0)
            line += ',';
        AppendJsonString(line, kInfoItems[i].key);
        line += ':';
        if (!values[i])
            line += "null";
        else if (kInfoItems[i].number)
            line += *values[i];
        else
            AppendJsonString(line, *values[i]);
    }
    line += "}\n";
    std::fputs(line.c_str(), stdout);
}

void PrintInfoTable(const std::vector<InfoValue>& values, const CliOptions& options) {
    Table table;
    if (options.format == OutputFormat::Text) {
        table.headings = {"Item", "Value"};
        for (std::size_t i = 0; i < kInfoItems.size(); ++i)
            table.rows.push_back({std::string(kInfoItems[i].key), values[i].value_or("")});
    } else {
        table.rows.emplace_back();
        for (std::size_t i = 0; i < kInfoItems.size(); ++i) {
            table.headings.emplace_back(kInfoItems[i].key);
            table.rows.back().push_back(values[i].value_or(""));
        }
    }
    PrintTable(table, options.format, stdout, !options.noHeader);
}

} // namespace

int RunInfo(CliRun& run) {
    if (!run.OpenPort())
        return run.RefusedStatus();
    std::vector<InfoValue> values;
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
        values.push_back(ItemValue(item, reply));
    }
    if (run.options.format == OutputFormat::Json)
        PrintInfoJson(values);
    else
        PrintInfoTable(values, run.options);
    return kExitDone;
}

int RunVersion() {
    std::printf("telvane-cli %s\n", TELVANE_VERSION);
    return kExitDone;
}
