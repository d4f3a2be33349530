#include "tools/phonesim/CommandInterpreter.h"

#include "tools/phonesim/ArrivalPdus.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <utility>

namespace {

constexpr char kCtrlZ = 26;
constexpr char kEscape = 27;

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// V.250: command names are case-insensitive and blanks between them mean nothing; strings in
// quotes are kept as they are.
std::string Normalise(const std::string& body) {
    std::string out;
    bool quoted = false;
    for (char c : body) {
        if (c == '"')
            quoted = !quoted;
        if (quoted || c == '"')
            out += c;
        else if (c != ' ')
            out += Upper(c);
    }
    return out;
}

// Reads the decimal digits at `pos` (at most 3); -1 when there are none.
int ReadValue(const std::string& body, std::size_t& pos) {
    int value = -1;
    for (int digits = 0; pos < body.size() && IsDigit(body[pos]) && digits < 3; ++digits)
        value = (value < 0 ? 0 : value * 10) + (body[pos++] - '0');
    return value;
}

// +CME ERROR texts for +CMEE=2 (3GPP TS 27.007 9.2.1).
std::string CmeText(int code) {
    switch (code) {
    case kCmeNotAllowed:
        return "operation not allowed";
    case kCmeNotSupported:
        return "operation not supported";
    case kCmeInvalidIndex:
        return "invalid index";
    case kCmeInvalidCharacters:
        return "invalid characters in dial string";
    case kCmeIncorrectParameters:
        return "incorrect parameters";
    default:
        return "unknown";
    }
}

void AddLines(const std::vector<std::string>& lines, std::vector<SimEvent>& events) {
    std::transform(lines.begin(), lines.end(), std::back_inserter(events),
                   [](const std::string& text) {
                       return SimEvent{EventKind::Line, text};
                   });
}

bool StartsWithAt(const std::string& text) {
    return text.size() >= 2 && Upper(text[0]) == 'A' && Upper(text[1]) == 'T';
}

} // namespace

CommandInterpreter::CommandInterpreter(Fixture phoneData) : fixture(std::move(phoneData)) {
    settings.cmee = fixture.cmee;
    for (const TimedArrival& arrival : fixture.arrivals)
        pending.push_back({arrival.afterMs, PendingKind::Message, arrival.pdu});
}

void CommandInterpreter::Arrive(const std::string& message) {
    pending.push_back({clockMs, PendingKind::Message, message});
}

void CommandInterpreter::ChangeRegistration(int stat) {
    pending.push_back({clockMs, PendingKind::Registration, std::to_string(stat)});
}

void CommandInterpreter::ScheduleReport(const std::string& submitPdu) {
    const std::optional<SubmitFacts> facts = ReadSubmit(submitPdu);
    if (!facts || !facts->reportRequested)
        return;
    const std::time_t now = std::time(nullptr);
    const std::string report =
        BuildStatusReport(sms.CentreNumber(), sms.LastReference(), facts->recipient,
                          fixture.reportStatus, now, now + fixture.reportDelayMs / 1000);
    pending.push_back({clockMs + fixture.reportDelayMs, PendingKind::Report, report});
}

void CommandInterpreter::Tick(long nowMs, std::vector<SimEvent>& events) {
    clockMs = nowMs;
    if (awaitingPdu || fixture.silent)
        return;
    // In the order they fell due; the rest keep theirs.
    std::vector<Pending> waiting;
    for (Pending& item : pending) {
        if (item.dueMs > nowMs) {
            waiting.push_back(std::move(item));
            continue;
        }
        PlayPending(item, events);
    }
    pending = std::move(waiting);
}

void CommandInterpreter::PlayPending(Pending& item, std::vector<SimEvent>& events) {
    switch (item.kind) {
    case PendingKind::Report:
        PlayUnsolicited(sms.DeliverReport(item.pdu), events);
        return;
    case PendingKind::Registration:
        PlayUnsolicited(device.ChangeRegistration(std::stoi(item.pdu)), events);
        return;
    case PendingKind::Message:
        break;
    }
    if (item.pdu.empty())
        item.pdu = BuildDeliver(sms.CentreNumber(), kArrivalSender,
                                "New message " + std::to_string(++generated), std::time(nullptr));
    PlayUnsolicited(sms.Deliver(item.pdu), events);
}

