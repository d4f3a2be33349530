#pragma once
// The listed tables' search indexes built on a thread of their own, so that the viewer's window
// never waits for them. Started when a large listing is loaded, stopped (what it made dropped)
// when the listing changes or the viewer goes. What it makes is taken on the owner's thread: the
// builder keeps it under its own lock, and `wake`, called on the builder's thread, only says that
// there is something to take (the owner posts itself a call to Take).

#include "archive/ArchiveSearch.h"
#include "archive/ListedTable.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class SearchBuilder {
public:
    using Indexes = std::vector<std::shared_ptr<const ArchiveSearch>>;

    explicit SearchBuilder(std::function<void()> wake);
    ~SearchBuilder();
    SearchBuilder(const SearchBuilder&) = delete;
    SearchBuilder& operator=(const SearchBuilder&) = delete;

    // Builds, in order, the index of each table whose index in `have` is null (have is one per
    // table); the others are handed back as they are. Stops the build running first. The
    // database must outlive the build.
    void Start(CDaoDatabase* database, std::vector<ListedTable> tables, Indexes have);
    // Breaks the build off and waits for its thread; nothing of it is taken after.
    void Stop();
    // Waits until the build has ended; Take then hands over the indexes.
    void Wait();

    struct News {
        double done = 0;              // share of the listed rows indexed so far, 0 to 1
        std::optional<Indexes> built; // once, when the build has ended
    };
    News Take();

private:
    void Run(const std::stop_token& stop, CDaoDatabase* database,
             const std::vector<ListedTable>& tables, Indexes indexes);
    // Keeps the share done; wakes the owner when it shows a new whole percent.
    bool Tell(const std::stop_token& stop, double share);

    std::function<void()> wake;
    std::mutex mutex;
    double done = 0;
    int toldPercent = -1;
    std::optional<Indexes> built;
    std::jthread thread; // last: joined before the rest goes
};
