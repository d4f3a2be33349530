#pragma once
// The date/time value of the database's date/time columns: a point in time to the second,
// stored in the file as ISO text "YYYY-MM-DD HH:MM:SS".

#include <optional>
#include <string>
#include <string_view>

struct DbDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // The value made of the parts, or nothing when they are no real date and time of the years
    // 100 to 9999 (the range the date type has always covered).
    static std::optional<DbDateTime> FromParts(int year, int month, int day, int hour, int minute,
                                               int second);
    // Reads "YYYY-MM-DD HH:MM:SS" exactly; anything else is nothing.
    static std::optional<DbDateTime> FromIso(std::string_view text);

    std::string ToIso() const;
    // strftime-style formatting of the value ("%d/%m/%y", "%H:%M.%S"); empty when it does not fit.
    std::string Format(const char* format) const;

    bool operator==(const DbDateTime&) const = default;
};
