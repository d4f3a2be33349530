#include "serial/PortName.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace {

bool IsComPrefix(std::string_view name) {
    if (name.size() < 3)
        return false;
    auto upper = [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    };
    return upper(name[0]) == 'C' && upper(name[1]) == 'O' && upper(name[2]) == 'M';
}

// The n of "COMn", or nothing when the name is not of that form.
std::optional<uint32_t> ComNumber(std::string_view name) {
    if (!IsComPrefix(name) || name.size() == 3)
        return std::nullopt;
    const std::string_view digits = name.substr(3);
    uint32_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size() || number == 0)
        return std::nullopt;
    return number;
}

} // namespace

std::string DevicePath(std::string_view portName) {
    // The settings dialog ends every typed name with ':', paths included.
    std::string_view name = portName;
    if (!name.empty() && name.back() == ':')
        name.remove_suffix(1);
    if (name.find('/') != std::string_view::npos)
        return std::string(name);
    if (const auto number = ComNumber(name))
        return "/dev/ttyS" + std::to_string(*number - 1);
    return "/dev/" + std::string(name);
}
