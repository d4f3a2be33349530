#pragma once
// The tips shown when the pointer rests on a control of the form.

#include <optional>
#include <span>
#include <string_view>

struct ControlTip {
    int id = 0;
    std::string_view tip;
};

std::span<const ControlTip> TooltipTable();

// The first tip listed for the id; none for a control the table does not list.
std::optional<std::string_view> TooltipFor(int id);
