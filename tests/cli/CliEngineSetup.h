#pragma once
// The command-line tests that use a database run on the copy of the shipped file and on a Telvane
// database of the PostgreSQL test server, whose URI then goes in front of every command as --db
// (skipped, saying why, where there is no server).

#include "cli/CliTestSetup.h"
#include "db/EngineFixture.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

template <class Fixture>
class OnBothEngines : public Fixture, public ::testing::WithParamInterface<Engine> {
protected:
    void SetUp() override {
        Fixture::SetUp();
        if (GetParam() != Engine::Server)
            return;
        server = std::make_unique<PgTestDatabase>();
        SKIP_WITHOUT_SERVER(*server);
        this->database = server->Uri();
        this->leading = {"--db", this->database};
    }

    bool Run(const std::string& sql) const {
        return server ? server->Run(sql) : RunSql(this->database, sql);
    }
    long long Count(const std::string& sql) const {
        return server ? server->Count(sql) : QueryCount(this->database, sql);
    }

    std::unique_ptr<PgTestDatabase> server;
};
