#pragma once
// The rows of an archive file copied into a server database made by `db init`'s code, for
// measuring the same rows on both engines: the phonebook and both message tables, with their
// IDs, sent in one COPY per table (the way a large archive is moved to a server), the ID
// sequences then set past the last row so that later appends go on from there.

#include <string>

// Copies `file`'s Phonebook, SMS_In and SMS_Out into the database at `uri`, in one transaction;
// empty on success, else what failed (nothing is then kept).
std::string CopyArchiveToServer(const std::string& file, const std::string& uri);
