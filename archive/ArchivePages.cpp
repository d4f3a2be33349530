#include "archive/ArchivePages.h"

#include "archive/ArchiveSearchKeys.h"
#include "archive/ArchiveTables.h"
#include "archive/SearchFold.h"
#include "db/KeyTable.h"

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
    segments.insert(segments.begin(), Segment{table, std::move(keys), std::move(names)});
    cache.clear();
    return true;
}

void ArchivePages::ReadRun(const Segment& segment, std::size_t first, std::size_t last,
                           const std::function<void(const SmsRow&)>& each) {
    ArchiveRowReader reader(database, segment.table);
    SmsRow row;
    bool more = reader.StartAt(segment.keys[first]) && reader.Next();
    for (std::size_t at = first; at < last; ++at) {
        // The keys ascend as the walk does; a row gone since the listing shows empty.
        while (more && reader.Key() < segment.keys[at])
            more = reader.Next();
        if (more && reader.Key() == segment.keys[at])
            reader.Fill(*segment.names, row);
        else
            row = SmsRow{};
        each(row);
    }
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
    for (const Segment& segment : segments) {
        const std::size_t size = segment.keys.size();
        if (from < size && from < to)
            ReadRun(segment, from, std::min(to, size), collect);
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
    for (const Segment& segment : segments)
        if (!segment.keys.empty())
            ReadRun(segment, 0, segment.keys.size(), each);
}

namespace {

void PassFolded(const SmsRow& row, std::string& folded, const ArchivePages::Searchable& each) {
    folded.clear();
    AppendFolded(folded, row[kSmsTextColumn]);
    folded += '\0';
    AppendFolded(folded, row[kSmsSenderColumn]);
    each(folded, row[kSmsNameColumn]);
}

} // namespace

bool ArchivePages::SearchableFromKeys(const Segment& segment, const Searchable& each) {
    if (!UpdateSearchKeys(database, segment.table))
        return false;
    KeyTable keys(database, SearchKeyTableName(segment.table));
    bool more = keys.Next();
    std::string folded;
    for (std::size_t at = 0; at < segment.keys.size(); ++at) {
        // Both ascend; a kept key for a row not listed is passed over.
        while (more && keys.Key() < segment.keys[at])
            more = keys.Next();
        if (more && keys.Key() == segment.keys[at]) {
            each(keys.First(), segment.names->Find(keys.Second()));
            continue;
        }
        // Listed but without a key (added meanwhile): folded from the row itself.
        ReadRun(segment, at, at + 1, [&](const SmsRow& row) { PassFolded(row, folded, each); });
    }
    return true;
}

void ArchivePages::ForEachSearchable(const Searchable& each) {
    std::string folded;
    for (const Segment& segment : segments) {
        if (segment.keys.empty() || SearchableFromKeys(segment, each))
            continue;
        ReadRun(segment, 0, segment.keys.size(),
                [&](const SmsRow& row) { PassFolded(row, folded, each); });
    }
}
