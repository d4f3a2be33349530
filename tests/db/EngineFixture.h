#pragma once
// One fixture, two engines: each test of a suite derived from EngineTest runs on a copy of the
// shipped database file and on a new Telvane database on the PostgreSQL test server (skipped,
// saying why, where there is none). `file` names either: a path or a URI.

#include "DbTestFiles.h"
#include "PgTestServer.h"
#include "db/CDaoDatabase.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

enum class Engine { Sqlite, Server };

class EngineTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override;

    bool OnServer() const { return GetParam() == Engine::Server; }
    // The text for the engine under test, where the two speak different SQL.
    std::string Sql(const std::string& onFile, const std::string& onServer) const {
        return OnServer() ? onServer : onFile;
    }
    // Statements and counts on a plain connection of the engine's.
    bool Run(const std::string& sql) const;
    long long Count(const std::string& sql) const;

    TempDir dir;
    std::unique_ptr<PgTestDatabase> server;
    std::string file;
};

// The same with the database open (exclusively unless the test says otherwise before SetUp).
class EngineDatabaseTest : public EngineTest {
protected:
    void SetUp() override;

    bool exclusive = true;
    CDaoDatabase database;
};

// "Sqlite" / "Server", for the test names.
std::string EngineName(const ::testing::TestParamInfo<Engine>& info);

#define TELVANE_ON_BOTH_ENGINES(Suite)                                                             \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::testing::Values(Engine::Sqlite, Engine::Server),    \
                             EngineName)
