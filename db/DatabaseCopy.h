#pragma once
// "Salva copia del DB...": a consistent copy of the open database written to another file with
// the engine's online backup, while the form keeps its exclusive hold on the original. The copy
// is an ordinary SQLite file that any other program may open.

#include "core/AtomicFile.h"

#include <string>

class CDaoDatabase;

// Copies every page of the open database into a temporary file beside path and renames it into
// place (see WriteFileAtomically for overwrite). Fails without touching path when the database is
// closed, when path names the open file itself, or while rows are being appended. Any thread
// that may use the database.
FileWriteResult SaveDatabaseCopy(CDaoDatabase& database, const std::string& path,
                                 Overwrite overwrite);
