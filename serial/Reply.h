#pragma once
// What one exchange with the phone gave: its final result, the lines that answer the command and
// the unsolicited lines that arrived meanwhile, kept apart.

#include <string>
#include <string_view>
#include <vector>

struct serialdata;

enum class ReplyResult {
    Ok,       // "OK" (whatever error line came too)
    Error,    // "ERROR"
    CmsError, // "+CMS ERROR: <n>"
    CmeError, // "+CME ERROR: <n>"
    Timeout,  // no final result within the wait
    PortLost, // the device went away
};

struct Reply {
    ReplyResult result = ReplyResult::Timeout;
    int errorCode = -1;                   // <n> of +CMS/+CME ERROR; -1 when there is none
    std::vector<std::string> lines;       // the answer, final result lines left out
    std::vector<std::string> unsolicited; // unsolicited lines, each code's PDU line after it

    bool Ok() const { return result == ReplyResult::Ok; }
    // The answer SendAndWait gives for it: kAnswerOk, kAnswerError or kAnswerTimeout.
    int Answer() const;
    // The first answer line that begins with `prefix`, or nullptr.
    const std::string* Find(std::string_view prefix) const;
};

// The reply in the store now, its lines read under the store's lock. `answer` is the exchange's
// own word on it (kAnswerOk, kAnswerError, kAnswerTimeout), or kFromFlags to go by the store's
// flags as they are; `portLost` tells a silent port from a lost one.
inline constexpr int kFromFlags = 0;
Reply ReadReply(serialdata& store, int answer, bool portLost);

// What a reply that is not OK was, in words: "ERROR", "+CMS ERROR: 321", "+CME ERROR: 21",
// "no answer", "the port went away" ("OK" for one that is).
std::string ReplyFailureText(const Reply& reply);

// True for "OK", "ERROR", "+CMS ERROR:..." and "+CME ERROR:...".
bool IsFinalResultLine(std::string_view line);
