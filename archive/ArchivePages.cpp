#include "archive/ArchivePages.h"

#include "archive/ArchiveTables.h"

namespace {

constexpr int kPageRows = 128;
constexpr std::size_t kCachedPages = 8;

} // namespace

void ArchivePages::Clear() {
    segments.clear();
    cache.clear();
    count = 0;
}

bool ArchivePages::LoadInFront(CDaoDatabase* file, IMessageSink& sink, ArchiveTable table) {
    database = file;
    auto reader = std::make_unique<ArchiveRowReader>(database, table);
    if (!reader->IsOpen()) {
        ShowCannotOpen(sink, table);
        return false;
    }
    auto names = std::make_shared<const PhonebookNames>(ReadPhonebookNames(database, sink));
    std::vector<std::int64_t> keys = reader->Keys();
    if (!reader->ErrorText().empty())
        ShowReadFailure(sink, reader->ErrorText(), ArchiveTableName(table));
    count += static_cast<int>(keys.size());
    segments.insert(segments.begin(),
                    ListedTable{table,
                                std::make_shared<const std::vector<std::int64_t>>(std::move(keys)),
                                std::move(names)});
    cache.clear();
    return true;
}

ArchivePages::Page& ArchivePages::Fetch(int pageIndex) {
    for (Page& page : cache)
        if (page.index == pageIndex)
            return page;
    cache.reserve(kCachedPages);
    Page* evicted = nullptr;
    if (cache.size() < kCachedPages) {
        evicted = &cache.emplace_back();
    } else {
        evicted = &cache[nextEvicted];
        nextEvicted = (nextEvicted + 1) % kCachedPages;
    }
    Page& page = *evicted;
    page.index = pageIndex;
    page.rows.clear();
    const std::size_t from = static_cast<std::size_t>(pageIndex) * kPageRows;
    ReadRange(from, std::min(from + kPageRows, static_cast<std::size_t>(count)),
              [&page](const SmsRow& row) { page.rows.push_back(row); });
    return page;
}

void ArchivePages::ReadRange(std::size_t from, std::size_t to,
                             const std::function<void(const SmsRow&)>& each) const {
    // The positions, segment by segment.
    for (const ListedTable& segment : segments) {
        const std::size_t size = segment.Size();
        if (from < size && from < to)
            ReadListedRows(database, segment, from, std::min(to, size), each);
        from = from > size ? from - size : 0;
        to = to > size ? to - size : 0;
    }
}

void ArchivePages::ForEachAt(const std::vector<int>& positions,
                             const std::function<void(const SmsRow&)>& each) const {
    // Positions closer than a page are read in one walk, which on a server is a few large
    // batches rather than a query per page; rows far apart are read each in a short walk.
    for (std::size_t first = 0; first < positions.size();) {
        std::size_t last = first;
        while (last + 1 < positions.size() && positions[last + 1] > positions[last] &&
               positions[last + 1] - positions[last] <= kPageRows)
            ++last;
        std::size_t next = first;
        auto position = static_cast<std::size_t>(positions[first]);
        ReadRange(position, static_cast<std::size_t>(positions[last]) + 1, [&](const SmsRow& row) {
            if (static_cast<int>(position++) == positions[next]) {
                ++next;
                each(row);
            }
        });
        first = last + 1;
    }
}

const SmsRow& ArchivePages::Row(int position) {
    if (position < 0 || position >= count)
        return missing;
    const Page& page = Fetch(position / kPageRows);
    const auto offset = static_cast<std::size_t>(position % kPageRows);
    return offset < page.rows.size() ? page.rows[offset] : missing;
}

void ArchivePages::ForEach(const std::function<void(const SmsRow&)>& each) {
    for (const ListedTable& segment : segments)
        ReadListedRows(database, segment, 0, segment.Size(), each);
}
