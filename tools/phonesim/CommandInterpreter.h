#pragma once
// The simulated phone's side of the serial line: it takes the bytes the client writes, one at a
// time, and says what goes back (echo, response lines, the "> " prompt) and what the transcript
// records. Command lines end at a carriage return; line feeds are ignored, backspace deletes.
// After "AT+CMGS=<n>" the phone waits for a PDU ended by Ctrl-Z; ESC cancels it and is answered
// "OK", as most phones do.

#include "tools/phonesim/DeviceCommands.h"
#include "tools/phonesim/Fixture.h"
#include "tools/phonesim/PhoneSettings.h"
#include "tools/phonesim/PhonebookCommands.h"
#include "tools/phonesim/SimEvent.h"
#include "tools/phonesim/SmsCommands.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

class CommandInterpreter {
public:
    explicit CommandInterpreter(Fixture phoneData);
    CommandInterpreter(const CommandInterpreter&) = delete;
    CommandInterpreter& operator=(const CommandInterpreter&) = delete;

    // Appends to `events` what the byte causes.
    void Feed(char byte, std::vector<SimEvent>& events);
    // The clock: `nowMs` since the start. Serves the fixture's timed arrivals and the status
    // reports that are due, except while a PDU is being typed after the prompt (they wait).
    void Tick(long nowMs, std::vector<SimEvent>& events);
    // A message arrives now: `pdu` (hex, centre field first), or "New message <n>" from
    // kArrivalSender when it is empty. Held back while a PDU is being typed.
    void Arrive(const std::string& message);
    // The network registration changes to <stat> (0-5), told by "+CREG:" as AT+CREG asked;
    // held back while a PDU is being typed, as arrivals are.
    void ChangeRegistration(int stat);

    // Longest command line kept; a longer one is answered "ERROR".
    static constexpr std::size_t kMaxLine = 1024;

private:
    void FeedCommand(char byte, std::vector<SimEvent>& events);
    void FeedPdu(char byte, std::vector<SimEvent>& events);
    void EndLine(std::vector<SimEvent>& events);
    void EndPdu(std::vector<SimEvent>& events);
    void Answer(const CommandResult& result, std::vector<SimEvent>& events);
    const ReplyRule* MatchingRule(const std::string& line) const;

    CommandResult RunLine(const std::string& body);
    CommandResult RunExtended(const std::string& body, std::size_t& pos);
    CommandResult RunBasic(const std::string& body, std::size_t& pos);
    CommandResult RunRegister(const std::string& body, std::size_t& pos);
    std::string FinalText(const CommandResult& result) const;
    void Reset();
    int* Register(int number);

    void ScheduleReport(const std::string& submitPdu);
    void PlayUnsolicited(const std::vector<std::string>& lines, std::vector<SimEvent>& events);

    // A status report or a message that waits for its time, or for the prompt to be done.
    enum class PendingKind { Message, Report, Registration };
    struct Pending {
        long dueMs = 0;
        PendingKind kind = PendingKind::Message;
        std::string pdu; // the registration's <stat> for a change of it
    };
    void PlayPending(Pending& item, std::vector<SimEvent>& events);

    Fixture fixture;
    PhoneSettings settings;
    std::vector<Pending> pending;
    long clockMs = 0;
    int generated = 0;
    SmsCommands sms{fixture};
    PhonebookCommands phonebook{fixture, settings};
    DeviceCommands device{settings};

    std::string line;
    bool lineTooLong = false;
    bool awaitingPdu = false;
    std::string pdu;
    bool pduMalformed = false;
    // S-registers the phone keeps (V.250 6.2), number and value; S3 ends a command line, S5
    // deletes the last character.
    static constexpr std::array<std::pair<int, int>, 7> kRegisterDefaults = {
        {{0, 0}, {3, 13}, {4, 10}, {5, 8}, {7, 60}, {8, 2}, {10, 14}}};
    std::array<std::pair<int, int>, 7> registers = kRegisterDefaults;
};
