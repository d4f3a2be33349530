#pragma once
// Databases of their own on the tests' PostgreSQL cluster (tests/db/pg-cluster.sh, started by
// CTest; TELVANE_PG_URI names another server). Without a server every user skips, saying why.

#include <string>

class PgTestDatabase {
public:
    // A new, empty database; with telvane, made a Telvane database by `db init`'s code.
    explicit PgTestDatabase(bool telvane = true);
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;

    // False when there is no server (SkipReason says why) or the database was not made
    // (Failure says why).
    bool Ready() const { return !uri.empty(); }
    const std::string& SkipReason() const { return skipReason; }
    const std::string& Failure() const { return failure; }
    const std::string& Uri() const { return uri; }
    // A URI of the database with another role or option ("?options=..." etc.).
    std::string UriWith(const std::string& query) const { return uri + query; }

    // Statements (several, separated by ';') on a connection of their own; false on any error.
    bool Run(const std::string& sql) const;
    // The first column of the first row, as a number; -1 on error.
    long long Count(const std::string& sql) const;

private:
    std::string name;
    std::string uri;
    std::string skipReason;
    std::string failure;
};

// In a test body: skips, saying why, without a server; fails when the database was not made.
#define SKIP_WITHOUT_SERVER(database)                                                              \
    do {                                                                                           \
        if (!(database).SkipReason().empty())                                                      \
            GTEST_SKIP() << (database).SkipReason();                                               \
        ASSERT_TRUE((database).Ready()) << (database).Failure();                                   \
    } while (false)

// The cluster's URI (of its "postgres" database), or empty with the reason why there is none.
std::string PgTestServerUri(std::string& whyNone);
