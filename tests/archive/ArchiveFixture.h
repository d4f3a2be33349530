#pragma once
// A copy of the shipped database with the rows a test writes into it, opened the way the form
// opens it (exclusively, read-write).

#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "db/DbTestFiles.h"

#include <gtest/gtest.h>
#include <string>

class ArchiveFixture : public testing::Test {
protected:
    // Runs sql on the copy, then opens it.
    void OpenWith(const std::string& sql) {
        ASSERT_TRUE(RunSql(file, sql));
        ASSERT_TRUE(database.Open(file, true, false));
    }

    TempDir dir;
    std::string file = CopyShippedDatabase(dir);
    CDaoDatabase database;
    RecordingMessageSink messages;
};