void CommandInterpreter::PlayUnsolicited(const std::vector<std::string>& lines,
                                         std::vector<SimEvent>& events) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        events.push_back({i == 0 ? EventKind::Unsolicited : EventKind::UnsolicitedData, lines[i]});
}

void CommandInterpreter::Feed(char byte, std::vector<SimEvent>& events) {
    if (awaitingPdu)
        FeedPdu(byte, events);
    else
        FeedCommand(byte, events);
}

void CommandInterpreter::FeedCommand(char byte, std::vector<SimEvent>& events) {
    if (settings.echo && !fixture.silent)
        events.push_back({EventKind::Echo, std::string(1, byte)});
    if (byte == static_cast<char>(*Register(3))) {
        EndLine(events);
    } else if (byte == static_cast<char>(*Register(5))) {
        if (!line.empty())
            line.pop_back();
    } else if (byte != '\n' && byte != kCtrlZ && byte != kEscape) {
        if (line.size() < kMaxLine)
            line += byte;
        else
            lineTooLong = true;
    }
}

void CommandInterpreter::FeedPdu(char byte, std::vector<SimEvent>& events) {
    if (byte == kEscape) {
        awaitingPdu = false;
        events.push_back({EventKind::Cancelled, {}});
        Answer(OkResult(), events);
        return;
    }
    if (byte == kCtrlZ) {
        EndPdu(events);
        return;
    }
    if (settings.echo)
        events.push_back({EventKind::Echo, std::string(1, byte)});
    if (byte == '\r' || byte == '\n' || byte == ' ')
        return;
    if (pdu.size() < SmsCommands::kMaxPduText)
        pdu += byte;
    else
        pduMalformed = true;
}

void CommandInterpreter::EndPdu(std::vector<SimEvent>& events) {
    awaitingPdu = false;
    bool accepted = false;
    const CommandResult result =
        pduMalformed ? CmsErrorResult(kCmsInvalidPduParameter) : sms.FinishSubmit(pdu, accepted);
    events.push_back({accepted ? EventKind::Sent : EventKind::Received, pdu});
    if (std::ranges::find(fixture.vanishOn, kVanishAfterPdu) != fixture.vanishOn.end()) {
        events.push_back({EventKind::Vanish, {}}); // taken, maybe sent, never answered
        return;
    }
    if (accepted)
        ScheduleReport(pdu);
    Answer(result, events);
}

void CommandInterpreter::EndLine(std::vector<SimEvent>& events) {
    const std::string received = std::move(line);
    const bool tooLong = std::exchange(lineTooLong, false);
    line.clear();
    if (received.empty())
        return;
    events.push_back({EventKind::Received, received});
    for (const std::string& prefix : fixture.vanishOn) {
        if (received.starts_with(prefix)) {
            events.push_back({EventKind::Vanish, {}});
            return;
        }
    }
    if (fixture.silent)
        return;
    if (const ReplyRule* rule = MatchingRule(received)) {
        AddLines(rule->lines, events);
        return;
    }
    if (!StartsWithAt(received))
        return; // not for the phone: a real one ignores it too
    Answer(tooLong ? ErrorResult() : RunLine(Normalise(received.substr(2))), events);
}

const ReplyRule* CommandInterpreter::MatchingRule(const std::string& received) const {
    for (const auto& rule : fixture.replies) {
        if (received.size() < rule.prefix.size())
            continue;
        const std::size_t head = std::min<std::size_t>(2, rule.prefix.size());
        bool same = true;
        for (std::size_t i = 0; i < rule.prefix.size() && same; ++i)
            same = i < head ? Upper(received[i]) == Upper(rule.prefix[i])
                            : received[i] == rule.prefix[i];
        if (same)
            return &rule;
    }
    return nullptr;
}

void CommandInterpreter::Answer(const CommandResult& result, std::vector<SimEvent>& events) {
    AddLines(result.lines, events);
    if (result.final == FinalResult::Prompt) {
        awaitingPdu = true;
        pdu.clear();
        pduMalformed = false;
        events.push_back({EventKind::Prompt, "> "});
        return;
    }
    events.push_back({EventKind::Line, FinalText(result)});
}

