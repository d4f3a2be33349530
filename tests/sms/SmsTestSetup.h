#pragma once
// What the message tests share: a copy of the shipped database with a few phonebook entries,
// the fake tab and message sink, and line stores filled as the phone would fill them.

#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "db/DbTestFiles.h"
#include "serial/serialdata.h"
#include "sms/AddSmsRows.h"
#include "sms/FakeSmsReadForm.h"

#include <initializer_list>
#include <string>
#include <string_view>

// SMS-DELIVER from +12345678901 through the centre +12345678901, 29/03/99 15:16:59 zone 8,
// "hello".
inline constexpr std::string_view kHelloPdu =
    "07912143658709F1040B912143658709F100009930925161958005e8329bfd06";

// The row of the report on message 64 published by faucamp/python-gsmmodem (issue #44), read as
// "+CMGR: 0,..." at ordinal `ordinal`.
inline SmsRow ReportRow(const std::string& ordinal) {
    return {ordinal,        "REPORT",        "UNREAD",        "Report on message 64: delivered",
            "09/01/15",     "17:38.52 (22)", "+919790197346", "",
            "+919840000232"};
}

struct SmsTestBase {
    SmsTestBase() {
        databaseFile = CopyShippedDatabase(dir);
        RunSql(databaseFile, "INSERT INTO Phonebook (Pos, Numero, Nome, Type) VALUES "
                             "('1', '+12345678901', 'Mario Rossi', '145'),"
                             "('2', '07700900123', 'Anna', '129'),"
                             "('3', '393331112222', 'Senza Piu', '129');");
        database.Open(databaseFile, true);
    }

    void Store(std::initializer_list<std::string_view> lines) {
        ClearLines(store);
        for (std::string_view line : lines)
            AddString(line, store);
    }

    TempDir dir;
    std::string databaseFile;
    CDaoDatabase database;
    RecordingMessageSink sink;
    FakeSmsReadForm form;
    serialdata store;
    SmsReadContext context{database, sink, form};
};
