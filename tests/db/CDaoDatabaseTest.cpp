#include "db/CDaoDatabase.h"

#include "db/CdbSMS_DCS.h"
#include "db/CdbSMS_PID.h"
#include "db/DbTestFiles.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>

namespace {

const char* const kFiveTables = "CREATE TABLE Phonebook (Pos, Numero, Nome, Type, Memory);"
                                "CREATE TABLE SMS_In (ID INTEGER PRIMARY KEY);"
                                "CREATE TABLE SMS_Out (ID INTEGER PRIMARY KEY);"
                                "CREATE TABLE dbDCS (DCS);"
                                "CREATE TABLE dbPID (PID);";

TEST(CDaoDatabase, MissingFileIsNotOpenedNorCreated) {
    TempDir dir;
    CDaoDatabase database;
    EXPECT_FALSE(database.Open(dir.File("telvane.mdb"), true, false));
    EXPECT_FALSE(database.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(dir.File("telvane.mdb")));
}

TEST(CDaoDatabase, FilesThatAreNoTelvaneDatabaseDoNotCountAsOpen) {
    TempDir dir;
    {
        std::ofstream text(dir.File("notes.mdb"));
        text << "AT+CMGR=1\r\n+CMGR: 1,,23\r\nOK\r\n";
    }
    std::ofstream(dir.File("empty.mdb")).close();
    ASSERT_TRUE(RunSql(dir.File("bare.mdb"), "CREATE TABLE Other (x)"));
    ASSERT_TRUE(RunSql(dir.File("four.mdb"), kFiveTables));
    ASSERT_TRUE(RunSql(dir.File("four.mdb"), "DROP TABLE dbPID"));

    for (const char* name : {"notes.mdb", "empty.mdb", "bare.mdb", "four.mdb"}) {
        CDaoDatabase database;
        EXPECT_FALSE(database.Open(dir.File(name), true, false)) << name;
        EXPECT_FALSE(database.IsOpen()) << name;
    }
    // Refusing the empty file must not have turned it into a database.
    EXPECT_EQ(std::filesystem::file_size(dir.File("empty.mdb")), 0U);
}

TEST(CDaoDatabase, TableNamesAreFoundInAnyCase) {
    TempDir dir;
    ASSERT_TRUE(RunSql(dir.File("upper.mdb"),
                       "CREATE TABLE PHONEBOOK (Pos);"
                       "CREATE TABLE sms_in (ID INTEGER PRIMARY KEY);"
                       "CREATE TABLE SMS_OUT (ID INTEGER PRIMARY KEY);"
                       "CREATE TABLE DBDCS (DCS); CREATE TABLE dbpid (PID);"));
    CDaoDatabase database;
    EXPECT_TRUE(database.Open(dir.File("upper.mdb"), true, false));
}

TEST(CDaoDatabase, ExclusiveOpenLocksOutOtherConnectionsUntilClosed) {
    TempDir dir;
    const std::string file = CopyShippedDatabase(dir);
    const auto openElsewhere = [&file] {
        CDaoDatabase other;
        return other.Open(file, true, false);
    };

    CDaoDatabase database;
    ASSERT_TRUE(database.Open(file, true, false));
    EXPECT_EQ(RunInChild(openElsewhere), 1) << "a second process opened the file";
    EXPECT_FALSE(openElsewhere()) << "a second connection of this process opened the file";
    // Not even a plain reader gets in.
    EXPECT_EQ(RunInChild([&file] { return QueryCount(file, "SELECT count(*) FROM dbPID") >= 0; }),
              1);

    database.Close();
    EXPECT_FALSE(database.IsOpen());
    EXPECT_EQ(RunInChild(openElsewhere), 0);
}

TEST(CDaoDatabase, OpenClosesTheFileOpenBefore) {
    TempDir dir;
    const std::string first = CopyShippedDatabase(dir, "first.mdb");
    const std::string second = CopyShippedDatabase(dir, "second.mdb");
    CDaoDatabase database;
    ASSERT_TRUE(database.Open(first, true, false));
    ASSERT_TRUE(database.Open(second, true, false));
    CDaoDatabase other;
    EXPECT_TRUE(other.Open(first, true, false));
}

// The option rows of the send form: "XX - meaning", XX two hexadecimal digits; the codes.
template <class Recordset, class Member>
std::set<std::string> OptionCodes(CDaoDatabase& database, const char* sql, Member member) {
    static const std::regex kRow("[0-9A-F]{2} - \\S.*");
    Recordset options(&database);
    std::set<std::string> codes;
    EXPECT_TRUE(options.Open(dbOpenDynaset, sql, dbSeeChanges));
    for (; !options.IsEOF(); options.MoveNext()) {
        const std::string& row = options.*member;
        EXPECT_TRUE(std::regex_match(row, kRow)) << row;
        EXPECT_TRUE(codes.insert(row.substr(0, 2)).second) << "twice: " << row;
    }
    return codes;
}

TEST(CDaoDatabase, ShippedDatabaseOpensWithTheOptionRows) {
    CDaoDatabase database;
    // Read-only, not exclusive: the build's copy must not be locked or changed by a test.
    ASSERT_TRUE(database.Open(ShippedDatabase(), false, true));

    const auto pid = OptionCodes<CdbSMS_PID>(database, "SELECT * FROM dbPID", &CdbSMS_PID::PID);
    for (const char* code : {"00", "40", "41", "42", "43", "44", "45", "46", "47", "7F"})
        EXPECT_TRUE(pid.contains(code)) << "PID " << code;

    const auto dcs = OptionCodes<CdbSMS_DCS>(database, "SELECT * FROM dbDCS", &CdbSMS_DCS::DCS);
    for (const char* code :
         {"00", "04", "08", "10", "11", "12", "13", "F0", "F1", "F2", "F3", "F4", "F5", "F6", "F7"})
        EXPECT_TRUE(dcs.contains(code)) << "DCS " << code;
}

} // namespace
