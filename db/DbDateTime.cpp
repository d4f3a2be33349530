#include "db/DbDateTime.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    return kDays.at(static_cast<std::size_t>(month - 1));
}

// Reads exactly `width` decimal digits starting at `pos`; -1 when any is not a digit.
int ReadDigits(std::string_view text, std::size_t pos, std::size_t width) {
    int value = 0;
    for (std::size_t i = pos; i < pos + width; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::optional<DbDateTime> DbDateTime::FromParts(int year, int month, int day, int hour, int minute,
                                                int second) {
    if (year < 100 || year > 9999 || month < 1 || month > 12)
        return std::nullopt;
    if (day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return DbDateTime{year, month, day, hour, minute, second};
}

std::optional<DbDateTime> DbDateTime::FromIso(std::string_view text) {
    static constexpr std::string_view kShape = "0000-00-00 00:00:00";
    if (text.size() != kShape.size())
        return std::nullopt;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] != '0' && text[i] != kShape[i])
            return std::nullopt;
    }
    return FromParts(ReadDigits(text, 0, 4), ReadDigits(text, 5, 2), ReadDigits(text, 8, 2),
                     ReadDigits(text, 11, 2), ReadDigits(text, 14, 2), ReadDigits(text, 17, 2));
}

std::string DbDateTime::ToIso() const {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
                  hour, minute, second);
    return buffer.data();
}

std::string DbDateTime::Format(const char* format) const {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    std::array<char, 256> buffer{};
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), format, &parts);
    return std::string(buffer.data(), length);
}
