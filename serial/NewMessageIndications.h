#pragma once
// How the phone tells of new messages and status reports (3GPP TS 27.005 3.4.1, +CNMI): after
// the session's opening, the phone is asked what it offers (AT+CNMI=?) and set to the best of
// it: a stored message told by "+CMTI: <mem>,<index>" (mt 1; a pushed "+CMT:" only when the
// phone offers no mt 1), a status report pushed "+CDS:" (ds 1) or stored and told "+CDSI:"
// (ds 2), indications buffered while a command runs and flushed after it (mode 2, else 1, 3).
//
// Threads: runs on the thread that holds the port's lease, like any exchange.

#include "serial/CModemSession.h"

#include <optional>
#include <string>
#include <string_view>

struct IndicationChoice {
    int mode = 0;
    int mt = 0;
    int bm = 0;
    int ds = 0;
    int bfr = 0;
};

// The choice from the answer line of AT+CNMI=? ("+CNMI: (0-2),(0-3),(0-3),(0-2),(0,1)");
// nothing when the phone offers no mode that sends indications, nor any mt or ds that tells.
std::optional<IndicationChoice> ChooseIndications(std::string_view testAnswer);
// "AT+CNMI=<mode>,<mt>,<bm>,<ds>,<bfr>".
std::string CnmiCommand(const IndicationChoice& choice);

// The status-bar note of a phone that does not tell new messages.
inline constexpr std::string_view kNoIndicationsText =
    "The phone does not tell new messages (AT+CNMI refused): read them with \"Read SMS\"";

struct IndicationSetup {
    bool set = false;        // the phone took the choice
    IndicationChoice chosen; // what was asked for
    std::string note;        // for the status bar when not set; empty when set
    // A pushed message (+CMT) must be acknowledged with AT+CNMA: the phone runs +CSMS service 1
    // (3GPP TS 27.005 3.2.1), asked only when the choice pushes messages.
    bool acknowledge = false;
};

// Asks AT+CNMI=? and sets the choice. A silent or refusing phone gives `set` false and the
// note; nothing is shown here, and the session goes on.
IndicationSetup SetUpIndications(CModemSession& session);
