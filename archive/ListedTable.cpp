#include "archive/ListedTable.h"

void ReadListedRows(CDaoDatabase* database, const ListedTable& listed, std::size_t first,
                    std::size_t last, const std::function<void(const SmsRow&)>& each) {
    if (first >= last)
        return;
    const std::vector<std::int64_t>& keys = *listed.keys;
    ArchiveRowReader reader(database, listed.table);
    SmsRow row;
    bool more = reader.StartAt(keys[first]) && reader.Next();
    for (std::size_t at = first; at < last; ++at) {
        // The keys ascend as the walk does.
        while (more && reader.Key() < keys[at])
            more = reader.Next();
        if (more && reader.Key() == keys[at])
            reader.Fill(*listed.names, row);
        else
            row = SmsRow{};
        each(row);
    }
}
