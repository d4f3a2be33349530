#include "sms/AddSmsRows.h"

#include "core/TextHelpers.h"
#include "db/CDaoPhonebook.h"
#include "pdu/Pdu.h"
#include "serial/serialdata.h"
#include "sms/SmsHeader.h"
#include "sms/SmsRowText.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct SmsGroup {
    std::string header;
    std::string pdu;
};

bool IsHeader(std::string_view line) {
    return line.starts_with("+CMGR:") || line.starts_with("+CMGL:");
}

// The header and PDU lines of every group, from the answer's lines (unsolicited lines, which may
// arrive anywhere, even between a header and its PDU, left out). A header that is the last line
// ends the walk; so does a PDU line with fewer than two lines after it.
std::vector<SmsGroup> CollectGroups(const std::vector<std::string>& lines) {
    std::vector<SmsGroup> groups;
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

using Parser = int (*)(std::string_view, sms_container&, std::string*);

// Each attempt starts from an empty record: a failed one leaves fields half filled.
int ParsePrefixed(Parser parse, std::string_view pdu, sms_container& sms) {
    sms = sms_container{};
    const std::string text =
        CopyHead(std::string(kNoScaPrefix) + std::string(pdu), static_cast<int>(kMaxPduLineChars));
    return parse(text, sms, nullptr);
}

int ParsePlain(Parser parse, std::string_view pdu, sms_container& sms) {
    sms = sms_container{};
    return parse(CopyHead(pdu, static_cast<int>(kMaxPduLineChars)), sms, nullptr);
}

// Decodes the PDU, with "0100" in front when the box says so; a PDU that fails without it is
// tried once more with it, and the box stays checked from then on. With the box checked, a PDU
// that does carry its centre still decodes without the prefix: one message without a centre
// must not make every later message unreadable.
bool DecodePdu(Parser parse, std::string_view pdu, sms_container& sms, bool& noSca,
               ISmsReadForm& form) {
    if (noSca)
        return ParsePrefixed(parse, pdu, sms) == 1 || ParsePlain(parse, pdu, sms) == 1;
    if (ParsePlain(parse, pdu, sms) == 1)
        return true;
    noSca = true;
    form.SetNoScaChecked(true);
    return ParsePrefixed(parse, pdu, sms) == 1;
}

class RowBuilder {
public:
    // The box is read once a call: the form is asked across threads.
    RowBuilder(const SmsReadContext& c, CDaoPhonebook& book)
        : context(c), phonebook(book), noSca(c.form.NoScaChecked()),
          directions(c.form.CheckedDirections()) {}

    // A status whose direction the check boxes leave out gets no row (and its PDU no decoding).
    bool Lists(int status) const {
        return IsListedStatus(status) && directions.Lists(IsReceivedStatus(status));
    }

    // Fills the row of a listed status; false when its PDU did not decode.
    bool Fill(int status, std::string_view pdu, SmsRow& row) {
        const bool received = IsReceivedStatus(status);
        sms_container sms;
        if (!DecodePdu(received ? parse_sms_in : parse_sms_out, pdu, sms, noSca, context.form)) {
            ShowOk(context.messages, "Error parsing... sorry", kAppTitle);
            // The raw line stays in view, and goes to the archive with the row.
            row[kSmsTextColumn] = CopyHead(pdu, static_cast<int>(kMaxPduLineChars));
            return false;
        }
        if (received)
            FillReceivedColumns(sms, row);
        else
            FillStoredColumns(sms, row);
        row[kSmsNameColumn] = NameOf(row[kSmsSenderColumn]);
        return true;
    }

private:
    // The phonebook's name for a number; each number is looked up once a call, which keeps a
    // long captured log from asking the database once per message.
    std::string NameOf(const std::string& number) {
        const auto known = names.find(number);
        if (known != names.end())
            return known->second;
        std::string name = phonebook.FindFirst("Numero", number) ? phonebook.Nome : std::string();
        names.emplace(number, name);
        return name;
    }

    const SmsReadContext& context;
    CDaoPhonebook& phonebook;
    bool noSca;
    SmsDirections directions;
    std::unordered_map<std::string, std::string> names;
};

} // namespace

SmsRowsResult AddSmsRows(serialdata& store, int ordinal, const SmsReadContext& context) {
    return AddSmsRowsFromLines(SnapshotAnswerLines(store), ordinal, context);
}

SmsRowsResult AddSmsRowsFromLines(const std::vector<std::string>& lines, int ordinal,
                                  const SmsReadContext& context) {
    SmsRowsResult result;
    CDaoPhonebook phonebook(&context.database);
    if (!phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges)) {
        ShowOk(context.messages, "Cannot Open dbPhonebook", kAppTitle);
        return result;
    }
    result.phonebookOpen = true;
    RowBuilder builder(context, phonebook);
    std::vector<SmsRow> rows;
    int nextOrdinal = ordinal;
    for (const SmsGroup& group : CollectGroups(lines)) {
        ++result.groups;
        const bool listAnswer = group.header.starts_with("+CMGL:");
        const int status =
            listAnswer ? HeaderSecondField(group.header) : HeaderFirstField(group.header);
        const int number = listAnswer ? HeaderIndex(group.header) : nextOrdinal++;
        if (!builder.Lists(status))
            continue;
        SmsRow row;
        row[kSmsNumberColumn] = std::to_string(number);
        row[kSmsTypeColumn] = StatusWords(status).type;
        row[kSmsStatColumn] = StatusWords(status).stat;
        if (!builder.Fill(status, group.pdu, row))
            ++result.undecoded;
        if (context.rowListed)
            context.rowListed(row);
        rows.push_back(std::move(row));
    }
    phonebook.Close();
    result.rows = static_cast<int>(rows.size());
    if (!rows.empty())
        context.form.InsertSmsRows(0, rows);
    result.listed = std::move(rows);
    context.form.EnableReadControls(0);
    return result;
}
