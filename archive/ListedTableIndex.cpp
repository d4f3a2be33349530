#include "archive/ListedTableIndex.h"

#include "archive/SearchFold.h"
#include "db/KeyTable.h"

#include <algorithm>

namespace {

// Of a build that first makes the keys, the share the making takes.
constexpr double kMakingShare = 0.6;
constexpr std::size_t kProgressEvery = 4096;

// Tells progress the share done of the rows passed, in its part [from, from + width).
class Share {
public:
    Share(const IndexProgress& tell, std::size_t listedRows) : progress(tell), rows(listedRows) {}

    bool Passed(std::size_t passed) {
        const double done = std::min(1.0, static_cast<double>(passed) / static_cast<double>(rows));
        return !progress || progress(from + width * done);
    }
    void Part(double start, double size) {
        from = start;
        width = size;
    }

private:
    const IndexProgress& progress;
    std::size_t rows;
    double from = 0;
    double width = 1;
};

void AddFoldedRow(ArchiveSearch& search, std::string& folded, const SmsRow& row) {
    folded.clear();
    AppendFolded(folded, row[kSmsTextColumn]);
    folded += '\0';
    AppendFolded(folded, row[kSmsSenderColumn]);
    search.AddFolded(folded, row[kSmsNameColumn]);
}

// Every listed row folded as it is read, a run of rows at a time.
bool FoldRows(CDaoDatabase* database, const ListedTable& listed, Share& share,
              ArchiveSearch& search) {
    std::string folded;
    for (std::size_t from = 0; from < listed.Size(); from += kProgressEvery) {
        if (from > 0 && !share.Passed(from))
            return false;
        ReadListedRows(database, listed, from, std::min(from + kProgressEvery, listed.Size()),
                       [&](const SmsRow& row) { AddFoldedRow(search, folded, row); });
    }
    return true;
}

// The listed rows from the kept keys; a listed row without a key is folded from the row.
bool ReadKeys(CDaoDatabase* database, const ListedTable& listed, Share& share,
              ArchiveSearch& search) {
    KeyTable keys(database, SearchKeyTableName(listed.table));
    const std::vector<std::int64_t>& listedKeys = *listed.keys;
    bool more = keys.Next();
    std::string folded;
    for (std::size_t at = 0; at < listedKeys.size(); ++at) {
        if ((at + 1) % kProgressEvery == 0 && !share.Passed(at + 1))
            return false;
        // Both ascend; a kept key for a row not listed is passed over.
        while (more && keys.Key() < listedKeys[at])
            more = keys.Next();
        if (more && keys.Key() == listedKeys[at]) {
            search.AddFolded(keys.First(), listed.names->Find(keys.Second()));
            continue;
        }
        ReadListedRows(database, listed, at, at + 1,
                       [&](const SmsRow& row) { AddFoldedRow(search, folded, row); });
    }
    return true;
}

} // namespace

std::optional<ArchiveSearch> IndexListedTable(CDaoDatabase* database, const ListedTable& listed,
                                              const IndexProgress& progress) {
    ArchiveSearch search;
    if (listed.Size() == 0)
        return search;
    Share share(progress, listed.Size());
    bool making = false;
    bool stopped = false;
    const bool kept = UpdateSearchKeys(database, listed.table, [&](std::int64_t passed) {
        if (!making)
            share.Part(0, kMakingShare);
        making = true;
        stopped = !share.Passed(static_cast<std::size_t>(passed));
        return !stopped;
    });
    if (stopped)
        return std::nullopt;
    share.Part(making ? kMakingShare : 0, making ? 1 - kMakingShare : 1);
    const bool built = kept ? ReadKeys(database, listed, share, search)
                            : FoldRows(database, listed, share, search);
    if (!built)
        return std::nullopt;
    return search;
}
