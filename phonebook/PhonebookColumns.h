#pragma once
// Headings and widths (pixels) of the phonebook list's columns, all left-aligned; the window
// creates them when the Phonebook Manager tab is first activated.

#include "phonebook/IPhonebookForm.h"

#include <array>
#include <string_view>

struct PhonebookColumn {
    std::string_view heading;
    int width;
};

inline constexpr std::array<PhonebookColumn, kPhonebookColumnCount> kPhonebookColumns = {{
    {"POS", 40},
    {"Name", 400},
    {"Number", 200},
    {"FMT", 40},
}};
