#include "sms/AddSmsRows.h"

#include "core/TextHelpers.h"
#include "db/CDaoPhonebook.h"
#include "pdu/Pdu.h"
#include "serial/serialdata.h"
#include "sms/SmsHeader.h"
#include "sms/SmsRowText.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

enum class RowFill { Decoded, Undecoded, LeftOut };

// Views into the answer's lines, which outlive the groups.
struct SmsGroup {
    std::string_view header;
    std::string_view pdu;
};

bool IsHeader(std::string_view line) {
    return line.starts_with("+CMGR:") || line.starts_with("+CMGL:");
}

// The header and PDU lines of every group, from the answer's lines (unsolicited lines, which may
// arrive anywhere, even between a header and its PDU, left out). A header that is the last line
// ends the walk; so does a PDU line with fewer than two lines after it.
std::vector<SmsGroup> CollectGroups(std::span<const std::string_view> lines) {
    std::vector<SmsGroup> groups;
    groups.reserve(lines.size() / 2);
    for (std::size_t i = 0; lines.size() >= 2 && i < lines.size(); ++i) {
        if (!IsHeader(lines[i]))
            continue;
        if (i + 1 >= lines.size())
            break;
        groups.push_back({lines[i], lines[i + 1]});
        i += 1;
        if (i + 2 >= lines.size())
            break;
    }
    return groups;
}

// A PDU line decoded as the kind its own first octet announces, whatever the header's status.
struct DecodedPdu {
    TpduType kind = TpduType::Reserved;
    sms_container sms;
    std::optional<sms_status_report> report;
};

// One record serves every attempt of a listing, so that none is cleared a row (it is large): the
// kind and the report are set anew each time, and a parse that succeeds writes every field of
// its kind that a row's columns read (the parsers write each field they meet). What a failed
// attempt leaves is never read.
bool DecodeAs(std::string_view text, DecodedPdu& out) {
    const std::optional<TpduType> kind = tpdu_type(text);
    if (!kind)
        return false;
    out.kind = *kind;
    out.report.reset();
    switch (*kind) {
    case TpduType::Deliver:
        return parse_sms_in(text, out.sms, nullptr) == 1;
    case TpduType::Submit:
        return parse_sms_out(text, out.sms, nullptr) == 1;
    case TpduType::StatusReport:
        out.report = parse_status_report(text);
        return out.report.has_value();
    case TpduType::Reserved:
        return false;
    }
    return false;
}

// The longest PDU text decoded: what a line holds past it is not looked at.
std::string_view LineHead(std::string_view text) {
    return text.substr(0, kMaxPduLineChars);
}

bool DecodePrefixed(std::string_view pdu, DecodedPdu& out) {
    std::string prefixed;
    prefixed.reserve(kNoScaPrefix.size() + pdu.size());
    prefixed.append(kNoScaPrefix).append(pdu);
    return DecodeAs(LineHead(prefixed), out);
}

bool DecodePlain(std::string_view pdu, DecodedPdu& out) {
    return DecodeAs(LineHead(pdu), out);
}

// Decodes the PDU, with "0100" in front when the box says so; a PDU that fails without it is
// tried once more with it, and the box stays checked from then on. With the box checked, a PDU
// that does carry its centre still decodes without the prefix: one message without a centre
// must not make every later message unreadable.
bool DecodePdu(std::string_view pdu, DecodedPdu& out, bool& noSca, ISmsReadForm& form) {
    if (noSca)
        return DecodePrefixed(pdu, out) || DecodePlain(pdu, out);
    if (DecodePlain(pdu, out))
        return true;
    noSca = true;
    form.SetNoScaChecked(true);
    return DecodePrefixed(pdu, out);
}

std::string_view TypeWord(TpduType kind, int status) {
    switch (kind) {
    case TpduType::Deliver:
        return "IN";
    case TpduType::Submit:
        return "OUT";
    case TpduType::StatusReport:
        return kSmsReportType;
    case TpduType::Reserved:
        break;
    }
    return StatusWords(status).type;
}

// The phonebook's name of each number, asked of the database once while the names live. The
// phonebook is open only while a call lists (Open to Release), so that no lock on the database is
// held between the batches of a long capture: a later batch opens it again only for a number not
// asked before.
class PhonebookNames {
public:
    explicit PhonebookNames(const SmsReadContext& c) : context(c), phonebook(&c.database) {}
    ~PhonebookNames() { Release(); }
    PhonebookNames(const PhonebookNames&) = delete;
    PhonebookNames& operator=(const PhonebookNames&) = delete;

    // "Cannot Open dbPhonebook" when it does not open, once: the names are empty from then on.
    bool Open() {
        if (isOpen || failed)
            return isOpen;
        isOpen = phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges);
        failed = !isOpen;
        if (failed)
            ShowOk(context.messages, "Cannot Open dbPhonebook", kAppTitle);
        return isOpen;
    }
    void Release() {
        if (isOpen)
            phonebook.Close();
        isOpen = false;
    }

    const std::string& NameOf(const std::string& number) {
        static const std::string kNoName;
        const auto known = names.find(number);
        if (known != names.end())
            return known->second;
        if (!Open())
            return kNoName;
        std::string name = phonebook.FindFirst("Numero", number) ? phonebook.Nome : std::string();
        return names.emplace(number, std::move(name)).first->second;
    }

private:
    const SmsReadContext& context;
    CDaoPhonebook phonebook;
    bool isOpen = false;
    bool failed = false;
    std::unordered_map<std::string, std::string> names;
};

