#include "sms/SmsHeader.h"

#include "serial/TextHelpers.h"

#include <climits>

int ParseLeadingInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::string HeaderTail(std::string_view line) {
    const int colon = FindChar(line, ':');
    return CopyTail(line, static_cast<int>(line.size()) - colon - 2);
}

std::string FirstFieldAfterColon(std::string_view line) {
    const int colon = FindChar(line, ':');
    const std::string rest = CopyTail(line, static_cast<int>(line.size()) - colon - 1);
    return CopyHead(rest, FindChar(rest, ','));
}

int HeaderIndex(std::string_view line) {
    return ParseLeadingInt(HeaderTail(line));
}

int HeaderFirstField(std::string_view line) {
    const std::string tail = HeaderTail(line);
    return ParseLeadingInt(CopyHead(tail, FindChar(tail, ',')));
}

int HeaderSecondField(std::string_view line) {
    const std::string tail = HeaderTail(line);
    const int comma = FindChar(tail, ',');
    if (comma < 0)
        return 0;
    return ParseLeadingInt(CopyTail(tail, static_cast<int>(tail.size()) - comma - 1));
}