std::string CommandInterpreter::FinalText(const CommandResult& result) const {
    switch (result.final) {
    case FinalResult::Ok:
    case FinalResult::Prompt:
        return "OK";
    case FinalResult::Error:
        return "ERROR";
    case FinalResult::CmsError:
        return "+CMS ERROR: " + std::to_string(result.code);
    case FinalResult::CmeError:
        if (settings.cmee == 0)
            return "ERROR";
        return "+CME ERROR: " +
               (settings.cmee == 1 ? std::to_string(result.code) : CmeText(result.code));
    }
    return "ERROR";
}

// Runs the commands of one line in turn; the first that fails ends the line with its error.
CommandResult CommandInterpreter::RunLine(const std::string& body) {
    CommandResult all = OkResult();
    std::size_t pos = 0;
    while (pos < body.size()) {
        if (body[pos] == ';') {
            ++pos; // separates commands; harmless after a basic one
            continue;
        }
        CommandResult one = body[pos] == '+' ? RunExtended(body, pos) : RunBasic(body, pos);
        all.lines.insert(all.lines.end(), one.lines.begin(), one.lines.end());
        if (one.final != FinalResult::Ok) {
            all.final = one.final;
            all.code = one.code;
            return all; // an error, or the prompt, which takes the rest of the line
        }
    }
    return all;
}

CommandResult CommandInterpreter::RunExtended(const std::string& body, std::size_t& pos) {
    std::size_t end = pos + 1;
    while (end < body.size() && (std::isalnum(static_cast<unsigned char>(body[end])) != 0))
        ++end;
    const std::string name = body.substr(pos, end - pos);
    bool quoted = false;
    std::size_t stop = end;
    for (; stop < body.size() && (quoted || body[stop] != ';'); ++stop)
        if (body[stop] == '"')
            quoted = !quoted;
    CommandArgs args;
    const bool wellFormed = ParseCommandArgs(body.substr(end, stop - end), args);
    pos = stop < body.size() ? stop + 1 : stop;
    if (!wellFormed)
        return ErrorResult();
    CommandResult result;
    const std::array<CommandGroup*, 3> groups = {&sms, &phonebook, &device};
    const bool known = std::any_of(groups.begin(), groups.end(), [&](CommandGroup* group) {
        return group->Run(name, args, result);
    });
    return known ? result : ErrorResult(); // what a phone says to a command it does not know
}

CommandResult CommandInterpreter::RunBasic(const std::string& body, std::size_t& pos) {
    std::string name(1, body[pos++]);
    if (name == "S")
        return RunRegister(body, pos);
    if (name == "&" && pos < body.size())
        name += body[pos++];
    const int value = ReadValue(body, pos);
    if (name == "E" && value <= 1) {
        settings.echo = value == 1;
        return OkResult();
    }
    if ((name == "Z" || name == "&F") && value <= 0) {
        Reset();
        return OkResult();
    }
    if (name == "I" && value <= 9)
        return OkResult({std::string(kManufacturer) + " " + kModel + " " + kRevision});
    // Accepted and without effect on a phone on a pty: quiet mode off, verbose results on,
    // speaker, call progress, DCD/DTR handling, hang up, store profile.
    if ((name == "Q" && value <= 0) || (name == "V" && value == 1) ||
        ((name == "L" || name == "M" || name == "X" || name == "&C" || name == "&D" ||
          name == "&K" || name == "&W" || name == "H") &&
         value <= 9))
        return OkResult();
    return ErrorResult();
}

CommandResult CommandInterpreter::RunRegister(const std::string& body, std::size_t& pos) {
    const int number = ReadValue(body, pos);
    int* registerValue = Register(number);
    if (registerValue == nullptr || pos >= body.size())
        return ErrorResult();
    const char op = body[pos++];
    if (op == '?') {
        char text[4];
        std::snprintf(text, sizeof text, "%03d", *registerValue);
        return OkResult({text});
    }
    const int value = op == '=' ? ReadValue(body, pos) : -1;
    // Line feed and the framing of responses stay fixed; S3 and S5 are honoured.
    if (value < 0 || value > 127 || (number == 4 && value != 10))
        return ErrorResult();
    *registerValue = value;
    return OkResult();
}

int* CommandInterpreter::Register(int number) {
    for (auto& [n, value] : registers)
        if (n == number)
            return &value;
    return nullptr;
}

void CommandInterpreter::Reset() {
    settings.echo = true;
    settings.cmee = fixture.cmee;
    settings.charset = "IRA";
    registers = kRegisterDefaults;
}
