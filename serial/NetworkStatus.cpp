#include "serial/NetworkStatus.h"

#include "serial/AtFields.h"

#include <array>

namespace {

constexpr std::string_view kSignalPrefix = "+CSQ:";
constexpr std::string_view kRegistrationPrefix = "+CREG:";

} // namespace

std::optional<SignalQuality> ReadSignalQuality(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        AtFields fields(line);
        if (!fields.Begin(kSignalPrefix))
            continue;
        const std::optional<int> rssi = fields.NextNumber();
        if (!rssi)
            return std::nullopt;
        return SignalQuality{*rssi, fields.NextNumber().value_or(99)};
    }
    return std::nullopt;
}

std::optional<int> RssiDbm(int rssi) {
    constexpr int kLowestDbm = -113;
    constexpr int kHighestStep = 31;
    if (rssi < 0 || rssi > kHighestStep)
        return std::nullopt;
    return kLowestDbm + 2 * rssi;
}

std::optional<int> SignalDbm(const std::vector<std::string>& lines) {
    const std::optional<SignalQuality> quality = ReadSignalQuality(lines);
    return quality ? RssiDbm(quality->rssi) : std::nullopt;
}

std::optional<Registration> ReadRegistration(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        AtFields fields(line);
        if (!fields.Begin(kRegistrationPrefix))
            continue;
        const std::optional<int> first = fields.NextNumber();
        const std::optional<int> second = fields.NextNumber();
        if (!first)
            return std::nullopt;
        // A phone that answers in the unsolicited form gives the status alone.
        if (!second)
            return Registration{std::nullopt, *first};
        return Registration{first, *second};
    }
    return std::nullopt;
}

std::optional<int> ReadRegistrationNotice(const std::string& line) {
    AtFields fields(line);
    if (!fields.Begin(kRegistrationPrefix))
        return std::nullopt;
    return fields.NextNumber();
}

std::string RegistrationWord(int stat) {
    constexpr std::array<const char*, 6> kWords = {"not registered", "home",    "searching",
                                                   "denied",         "unknown", "roaming"};
    if (stat < 0 || stat >= static_cast<int>(kWords.size()))
        return {};
    return kWords[static_cast<std::size_t>(stat)];
}
