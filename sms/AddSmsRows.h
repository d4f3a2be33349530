#pragma once
// The row builder of the SMS list: turns the "+CMGR:" and "+CMGL:" groups of the line store
// (header line, then the PDU line) into rows, with the sender's name from the database's
// phonebook.

#include "core/MessageSink.h"
#include "pdu/StatusReport.h"
#include "sms/ISmsReadForm.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CDaoDatabase;
struct serialdata;

// The "service-centre address" a PDU without one gets in front: length 1, type octet 00.
inline constexpr std::string_view kNoScaPrefix = "0100";
// Longest PDU text handled, the prefix included.
inline constexpr std::size_t kMaxPduLineChars = 1000;

// What the operations share with the Read SMS tab.
struct SmsReadContext {
    CDaoDatabase& database;
    IMessageSink& messages;
    ISmsReadForm& form;
    // Given each row as it is built, before the list gets it, in the order of the answer (on
    // the reading thread); a front end that shows rows as they come sets it.
    std::function<void(const SmsRow&)> rowListed{};
    // Given each status report read, with its row before the row is handed out (on the reading
    // thread); a read from the phone sets it to match the report to the part it reports on.
    std::function<void(const sms_status_report&, SmsRow&)> reportRead{};
};

struct SmsRowsResult {
    bool phonebookOpen = false; // false: "Cannot Open dbPhonebook", nothing listed
    int rows = 0;               // rows inserted
    int undecoded = 0;          // of those, rows whose PDU did not decode
    int groups = 0;             // header and PDU pairs met, with or without a row
    std::vector<SmsRow> listed; // the rows inserted, in their order
};

// Builds rows from the store's current lines and inserts them at the top of the list, in the
// order of the groups. A "+CMGR:" group shows `ordinal` in column 0, the next one ordinal + 1
// and so on; a "+CMGL:" group its memory index. The PDU's own first octet says what it is: an
// SMS-DELIVER gives an "IN" row, an SMS-SUBMIT an "OUT" row and a status report a "REPORT" row,
// whatever the header's status (which gives STAT). Only the directions the form's check boxes
// choose get rows (a left-out group still takes its ordinal). The store's lock is held only while
// the groups are copied out, never while the form or the database is asked.
SmsRowsResult AddSmsRows(serialdata& store, int ordinal, const SmsReadContext& context);
// The same from answer lines already taken out of the store (a reply's, or a pushed message's
// header and PDU).
SmsRowsResult AddSmsRowsFromLines(const std::vector<std::string>& lines, int ordinal,
                                  const SmsReadContext& context);
SmsRowsResult AddSmsRowsFromLines(std::span<const std::string> lines, int ordinal,
                                  const SmsReadContext& context);

// The row builder kept over many answers, for a capture read in batches: each number is looked
// up in the phonebook once while the lister lives. The phonebook is opened by the first List and
// again by a later one only for a number not met before, and is closed at the end of each, so no
// lock on the database is held between batches.
class SmsRowLister {
public:
    // Without `keepListed` the results' `listed` stays empty and the rows' texts are kept from
    // one List to the next, so that a long capture builds its rows without allocating anew.
    explicit SmsRowLister(const SmsReadContext& context, bool keepListed = true);
    ~SmsRowLister();
    SmsRowLister(const SmsRowLister&) = delete;
    SmsRowLister& operator=(const SmsRowLister&) = delete;

    // As AddSmsRowsFromLines, but the read controls are left as they are. A phonebook that does
    // not open is told once ("Cannot Open dbPhonebook"); no List lists anything then.
    SmsRowsResult List(std::span<const std::string> lines, int ordinal);
    // The same of views into lines held elsewhere.
    SmsRowsResult List(std::span<const std::string_view> lines, int ordinal);

private:
    struct Open;
    bool OpenPhonebook();

    const SmsReadContext& context;
    bool keepListed;
    std::unique_ptr<Open> open;
    std::vector<SmsRow> rows; // of the current List; kept for the next without keepListed
};
