#include "tools/phonesim/Fixture.h"

#include "tools/phonesim/PduText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace {

// Reads the words and quoted texts of one fixture line, left to right.
class LineCursor {
public:
    explicit LineCursor(std::string text) : line(std::move(text)) {}

    std::string Word() {
        SkipBlanks();
        const std::size_t start = pos;
        while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos])) == 0)
            ++pos;
        return line.substr(start, pos - start);
    }

    bool Quoted(std::string& text) {
        SkipBlanks();
        if (pos >= line.size() || line[pos] != '"')
            return false;
        const std::size_t close = line.find('"', pos + 1);
        if (close == std::string::npos)
            return false;
        text = line.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        return true;
    }

    std::string Rest() {
        SkipBlanks();
        std::string rest = line.substr(pos);
        while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back())) != 0)
            rest.pop_back();
        pos = line.size();
        return rest;
    }

    bool AtEnd() {
        SkipBlanks();
        return pos >= line.size();
    }

private:
    void SkipBlanks() {
        while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos])) != 0)
            ++pos;
    }

    std::string line;
    std::size_t pos = 0;
};

// A '#' outside quotes, at the start or after a blank, begins a comment.
std::string StripComment(const std::string& line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        const bool afterBlank = i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1]));
        if (line[i] == '#' && !quoted && afterBlank)
            return line.substr(0, i);
    }
    return line;
}

bool ParseNumber(const std::string& word, int low, int high, int& value) {
    if (word.empty() || word.size() > 9)
        return false;
    for (char c : word)
        if (std::isdigit(static_cast<unsigned char>(c)) == 0)
            return false;
    value = std::atoi(word.c_str());
    return value >= low && value <= high;
}

