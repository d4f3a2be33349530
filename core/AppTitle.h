#pragma once
// The program's name as its boxes and windows show it.

#include <string_view>

// Caption of every box that has none of its own.
inline constexpr std::string_view kAppTitle = "Telvane";
