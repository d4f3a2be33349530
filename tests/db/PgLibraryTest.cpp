// The client library loaded at run time: what opening a server database says when it is not
// there or is not libpq, and that the table it fills calls the real functions.
#include "db/PgLibrary.h"

#include <gtest/gtest.h>

namespace {

// True when no function of the table is set.
bool Empty(const PgLibrary& table) {
    bool empty = true;
#define TELVANE_PG_UNSET(name) empty = empty && table.name == nullptr;
    TELVANE_PG_FUNCTIONS(TELVANE_PG_UNSET)
#undef TELVANE_PG_UNSET
    return empty;
}

TEST(PgLibrary, AMissingLibraryIsAMessageNamingItAndThePackage) {
    const PgLibraryLoad load = LoadPgLibrary("libtelvane-no-such-client.so.5");
    EXPECT_TRUE(load.error.starts_with("the PostgreSQL client library cannot be loaded ("))
        << load.error;
    EXPECT_NE(load.error.find("libtelvane-no-such-client.so.5"), std::string::npos) << load.error;
    EXPECT_TRUE(load.error.ends_with("): install libpq5")) << load.error;
    EXPECT_TRUE(Empty(load.functions));
}

TEST(PgLibrary, ALibraryThatIsNotLibpqNamesTheFirstFunctionItLacks) {
    // Loaded already by this program: it is there, but holds none of libpq's functions.
    const PgLibraryLoad load = LoadPgLibrary("libsqlite3.so.0");
    EXPECT_EQ(load.error, "the PostgreSQL client library libsqlite3.so.0 has no PQclear");
    EXPECT_TRUE(Empty(load.functions)) << "nothing of a half-made table is kept";
}

TEST(PgLibrary, TheTableCallsLibpqItself) {
    std::string error;
    const PgLibrary* pq = PgClient(error);
    ASSERT_NE(pq, nullptr) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(pq, &Pq()) << "one table for the process";
    bool complete = true;
#define TELVANE_PG_SET(name) complete = complete && pq->name != nullptr;
    TELVANE_PG_FUNCTIONS(TELVANE_PG_SET)
#undef TELVANE_PG_SET
    EXPECT_TRUE(complete);
    // A server that is not there: libpq's own answer comes back through the table.
    PGconn* connection = pq->PQconnectdb("host=/nonexistent-telvane-folder dbname=telvane");
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(pq->PQstatus(connection), CONNECTION_BAD);
    EXPECT_NE(std::string(pq->PQerrorMessage(connection)).find("/nonexistent-telvane-folder"),
              std::string::npos)
        << pq->PQerrorMessage(connection);
    pq->PQfinish(connection);
}

} // namespace