std::size_t CodePoints(const std::string& text) {
    // Every byte but a UTF-8 continuation byte starts a character.
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool IsDialString(const std::string& number) {
    if (number.empty() || number.size() > static_cast<std::size_t>(kNumberLength))
        return false;
    for (char c : number)
        if (std::isdigit(static_cast<unsigned char>(c)) == 0 && c != '+' && c != '*' && c != '#')
            return false;
    return true;
}

bool Fail(std::string& error, std::string what) {
    error = std::move(what);
    return false;
}

using Handler = bool (*)(LineCursor&, Fixture&, std::string&);

bool ParseSms(LineCursor& cursor, Fixture& fixture, std::string& error) {
    Storage storage{};
    int index = 0;
    int stat = 0;
    if (!ParseStorage(cursor.Word(), storage))
        return Fail(error, "memory must be SM or ME");
    if (!ParseNumber(cursor.Word(), 1, kMaxCapacity, index))
        return Fail(error, "bad message index");
    if (!ParseNumber(cursor.Word(), 0, 3, stat))
        return Fail(error, "stat must be 0, 1, 2 or 3");
    const std::string pdu = cursor.Word();
    if (TpduLength(pdu) < 1)
        return Fail(error, "PDU is not hex octets with a SCA field and a TPDU");
    if (!fixture.Sms(storage).messages.emplace(index, StoredSms{SmsStat(stat), pdu}).second)
        return Fail(error, "message index used twice");
    return true;
}

bool ParsePhonebook(LineCursor& cursor, Fixture& fixture, std::string& error) {
    Storage storage{};
    int index = 0;
    PhonebookEntry entry;
    if (!ParseStorage(cursor.Word(), storage))
        return Fail(error, "memory must be SM or ME");
    if (!ParseNumber(cursor.Word(), 0, kMaxPosition, index))
        return Fail(error, "bad phonebook position");
    if (!ParseNumber(cursor.Word(), 0, 255, entry.type))
        return Fail(error, "type must be 0 .. 255");
    if (!cursor.Quoted(entry.number) || !IsDialString(entry.number))
        return Fail(error, "number must be \"digits, + * #\" of at most 40 characters");
    if (!cursor.Quoted(entry.name) || CodePoints(entry.name) > kNameLength)
        return Fail(error, "name must be quoted and at most 30 characters");
    if (!fixture.Phonebook(storage).entries.emplace(index, entry).second)
        return Fail(error, "phonebook position used twice");
    return true;
}

bool ParseRange(LineCursor& cursor, Fixture& fixture, std::string& error) {
    Storage storage{};
    int first = 0;
    int last = 0;
    if (!ParseStorage(cursor.Word(), storage))
        return Fail(error, "memory must be SM or ME");
    if (!ParseNumber(cursor.Word(), 0, kMaxPosition, first) ||
        !ParseNumber(cursor.Word(), first, kMaxPosition, last))
        return Fail(error, "range must be two positions, first <= last");
    fixture.Phonebook(storage).first = first;
    fixture.Phonebook(storage).last = last;
    return true;
}

bool ParseCapacity(LineCursor& cursor, Fixture& fixture, std::string& error) {
    Storage storage{};
    int total = 0;
    if (!ParseStorage(cursor.Word(), storage))
        return Fail(error, "memory must be SM or ME");
    if (!ParseNumber(cursor.Word(), 1, kMaxCapacity, total))
        return Fail(error, "capacity must be 1 .. 1000");
    fixture.Sms(storage).capacity = total;
    return true;
}

bool ParseReply(LineCursor& cursor, Fixture& fixture, std::string& error) {
    ReplyRule rule;
    rule.prefix = cursor.Word();
    if (rule.prefix.empty())
        return Fail(error, "reply needs a command prefix");
    std::istringstream lines(cursor.Rest());
    std::string line;
    while (std::getline(lines, line, '|'))
        rule.lines.push_back(line);
    fixture.replies.push_back(rule);
    return true;
}

bool ParseCmee(LineCursor& cursor, Fixture& fixture, std::string& error) {
    if (!ParseNumber(cursor.Word(), 0, 2, fixture.cmee))
        return Fail(error, "cmee must be 0, 1 or 2");
    return true;
}

bool ParseVanish(LineCursor& cursor, Fixture& fixture, std::string& error) {
    const std::string prefix = cursor.Word();
    if (prefix.empty())
        return Fail(error, "vanish needs a command prefix");
    fixture.vanishOn.push_back(prefix);
    return true;
}

bool ParseArrive(LineCursor& cursor, Fixture& fixture, std::string& error) {
    TimedArrival arrival;
    int ms = 0;
    if (!ParseNumber(cursor.Word(), 0, 86'400'000, ms))
        return Fail(error, "arrive needs the milliseconds after the start");
    arrival.afterMs = ms;
    arrival.pdu = cursor.Word();
    if (!arrival.pdu.empty() && TpduType(arrival.pdu) != 0)
        return Fail(error, "arrive takes an SMS-DELIVER PDU with its centre field");
    fixture.arrivals.push_back(arrival);
    return true;
}

bool ParseReport(LineCursor& cursor, Fixture& fixture, std::string& error) {
    if (!ParseNumber(cursor.Word(), 0, 3'600'000, fixture.reportDelayMs))
        return Fail(error, "report needs a delay in milliseconds");
    const std::string code = cursor.Word();
    char* end = nullptr;
    const long value = std::strtol(code.c_str(), &end, 16);
    if (code.size() != 2 || *end != '\0' || value < 0 || value > 0xFF)
        return Fail(error, "report needs a status of two hex digits (00 delivered)");
    fixture.reportStatus = static_cast<int>(value);
    return true;
}

bool ParseSilent(LineCursor& /*cursor*/, Fixture& fixture, std::string& /*error*/) {
    fixture.silent = true;
    return true;
}

Handler HandlerFor(const std::string& directive) {
    if (directive == "sms")
        return ParseSms;
    if (directive == "phonebook")
        return ParsePhonebook;
    if (directive == "range")
        return ParseRange;
    if (directive == "capacity")
        return ParseCapacity;
    if (directive == "reply")
        return ParseReply;
    if (directive == "silent")
        return ParseSilent;
    if (directive == "cmee")
        return ParseCmee;
    if (directive == "vanish")
        return ParseVanish;
    if (directive == "arrive")
        return ParseArrive;
    if (directive == "report")
        return ParseReport;
    return nullptr;
}

// Positions are checked once the whole file is read: "capacity" and "range" may come last.
bool CheckLimits(Fixture& fixture, std::string& error) {
    for (Storage storage : {Storage::SM, Storage::ME}) {
        const SmsMemory& sms = fixture.Sms(storage);
        if (!sms.messages.empty() && sms.messages.rbegin()->first > sms.capacity)
            return Fail(error, std::string("message index beyond the capacity of ") +
                                   StorageName(storage));
        const PhonebookMemory& book = fixture.Phonebook(storage);
        for (const auto& [position, entry] : book.entries)
            if (position < book.first || position > book.last)
                return Fail(error, std::string("phonebook position outside the range of ") +
                                       StorageName(storage));
    }
    return true;
}

} // namespace

bool ParseStorage(const std::string& text, Storage& storage) {
    std::string name = text;
    if (name.size() == 4 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, 2);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "SM")
        storage = Storage::SM;
    else if (name == "ME")
        storage = Storage::ME;
    else
        return false;
    return true;
}

const char* StorageName(Storage storage) {
    switch (storage) {
    case Storage::SM:
        return "SM";
    case Storage::ME:
        return "ME";
    }
    return "";
}

bool ParseFixture(const std::string& text, Fixture& fixture, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        LineCursor cursor(StripComment(line));
        const std::string directive = cursor.Word();
        if (directive.empty())
            continue;
        const Handler handler = HandlerFor(directive);
        std::string what;
        if (handler == nullptr)
            what = "unknown directive \"" + directive + "\"";
        else if (handler(cursor, fixture, what) && directive != "reply" && !cursor.AtEnd())
            what = "unexpected text at the end";
        if (!what.empty())
            return Fail(error, "line " + std::to_string(number) + ": " + what);
    }
    return CheckLimits(fixture, error);
}
