#pragma once
// The texts that tell the user an operation on the database failed, with the engine's own words
// for why ("database or disk is full", "database disk image is malformed").

#include <string>
#include <string_view>

// A write path whose rows were rolled back: nothing of the operation is in the database.
std::string NothingStoredText(std::string_view reason);
// A walk the engine broke off: what was shown is not the whole table.
std::string ReadFailedText(std::string_view table, std::string_view reason);
