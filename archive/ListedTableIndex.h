#pragma once
// The search index of one listed table (see ArchiveSearch), in the listing's order: read from the
// search keys kept beside the rows where the file keeps them (made first where it keeps none yet
// but takes a write), folded from the rows themselves otherwise. Long for a large table, so it
// tells how far it is and can be broken off; it may run on any thread.

#include "archive/ArchiveSearch.h"
#include "archive/ArchiveSearchKeys.h"
#include "archive/ListedTable.h"

#include <functional>
#include <optional>

// Told the share of the table done so far (0 to 1) now and then; false breaks the build off.
using IndexProgress = std::function<bool(double done)>;

// Nothing when the build was broken off.
std::optional<ArchiveSearch> IndexListedTable(CDaoDatabase* database, const ListedTable& listed,
                                              const IndexProgress& progress = {});
