#include "archive/ArchiveSearchKeys.h"

#include "archive/PhonebookNames.h"
#include "archive/SearchFold.h"
#include "db/KeyTable.h"

std::string SearchKeyTableName(ArchiveTable table) {
    return table == ArchiveTable::In ? "SMS_In_SearchKey" : "SMS_Out_SearchKey";
}

namespace {

constexpr std::int64_t kProgressEvery = 4096;

// Stores the keys of the rows after `last`; with replace, instead of all those stored.
bool AddKeysAfter(KeyTable& keys, ArchiveRowReader& reader, std::int64_t last, bool replace,
                  const WalkProgress& progress) {
    if (!reader.StartAt(last + 1))
        return false;
    // Nothing new: no write at all.
    if (!reader.Next())
        return reader.ErrorText().empty() && (last > 0 || !replace);
    std::string folded;
    std::int64_t passed = 0;
    return keys.Fill(
        [&](const KeyTable::Add& add) {
            do {
                if (progress && ++passed % kProgressEvery == 0 && !progress(passed))
                    return false;
                folded.clear();
                AppendFolded(folded, reader.Text());
                folded += '\0';
                AppendFolded(folded, reader.Sender());
                if (!add(reader.Key(), folded, reader.Sender()))
                    return false;
            } while (reader.Next());
            return reader.ErrorText().empty();
        },
        replace);
}

} // namespace

bool UpdateSearchKeys(CDaoDatabase* database, ArchiveTable table, const WalkProgress& progress) {
    KeyTable keys(database, SearchKeyTableName(table));
    ArchiveRowReader reader(database, table);
    if (!reader.IsOpen())
        return false;
    const std::int64_t last = keys.LastKey();
    if (!AddKeysAfter(keys, reader, last, false, progress))
        return false;
    // An empty table keeps no keys.
    const std::int64_t stored = keys.Count();
    if (stored == 0)
        return false;
    // Rows removed, or added below the last key by another program: the keys are made again.
    if (stored != reader.Count())
        return AddKeysAfter(keys, reader, 0, true, progress) && keys.Count() == reader.Count();
    return true;
}

std::optional<std::vector<std::int64_t>> MatchingKeys(CDaoDatabase* database, ArchiveTable table,
                                                      ArchiveRowFilter& filter,
                                                      const PhonebookNames& names) {
    KeyTable keys(database, SearchKeyTableName(table));
    std::vector<std::int64_t> found;
    // Most searches hold no phonebook name: the numbers are then not looked up at all.
    const bool byName =
        names.AnyName([&filter](std::string_view name) { return filter.Holds({}, {}, name); });
    bool any = false;
    while (keys.Next()) {
        any = true;
        if (filter.HoldsFolded(keys.First()) ||
            (byName && filter.Holds({}, {}, names.Find(keys.Second()))))
            found.push_back(keys.Key());
    }
    if (!any || !keys.ErrorText().empty())
        return std::nullopt;
    return found;
}
