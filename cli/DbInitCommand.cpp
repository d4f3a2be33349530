// "db init": makes a Telvane database on a PostgreSQL server. A file needs no such step: the
// shipped telvane.mdb is copied.

#include "cli/Commands.h"
#include "db/PgHandles.h"
#include "db/PgSchema.h"

#include <cstdio>

int RunDbInit(const CliRun& run) {
    const std::string& name = run.options.database;
    if (!IsServerUri(name)) {
        std::fprintf(stderr,
                     "telvane-cli: db init makes a database on a server: --db takes a "
                     "postgresql:// URI (a file is made by copying the shipped telvane.mdb)\n");
        return kExitUsage;
    }
    std::string error;
    if (!InitServerDatabase(name, error)) {
        std::fprintf(stderr, "telvane-cli: the database was not made: %s\n", error.c_str());
        return kExitRefused;
    }
    std::printf("made the Telvane tables and option rows\n");
    return kExitDone;
}
