#include "archive/SearchBuilder.h"

#include "archive/ListedTableIndex.h"

#include <cmath>

SearchBuilder::SearchBuilder(std::function<void()> wakeOwner) : wake(std::move(wakeOwner)) {}

SearchBuilder::~SearchBuilder() {
    Stop();
}

void SearchBuilder::Start(CDaoDatabase* database, std::vector<ListedTable> tables, Indexes have) {
    Stop();
    thread = std::jthread([this, database, tables = std::move(tables),
                           have = std::move(have)](const std::stop_token& stop) mutable {
        Run(stop, database, tables, std::move(have));
    });
}

void SearchBuilder::Stop() {
    if (thread.joinable()) {
        thread.request_stop();
        thread.join();
    }
    const std::lock_guard lock(mutex);
    done = 0;
    toldPercent = -1;
    built.reset();
}

void SearchBuilder::Wait() {
    if (thread.joinable())
        thread.join();
}

SearchBuilder::News SearchBuilder::Take() {
    const std::lock_guard lock(mutex);
    News news{done, std::move(built)};
    built.reset();
    return news;
}

bool SearchBuilder::Tell(const std::stop_token& stop, double share) {
    if (stop.stop_requested())
        return false;
    const int percent = static_cast<int>(std::floor(share * 100));
    {
        const std::lock_guard lock(mutex);
        done = share;
        if (percent == toldPercent)
            return true;
        toldPercent = percent;
    }
    wake();
    return true;
}

void SearchBuilder::Run(const std::stop_token& stop, CDaoDatabase* database,
                        const std::vector<ListedTable>& tables, Indexes indexes) {
    std::size_t total = 0;
    for (const ListedTable& listed : tables)
        total += listed.Size();
    std::size_t before = 0; // rows of the tables already indexed
    for (std::size_t at = 0; at < tables.size(); ++at) {
        const std::size_t rows = tables[at].Size();
        if (indexes[at] == nullptr) {
            auto index = IndexListedTable(database, tables[at], [&](double share) {
                return Tell(stop, total == 0 ? 1.0
                                             : (static_cast<double>(before) +
                                                share * static_cast<double>(rows)) /
                                                   static_cast<double>(total));
            });
            if (!index)
                return;
            indexes[at] = std::make_shared<const ArchiveSearch>(std::move(*index));
        }
        before += rows;
    }
    {
        const std::lock_guard lock(mutex);
        done = 1;
        built = std::move(indexes);
    }
    wake();
}