class RowBuilder {
public:
    // The box is read once a call: the form is asked across threads.
    RowBuilder(const SmsReadContext& c, PhonebookNames& book)
        : context(c), phonebook(book), noSca(c.form.NoScaChecked()),
          directions(c.form.CheckedDirections()) {}

    // Whether a group gets a row at all: statuses 0 to 3 only.
    static bool Lists(int status) { return IsListedStatus(status); }

    // Fills the row of a listed status by what its PDU is. A message whose direction the check
    // boxes leave out (received messages and reports count as "SMS IN") gets no row and no box;
    // neither does a PDU that does not decode under a left-out status.
    RowFill Fill(int status, std::string_view pdu, SmsRow& row) {
        if (!DecodePdu(pdu, decoded, noSca, context.form)) {
            if (!directions.Lists(IsReceivedStatus(status)))
                return RowFill::LeftOut;
            ShowOk(context.messages, "Error parsing... sorry", kAppTitle);
            // The raw line stays in view under the header's type; the copy leaves it out of the
            // archive.
            row[kSmsTypeColumn] = StatusWords(status).type;
            row[kSmsTextColumn] = LineHead(pdu);
            row[kSmsKindField] = kSmsUndecodedKind;
            return RowFill::Undecoded;
        }
        if (!directions.Lists(decoded.kind != TpduType::Submit))
            return RowFill::LeftOut;
        row[kSmsTypeColumn] = TypeWord(decoded.kind, status);
        switch (decoded.kind) {
        case TpduType::Deliver:
            FillReceivedColumns(decoded.sms, row, centre);
            break;
        case TpduType::Submit:
            FillStoredColumns(decoded.sms, row, centre);
            break;
        case TpduType::StatusReport:
            FillReportColumns(*decoded.report, row);
            break;
        case TpduType::Reserved:
            break;
        }
        row[kSmsNameColumn] = phonebook.NameOf(row[kSmsSenderColumn]);
        if (decoded.report && context.reportRead)
            context.reportRead(*decoded.report, row);
        return RowFill::Decoded;
    }

private:
    const SmsReadContext& context;
    PhonebookNames& phonebook;
    bool noSca;
    SmsDirections directions;
    DecodedPdu decoded;
    ShownCentre centre;
};

} // namespace

SmsRowsResult AddSmsRows(serialdata& store, int ordinal, const SmsReadContext& context) {
    return AddSmsRowsFromLines(SnapshotAnswerLines(store), ordinal, context);
}

SmsRowsResult AddSmsRowsFromLines(const std::vector<std::string>& lines, int ordinal,
                                  const SmsReadContext& context) {
    return AddSmsRowsFromLines(std::span<const std::string>(lines), ordinal, context);
}

struct SmsRowLister::Open {
    explicit Open(const SmsReadContext& context) : names(context) {}

    PhonebookNames names;
    std::optional<RowBuilder> builder;
};

SmsRowLister::SmsRowLister(const SmsReadContext& readContext, bool keepRows)
    : context(readContext), keepListed(keepRows) {}

SmsRowLister::~SmsRowLister() = default;

bool SmsRowLister::OpenPhonebook() {
    if (open)
        return open->builder.has_value();
    open = std::make_unique<Open>(context);
    if (!open->names.Open())
        return false;
    open->builder.emplace(context, open->names);
    return true;
}

SmsRowsResult SmsRowLister::List(std::span<const std::string> lines, int ordinal) {
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    return List(std::span<const std::string_view>(views), ordinal);
}

SmsRowsResult SmsRowLister::List(std::span<const std::string_view> lines, int ordinal) {
    SmsRowsResult result;
    if (!OpenPhonebook())
        return result;
    result.phonebookOpen = true;
    RowBuilder& builder = *open->builder;
    const std::vector<SmsGroup> groups = CollectGroups(lines);
    rows.reserve(groups.size());
    std::size_t used = 0;
    int nextOrdinal = ordinal;
    for (const SmsGroup& group : groups) {
        ++result.groups;
        const bool listAnswer = group.header.starts_with("+CMGL:");
        const int status =
            listAnswer ? HeaderSecondField(group.header) : HeaderFirstField(group.header);
        const int number = listAnswer ? HeaderIndex(group.header) : nextOrdinal++;
        if (!RowBuilder::Lists(status))
            continue;
        if (used == rows.size())
            rows.emplace_back();
        // A row left from an earlier one keeps its buffers, not its texts.
        SmsRow& row = rows[used];
        for (std::string& cell : row)
            cell.clear();
        row[kSmsNumberColumn] = std::to_string(number);
        row[kSmsStatColumn] = StatusWords(status).stat;
        const RowFill filled = builder.Fill(status, group.pdu, row);
        if (filled == RowFill::LeftOut)
            continue;
        if (filled == RowFill::Undecoded)
            ++result.undecoded;
        if (context.rowListed)
            context.rowListed(row);
        ++used;
    }
    open->names.Release();
    rows.resize(used);
    result.rows = static_cast<int>(used);
    if (!rows.empty())
        context.form.InsertSmsRows(0, rows);
    if (keepListed) {
        result.listed = std::move(rows);
        rows.clear();
    }
    return result;
}

SmsRowsResult AddSmsRowsFromLines(std::span<const std::string> lines, int ordinal,
                                  const SmsReadContext& context) {
    SmsRowsResult result;
    {
        SmsRowLister lister(context);
        result = lister.List(lines, ordinal);
    }
    if (result.phonebookOpen)
        context.form.EnableReadControls(0);
    return result;
}
