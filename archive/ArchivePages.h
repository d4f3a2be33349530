#pragma once
// The listed rows of the archive viewer without holding them: the keys of each listed table in
// memory (8 bytes a row), the rows read by key when they are asked for, a few pages of them
// cached. Each table's rows keep their table order; a table loaded goes in front of those
// listed. The phonebook names are read once per load, as a whole listing reads them.

#include "archive/ListedTable.h"
#include "core/MessageSink.h"
#include "sms/SmsList.h"

#include <cstdint>
#include <functional>
#include <vector>

class CDaoDatabase;

class ArchivePages {
public:
    void Clear();
    // Lists the table in front of the rows listed. False, the failure told, when it does not
    // open; a walk the engine broke off is told once and lists the rows before the break.
    bool LoadInFront(CDaoDatabase* database, IMessageSink& sink, ArchiveTable table);

    int Count() const { return count; }
    // The listed row at position (0 <= position < Count()); its cells are empty when the row
    // can no longer be read. Valid until the next call.
    const SmsRow& Row(int position);
    // Every listed row, in order, read in one walk of each table.
    void ForEach(const std::function<void(const SmsRow&)>& each);
    // The listed rows at the positions (ascending, each valid), in order, read in as few walks as
    // their spacing allows; the page cache is left as it is.
    void ForEachAt(const std::vector<int>& positions,
                   const std::function<void(const SmsRow&)>& each) const;

    // The listed tables, in their order, and the file they are read from.
    const std::vector<ListedTable>& Tables() const { return segments; }
    CDaoDatabase* Database() const { return database; }

private:
    struct Page {
        int index = -1;
        std::vector<SmsRow> rows;
    };
    Page& Fetch(int pageIndex);
    // The listed rows from position `from` to `to` (exclusive), across the tables.
    void ReadRange(std::size_t from, std::size_t to,
                   const std::function<void(const SmsRow&)>& each) const;

    // Each read opens its own walk: nothing holds the file open between reads, and a database
    // closed meanwhile shows empty rows.
    CDaoDatabase* database = nullptr;
    std::vector<ListedTable> segments;
    int count = 0;
    std::vector<Page> cache;
    std::size_t nextEvicted = 0;
    SmsRow missing; // what a row that cannot be read shows
};
