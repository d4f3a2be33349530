#pragma once
// libpq, reached through a table of its functions looked up when the first server database is
// opened. A program working on the file never loads it, nor the two dozen libraries it pulls in
// (TLS, Kerberos, LDAP), whose relocation every start-up would pay. Only db/ sources include
// this header; libpq-fe.h gives the types.

#include <libpq-fe.h>
#include <string>

// The functions db/ calls, under libpq's own names: the table and its look-ups are made from
// this one list, so they cannot part.
#define TELVANE_PG_FUNCTIONS(X)                                                                    \
    X(PQclear)                                                                                     \
    X(PQcmdStatus)                                                                                 \
    X(PQcmdTuples)                                                                                 \
    X(PQconnectdb)                                                                                 \
    X(PQconnectdbParams)                                                                           \
    X(PQconsumeInput)                                                                              \
    X(PQerrorMessage)                                                                              \
    X(PQexec)                                                                                      \
    X(PQexecParams)                                                                                \
    X(PQfinish)                                                                                    \
    X(PQfreemem)                                                                                   \
    X(PQgetResult)                                                                                 \
    X(PQgetisnull)                                                                                 \
    X(PQgetlength)                                                                                 \
    X(PQgetvalue)                                                                                  \
    X(PQnotifies)                                                                                  \
    X(PQntuples)                                                                                   \
    X(PQputCopyData)                                                                               \
    X(PQputCopyEnd)                                                                                \
    X(PQreset)                                                                                     \
    X(PQresultErrorField)                                                                          \
    X(PQresultErrorMessage)                                                                        \
    X(PQresultStatus)                                                                              \
    X(PQsetNoticeProcessor)                                                                        \
    X(PQstatus)                                                                                    \
    X(PQtransactionStatus)

struct PgLibrary {
#define TELVANE_PG_POINTER(name) decltype(&::name) name = nullptr;
    TELVANE_PG_FUNCTIONS(TELVANE_PG_POINTER)
#undef TELVANE_PG_POINTER
};

struct PgLibraryLoad {
    PgLibrary functions; // every one set when error is empty, none otherwise
    std::string error;
};

// Loads the shared library `file` and looks up every function of the table. A library that
// loads is never unloaded; one that lacks a function is closed again.
PgLibraryLoad LoadPgLibrary(const char* file);

// libpq.so.5, loaded once for the process by its first caller (any thread): null, with why in
// error, when it cannot be. A failure is kept: the next caller gets the same answer.
const PgLibrary* PgClient(std::string& error);

// The table, for code that holds a connection or a result: those exist only once PgClient has
// succeeded.
const PgLibrary& Pq();
