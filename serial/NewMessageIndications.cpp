#include "serial/NewMessageIndications.h"

#include "serial/AtFields.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The values of one bracketed list of +CNMI=?, or one bare number.
std::vector<AtRange> ReadOffer(AtFields& fields) {
    std::vector<AtRange> ranges;
    if (!fields.OpenList()) {
        if (const std::optional<int> value = fields.NextNumber())
            ranges.push_back({*value, *value});
        else
            fields.Skip();
        return ranges;
    }
    while (const std::optional<AtRange> range = fields.NextRange())
        ranges.push_back(*range);
    fields.CloseList();
    return ranges;
}

bool Offers(const std::vector<AtRange>& ranges, int value) {
    for (const AtRange& range : ranges)
        if (value >= range.lower && value <= range.upper)
            return true;
    return false;
}

// The first of `preferred` on offer; -1 for none.
template <std::size_t N>
int FirstOffered(const std::vector<AtRange>& ranges, const std::array<int, N>& preferred) {
    for (int value : preferred)
        if (Offers(ranges, value))
            return value;
    return -1;
}

// +CSMS service 1: a pushed message is acknowledged with AT+CNMA (3GPP TS 27.005 3.2.1).
bool AcknowledgeRequired(CModemSession& session) {
    const Reply service = session.Exchange("AT+CSMS?");
    const std::string* line = service.Ok() ? service.Find("+CSMS:") : nullptr;
    if (line == nullptr)
        return false;
    AtFields fields(*line);
    return fields.Begin("+CSMS:") && fields.NextNumber() == 1;
}

} // namespace

std::optional<IndicationChoice> ChooseIndications(std::string_view testAnswer) {
    AtFields fields(testAnswer);
    if (!fields.Begin("+CNMI:"))
        return std::nullopt;
    std::array<std::vector<AtRange>, 5> offers;
    for (auto& offer : offers)
        offer = ReadOffer(fields);
    IndicationChoice choice;
    choice.mode = FirstOffered(offers[0], std::array{2, 1, 3});
    choice.mt = FirstOffered(offers[1], std::array{1, 2, 3, 0});
    choice.bm = FirstOffered(offers[2], std::array{0});
    choice.ds = FirstOffered(offers[3], std::array{1, 2, 0});
    choice.bfr = FirstOffered(offers[4], std::array{0, 1});
    if (choice.mode < 0 || (choice.mt <= 0 && choice.ds <= 0))
        return std::nullopt;
    // A parameter the phone does not list is left at its default.
    choice.mt = std::max(choice.mt, 0);
    choice.bm = std::max(choice.bm, 0);
    choice.ds = std::max(choice.ds, 0);
    choice.bfr = std::max(choice.bfr, 0);
    return choice;
}

std::string CnmiCommand(const IndicationChoice& choice) {
    return "AT+CNMI=" + std::to_string(choice.mode) + "," + std::to_string(choice.mt) + "," +
           std::to_string(choice.bm) + "," + std::to_string(choice.ds) + "," +
           std::to_string(choice.bfr);
}

IndicationSetup SetUpIndications(CModemSession& session) {
    IndicationSetup setup;
    setup.note = std::string(kNoIndicationsText);
    const Reply offer = session.Exchange("AT+CNMI=?");
    const std::string* line = offer.Ok() ? offer.Find("+CNMI:") : nullptr;
    const std::optional<IndicationChoice> choice =
        line == nullptr ? std::nullopt : ChooseIndications(*line);
    if (!choice)
        return setup;
    setup.chosen = *choice;
    setup.set = session.Exchange(CnmiCommand(*choice)).Ok();
    if (!setup.set)
        return setup;
    setup.note.clear();
    setup.acknowledge = choice->mt >= 2 && AcknowledgeRequired(session);
    return setup;
}
