#include "archive/ArchiveListModel.h"

#include "archive/ListedTableIndex.h"
#include "archive/SearchFold.h"

#include <QMetaObject>
#include <algorithm>

namespace {

QVariant LeftAligned() {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
}

bool IsColumn(int section) {
    return section >= 0 && section < kSmsColumnCount;
}

} // namespace

ArchiveListModel::ArchiveListModel(QObject* parent)
    : QAbstractTableModel(parent), builder([this] {
          // On the builder's thread: only a call is posted, the news are taken on ours.
          QMetaObject::invokeMethod(this, "TakeNews", Qt::QueuedConnection);
      }) {}

ArchiveListModel::~ArchiveListModel() {
    builder.Stop();
}

void ArchiveListModel::Clear() {
    beginResetModel();
    builder.Stop();
    building = false;
    before.clear();
    for (std::size_t at = 0; at < indexes.size(); ++at)
        before.emplace_back(pages.Tables()[at], indexes[at]);
    pages.Clear();
    indexes.clear();
    shown.reset();
    waiting = false;
    endResetModel();
}

ArchiveListModel::Index ArchiveListModel::Reused(const ListedTable& listed) const {
    for (const auto& [table, index] : before)
        if (index != nullptr && table.table == listed.table && *table.keys == *listed.keys &&
            *table.names == *listed.names)
            return index;
    return nullptr;
}

bool ArchiveListModel::LoadInFront(CDaoDatabase* database, IMessageSink& sink, ArchiveTable table) {
    beginResetModel();
    builder.Stop();
    building = false;
    const bool loaded = pages.LoadInFront(database, sink, table);
    if (loaded)
        indexes.insert(indexes.begin(), Reused(pages.Tables().front()));
    if (!Indexed() && pages.Count() >= backgroundFrom)
        StartBuild();
    Search();
    endResetModel();
    return loaded;
}

bool ArchiveListModel::Indexed() const {
    return std::ranges::all_of(indexes, [](const Index& index) { return index != nullptr; });
}

void ArchiveListModel::StartBuild() {
    building = true;
    indexDone = 0;
    builder.Start(pages.Database(), pages.Tables(), indexes);
}

void ArchiveListModel::BuildHere() {
    for (std::size_t at = 0; at < indexes.size(); ++at)
        if (indexes[at] == nullptr)
            // Never broken off here: nothing tells it to stop.
            indexes[at] = std::make_shared<const ArchiveSearch>(
                IndexListedTable(pages.Database(), pages.Tables()[at]).value_or(ArchiveSearch{}));
}

void ArchiveListModel::TakeNews() {
    SearchBuilder::News news = builder.Take();
    if (!building)
        return;
    indexDone = news.done;
    if (news.built) {
        building = false;
        indexes = std::move(*news.built);
        if (waiting) {
            beginResetModel();
            waiting = false;
            Search();
            endResetModel();
        }
    }
    emit searchProgress();
}

void ArchiveListModel::FinishSearch() {
    if (!building)
        return;
    builder.Wait();
    TakeNews();
}

void ArchiveListModel::Search() {
    if (FoldForSearch(searchText).empty()) {
        waiting = false;
        shown.reset();
        return;
    }
    if (building) {
        // Served when the index is ready; every row is shown until then.
        waiting = true;
        shown.reset();
        return;
    }
    BuildHere();
    std::vector<int> found;
    int offset = 0;
    for (std::size_t at = 0; at < indexes.size(); ++at) {
        for (const int row : indexes[at]->Matching(searchText))
            found.push_back(offset + row);
        offset += static_cast<int>(pages.Tables()[at].Size());
    }
    shown = std::move(found);
}

void ArchiveListModel::SetSearchText(std::string_view text) {
    if (text == searchText)
        return;
    beginResetModel();
    searchText = text;
    Search();
    endResetModel();
    emit searchProgress();
}

int ArchiveListModel::Count() const {
    return pages.Count();
}

int ArchiveListModel::ShownCount() const {
    return shown ? static_cast<int>(shown->size()) : pages.Count();
}

int ArchiveListModel::ListedPosition(int shownIndex) const {
    return shown ? (*shown)[static_cast<std::size_t>(shownIndex)] : shownIndex;
}

std::vector<SmsRow> ArchiveListModel::ShownRows() const {
    std::vector<SmsRow> rows;
    rows.reserve(static_cast<std::size_t>(ShownCount()));
    if (!shown) {
        pages.ForEach([&rows](const SmsRow& row) { rows.push_back(row); });
        return rows;
    }
    pages.ForEachAt(*shown, [&rows](const SmsRow& row) { rows.push_back(row); });
    return rows;
}

SmsRow ArchiveListModel::Row(int index) const {
    return pages.Row(ListedPosition(index));
}

int ArchiveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ShownCount();
}

int ArchiveListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kSmsColumnCount;
}

QVariant ArchiveListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= ShownCount() || !IsColumn(index.column()))
        return {};
    if (role == Qt::DisplayRole) {
        const SmsRow& row = pages.Row(ListedPosition(index.row()));
        const std::string& cell = row[static_cast<std::size_t>(index.column())];
        return QString::fromStdString(index.column() == kSmsTextColumn ? DisplayText(cell) : cell);
    }
    if (role == Qt::TextAlignmentRole)
        return LeftAligned();
    return {};
}

QVariant ArchiveListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !IsColumn(section))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        const std::string_view heading =
            SmsListColumns()[static_cast<std::size_t>(section)].heading;
        return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
    }
    if (role == Qt::TextAlignmentRole)
        return LeftAligned();
    return {};
}

Qt::ItemFlags ArchiveListModel::flags(const QModelIndex& index) const {
    // Selectable for reading, never editable: the viewer changes nothing.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
