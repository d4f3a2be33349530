#pragma once
// A Telvane database on each engine (a copy of the shipped file, a new database on the test
// server) with the rows a test writes into it, opened the way the form opens it (exclusively,
// read-write).

#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "db/EngineFixture.h"

#include <gtest/gtest.h>
#include <string>

class ArchiveFixture : public EngineTest {
protected:
    // Runs sql on the database, then opens it.
    void OpenWith(const std::string& sql) {
        ASSERT_TRUE(Run(sql)) << sql;
        ASSERT_TRUE(database.Open(file, true, false)) << database.OpenErrorText();
    }

    CDaoDatabase database;
    RecordingMessageSink messages;
};
