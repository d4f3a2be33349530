#pragma once
// Opening a Telvane database on a PostgreSQL server, with the verdicts a file gets: a server
// that cannot be reached, a database without the five tables, one the role may not write, one
// held exclusively elsewhere.
//
// Every open takes a session-level advisory lock on the database, shared, or exclusive when the
// database is opened exclusively: an exclusive open waits for no one and is refused while any
// other Telvane connection is open, and the other way round. A read-only open makes every
// transaction of the session read-only.

#include "db/CDaoDatabase.h"
#include "db/PgHandles.h"

#include <string>
#include <vector>

struct ServerOpen {
    PgConnPtr connection; // null when refused
    DbOpenFailure failure = DbOpenFailure::None;
    std::string error;
    // What set the session up (its settings, its lock), to be run again on a new link.
    std::vector<std::string> session;
};

// uri: libpq's connection URI; its password, if any, comes from ~/.pgpass or the environment.
ServerOpen OpenServerDatabase(const std::string& uri, bool exclusive, bool readOnly);

// A connection to the server at uri that checks nothing (for making the tables); error on
// failure.
PgConnPtr ConnectToServer(const std::string& uri, std::string& error);
