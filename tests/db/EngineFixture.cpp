#include "EngineFixture.h"

void EngineTest::SetUp() {
    if (!OnServer()) {
        file = CopyShippedDatabase(dir);
        return;
    }
    server = std::make_unique<PgTestDatabase>();
    if (!server->SkipReason().empty())
        GTEST_SKIP() << server->SkipReason();
    ASSERT_TRUE(server->Ready()) << server->Failure();
    file = server->Uri();
}

bool EngineTest::Run(const std::string& sql) const {
    return OnServer() ? server->Run(sql) : RunSql(file, sql);
}

long long EngineTest::Count(const std::string& sql) const {
    return OnServer() ? server->Count(sql) : QueryCount(file, sql);
}

void EngineDatabaseTest::SetUp() {
    EngineTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    ASSERT_TRUE(database.Open(file, exclusive, false)) << database.OpenErrorText();
}

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Server ? "Server" : "Sqlite";
}
