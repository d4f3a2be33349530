#pragma once
// One table as the archive viewer lists it: its keys in table order and the phonebook names of
// the load that listed it. Shared and never changed once listed, so a search index can be built
// from it on another thread while the viewer reads pages of the same rows.

#include "archive/ArchiveRows.h"
#include "archive/PhonebookNames.h"
#include "sms/SmsList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CDaoDatabase;

struct ListedTable {
    ArchiveTable table = ArchiveTable::In;
    std::shared_ptr<const std::vector<std::int64_t>> keys;
    std::shared_ptr<const PhonebookNames> names;

    std::size_t Size() const { return keys ? keys->size() : 0; }
};

// Hands the listed rows from position `first` to `last` (exclusive) to each, read by key in one
// walk; a row gone since the listing is handed on empty. The row is reused: copy what is kept.
void ReadListedRows(CDaoDatabase* database, const ListedTable& listed, std::size_t first,
                    std::size_t last, const std::function<void(const SmsRow&)>& each);
