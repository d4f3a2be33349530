#pragma once
// The listed rows of the archive viewer without holding them: the keys of each listed table in
// memory (8 bytes a row), the rows read by key when they are asked for, a few pages of them
// cached. Each table's rows keep their table order; a table loaded goes in front of those
// listed. The phonebook names are read once per load, as a whole listing reads them.

#include "archive/ArchiveRows.h"
#include "archive/PhonebookNames.h"
#include "core/MessageSink.h"
#include "sms/SmsList.h"

#include <cstdint>
#include <functional>
#include <memory>
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
    // The searched texts of every listed row, in order, the message text and number already
    // folded (apart by a zero byte): from the keys kept beside the rows where the file keeps
    // them (see ArchiveSearchKeys.h).
    using Searchable =
        std::function<void(std::string_view foldedTextAndSender, std::string_view name)>;
    void ForEachSearchable(const Searchable& each);

private:
    struct Segment {
        ArchiveTable table;
        std::vector<std::int64_t> keys;
        std::shared_ptr<const PhonebookNames> names;
    };
    struct Page {
        int index = -1;
        std::vector<SmsRow> rows;
    };
    // Hands the listed rows of the segment from `first` to `last` (exclusive) to each.
    void ReadRun(const Segment& segment, std::size_t first, std::size_t last,
                 const std::function<void(const SmsRow&)>& each);
    Page& Fetch(int pageIndex);
    // ForEachSearchable of one segment; false when the file keeps no keys for it.
    bool SearchableFromKeys(const Segment& segment, const Searchable& each);

    // Each read opens its own walk: nothing holds the file open between reads, and a database
    // closed meanwhile shows empty rows.
    CDaoDatabase* database = nullptr;
    std::vector<Segment> segments;
    int count = 0;
    std::vector<Page> cache;
    std::size_t nextEvicted = 0;
    SmsRow missing; // what a row that cannot be read shows
};
