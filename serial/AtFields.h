#pragma once
// One reader for the fields of an AT answer line (3GPP TS 27.007 5.7): "+NAME: 3,"text",(1-250),
// 0791AB,,7". Fields are separated by commas; a string is quoted, a list is bracketed and holds
// numbers, ranges ("1-250") or strings. Each Next... reads one field and steps over its comma;
// a field of the wrong kind is a failure that leaves the position where it was.

#include <optional>
#include <string>
#include <string_view>

struct AtRange {
    int lower = 0;
    int upper = 0;
    bool single = false; // a lone "a", written without '-'
};

class AtFields {
public:
    explicit AtFields(std::string_view line) : text(line) {}

    // True when the line begins with `prefix` (such as "+CPMS:", compared case-sensitively);
    // the fields are then read from after it and the blanks behind it.
    bool Begin(std::string_view prefix);

    // A decimal number (an optional '-' then digits), saturated to the int range.
    std::optional<int> NextNumber();
    // A quoted string, without its quotes; the text up to the closing quote.
    std::optional<std::string> NextString();
    // An unquoted token up to the next comma or bracket (a hex string, a bare word), trailing
    // blanks cut; empty for an empty field between two commas, nothing at the end of the line.
    std::optional<std::string> NextToken();
    // "a-b" (blanks around the dash allowed; or a lone "a", giving a-a), as in a list of
    // supported values.
    std::optional<AtRange> NextRange();
    // Steps over one field of any kind, a whole list included; false at the end of the line.
    bool Skip();
    // One field of any kind exactly as sent (quotes and brackets kept, trailing blanks cut, the
    // blanks before it kept when it is the first); nothing at the end of the line.
    std::optional<std::string_view> NextRaw();
    // Whether the field read last was ended by a comma, rather than by the end of the line or a
    // bracket: a phone that cuts a line short leaves its last field without one.
    bool CommaBehind() const { return commaBehind; }
    // '(' opening a list; CloseList steps over its ')' and the comma behind.
    bool OpenList();
    bool CloseList();

    bool AtEnd() const;
    // The unread text.
    std::string_view Rest() const { return text.substr(pos); }

private:
    std::optional<int> ReadInt(); // digits at the position, nothing stepped over behind them
    void SkipBlanks();
    // After a field: blanks, then one comma if there is one.
    void EndField();
    char Peek() const { return pos < text.size() ? text[pos] : '\0'; }

    std::string_view text;
    std::size_t pos = 0;
    bool commaBehind = false;
};
