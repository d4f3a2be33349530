#pragma once
// The search keys kept beside the archived messages: each message's text and number folded for
// searching (apart by a zero byte, which no search holds) and the number as it is, in a table of
// their own next to SMS_In and SMS_Out. A search then reads the short keys instead of every row and
// folds nothing; the rows found are read by key. The keys follow the rows whichever program added
// them: each update adds those of the rows added since the last (an archive without keys gets them
// all, once). A file that takes no write keeps no keys: its searches fold every row as they read
// it.

#include "archive/ArchiveRows.h"
#include "archive/ArchiveSearch.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CDaoDatabase;
class PhonebookNames;

// The name of the table that keeps the keys of the table's rows.
std::string SearchKeyTableName(ArchiveTable table);

// Told now and then, during a long walk, how many rows it has passed; false breaks it off.
using WalkProgress = std::function<bool(std::int64_t rowsPassed)>;

// Adds the keys of the rows added since the last update; false when they cannot be stored or
// the walk was broken off (nothing stored then).
bool UpdateSearchKeys(CDaoDatabase* database, ArchiveTable table,
                      const WalkProgress& progress = {});

// The keys, ascending, of the rows whose text, number or phonebook name holds the filter's text;
// nothing when the table keeps no keys.
std::optional<std::vector<std::int64_t>> MatchingKeys(CDaoDatabase* database, ArchiveTable table,
                                                      ArchiveRowFilter& filter,
                                                      const PhonebookNames& names);
