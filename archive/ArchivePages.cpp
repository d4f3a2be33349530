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
    const auto collect = [&page](const SmsRow& row) { page.rows.push_back(row); };
    // The page's positions, segment by segment.
    std::size_t from = static_cast<std::size_t>(pageIndex) * kPageRows;
    std::size_t to = std::min(from + kPageRows, static_cast<std::size_t>(count));
    for (const ListedTable& segment : segments) {
        const std::size_t size = segment.Size();
        if (from < size && from < to)
            ReadListedRows(database, segment, from, std::min(to, size), collect);
        from = from > size ? from - size : 0;
        to = to > size ? to - size : 0;
    }
    return page;
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
