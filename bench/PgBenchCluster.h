#pragma once
// A benchmark's own throw-away PostgreSQL cluster (tests/db/pg-cluster.sh in TELVANE_PG_DIR),
// started on first use and stopped at exit, unless TELVANE_PG_URI names a server to use instead.

#include <cstdlib>
#include <string>

class PgBenchCluster {
public:
    PgBenchCluster() {
        const char* given = std::getenv("TELVANE_PG_URI");
        if (given == nullptr || *given == '\0')
            started = Run("start");
    }
    ~PgBenchCluster() {
        if (started)
            Run("stop");
    }
    PgBenchCluster(const PgBenchCluster&) = delete;
    PgBenchCluster& operator=(const PgBenchCluster&) = delete;

private:
    static bool Run(const char* action) {
        const std::string command = std::string(TELVANE_SOURCE_DIR) + "/tests/db/pg-cluster.sh " +
                                    action + " " + TELVANE_PG_DIR + " > /dev/null";
        return std::system(command.c_str()) == 0;
    }
    bool started = false;
};
