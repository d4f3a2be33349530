#include "res/form/FormTooltips.h"

#include <algorithm>

namespace {

constexpr ControlTip kTips[] = {
    {1072, "Add a name to phonebook"},
    {1073, "Erase a name from phonebook"},
    {1074, "Change phonebook entry"},
    {1032, "SMS List"},
    {1036, "Read SMS from phone"},
    {1037, "Erase SMS from phone after reading"},
    {1038, "Move SMS"},
    {1042, "Erase SMS"},
    {1052, "In PDU there isn't Service Centre Address"},
    {1055, "Read SMS from file"},
    {1066, "Send SMS"},
    {1067, "Store SMS"},
    {1068, "Read SCA from phone"},
    {1069, "Request reply"},
    {1075, "Read names from phone"},
    {1076, "Store names to phone"},
    {1088, "Advanced options"},
    {1089, "Standard send"},
    {1090, "Send options"},
    {1091, "Simple send"},
    {1092, "Advanced send"},
};

} // namespace

std::span<const ControlTip> TooltipTable() {
    return kTips;
}

std::optional<std::string_view> TooltipFor(int id) {
    const auto* found = std::ranges::find(kTips, id, &ControlTip::id);
    if (found == std::end(kTips))
        return std::nullopt;
    return found->tip;
}
