// AddSmsRows over any "+CMGR:"/"+CMGL:" groups (and anything between them) in the line store,
// with a real phonebook table for the name lookups. The rows must match what the groups allow:
// one per header of a listed status at most, each with its type, status words and a number, one
// "Error parsing... sorry" per PDU that did not decode, and the list touched only by inserts.

#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "fuzz/FuzzCheck.h"
#include "serial/serialdata.h"
#include "sms/AddSmsRows.h"
#include "sms/FakeSmsReadForm.h"
#include "sms/SmsList.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sqlite3.h>
#include <sstream>
#include <unistd.h>

namespace {

// A database made from the shipped schema once, with two phonebook entries.
CDaoDatabase& Database() {
    static CDaoDatabase database;
    static const bool opened = [] {
        char path[] = "/tmp/telvane-fuzz-XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0)
            return false;
        close(fd);
        std::ifstream schemaFile(TELVANE_SCHEMA);
        std::stringstream schema;
        schema << schemaFile.rdbuf();
        sqlite3* handle = nullptr;
        const bool made =
            sqlite3_open(path, &handle) == SQLITE_OK &&
            sqlite3_exec(handle, schema.str().c_str(), nullptr, nullptr, nullptr) == SQLITE_OK &&
            sqlite3_exec(handle,
                         "INSERT INTO Phonebook (Pos, Numero, Nome, Type) VALUES "
                         "('1', '+393471234567', 'Mario', '145'), ('2', '07700900123', 'Anna', "
                         "'129');",
                         nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(handle);
        const bool open = made && database.Open(path, true, false);
        unlink(path); // the open file stays usable
        return open;
    }();
    FuzzRequire(opened);
    return database;
}

bool IsNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("-0123456789") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view text = FuzzText(data, size);
    serialdata store;
    int headers = 0;
    for (const std::string& line : FuzzLines(text.substr(1))) {
        AddString(line, store);
        headers += line.starts_with("+CMGR:") || line.starts_with("+CMGL:") ? 1 : 0;
    }
    RecordingMessageSink sink;
    FakeSmsReadForm form;
    form.SetNoScaChecked((data[0] & 1) != 0);
    const SmsReadContext context{Database(), sink, form};
    const int ordinal = data[0] >> 1;
    const SmsRowsResult result = AddSmsRows(store, ordinal, context);

    FuzzRequire(result.phonebookOpen);
    FuzzRequire(result.groups <= headers && result.rows <= result.groups);
    FuzzRequire(result.undecoded <= result.rows && form.SmsRowCount() == result.rows);
    const std::vector<std::string> shown = sink.Texts();
    FuzzRequire(std::ranges::count(shown, std::string("Error parsing... sorry")) ==
                result.undecoded);
    for (int i = 0; i < form.SmsRowCount(); ++i) {
        const std::optional<SmsRow> row = form.GetSmsRow(i);
        FuzzRequire(row.has_value());
        FuzzRequire(IsNumber((*row)[kSmsNumberColumn]));
        // The type comes from the PDU's own first octet, the status words from the header: a
        // SUBMIT stored under a received status is an OUT row that reads "READ".
        const std::string& type = (*row)[kSmsTypeColumn];
        const std::string& stat = (*row)[kSmsStatColumn];
        FuzzRequire(type == "IN" || type == "OUT" || type == "REPORT");
        FuzzRequire(stat == "READ" || stat == "UNREAD" || stat == "SENT" || stat == "NOT SENT");
    }
    return 0;
}
