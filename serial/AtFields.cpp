#include "serial/AtFields.h"

#include <algorithm>
#include <climits>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool EndsToken(char c) {
    return c == ',' || c == '(' || c == ')';
}

} // namespace

bool AtFields::Begin(std::string_view prefix) {
    if (!text.starts_with(prefix))
        return false;
    pos = prefix.size();
    SkipBlanks();
    return true;
}

void AtFields::SkipBlanks() {
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
}

void AtFields::EndField() {
    SkipBlanks();
    commaBehind = Peek() == ',';
    if (commaBehind)
        ++pos;
    SkipBlanks();
}

bool AtFields::AtEnd() const {
    return pos >= text.size();
}

std::optional<int> AtFields::ReadInt() {
    std::size_t at = pos;
    const bool negative = at < text.size() && text[at] == '-';
    if (negative)
        ++at;
    if (at >= text.size() || !IsDigit(text[at]))
        return std::nullopt;
    long long value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at)
        if (value <= INT_MAX)
            value = value * 10 + (text[at] - '0');
    if (negative)
        value = -value;
    pos = at;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<int> AtFields::NextNumber() {
    const std::optional<int> value = ReadInt();
    if (value)
        EndField();
    return value;
}

std::optional<std::string> AtFields::NextString() {
    if (Peek() != '"')
        return std::nullopt;
    const std::size_t close = text.find('"', pos + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string value(text.substr(pos + 1, close - pos - 1));
    pos = close + 1;
    EndField();
    return value;
}

std::optional<std::string> AtFields::NextToken() {
    if (Peek() == '"' || Peek() == '(' || Peek() == ')')
        return std::nullopt;
    if (AtEnd())
        return std::nullopt;
    std::size_t end = pos;
    while (end < text.size() && !EndsToken(text[end]))
        ++end; // a NUL byte is text like any other, not the end of the line
    std::string_view token = text.substr(pos, end - pos);
    while (!token.empty() && token.back() == ' ')
        token.remove_suffix(1);
    pos = end;
    EndField();
    return std::string(token);
}

std::optional<AtRange> AtFields::NextRange() {
    const std::size_t start = pos;
    const std::optional<int> lower = ReadInt();
    if (!lower)
        return std::nullopt;
    SkipBlanks(); // some modems pad the dash: "( 1 - 50 )"
    AtRange range{*lower, *lower, Peek() != '-'};
    if (!range.single) {
        ++pos;
        SkipBlanks();
        const std::optional<int> upper = ReadInt();
        if (!upper) {
            pos = start;
            return std::nullopt;
        }
        range.upper = *upper;
    }
    EndField();
    return range;
}

bool AtFields::OpenList() {
    if (Peek() != '(')
        return false;
    ++pos;
    SkipBlanks();
    return true;
}

bool AtFields::CloseList() {
    SkipBlanks();
    if (Peek() != ')')
        return false;
    ++pos;
    EndField();
    return true;
}

bool AtFields::Skip() {
    if (AtEnd())
        return false;
    if (Peek() == '"' && NextString())
        return true;
    if (Peek() == '(') {
        const std::size_t close = text.find(')', pos);
        if (close != std::string_view::npos) {
            pos = close;
            return CloseList();
        }
    }
    if (Peek() == '"' || Peek() == '(') { // never closed: the rest of the line is the field
        pos = text.size();
        commaBehind = false;
        return true;
    }
    return NextToken().has_value();
}

std::optional<std::string_view> AtFields::NextRaw() {
    const std::size_t start = pos;
    if (!Skip())
        return std::nullopt;
    std::string_view raw = text.substr(start, pos - start);
    while (!raw.empty() && (raw.back() == ' ' || raw.back() == ','))
        raw.remove_suffix(1);
    return raw;
}
