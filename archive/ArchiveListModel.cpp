#include "archive/ArchiveListModel.h"

#include "archive/SearchFold.h"

namespace {

QVariant LeftAligned() {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
}

bool IsColumn(int section) {
    return section >= 0 && section < kSmsColumnCount;
}

} // namespace

void ArchiveListModel::Clear() {
    beginResetModel();
    pages.Clear();
    search.Clear();
    indexed = false;
    shown.reset();
    endResetModel();
}

bool ArchiveListModel::LoadInFront(CDaoDatabase* database, IMessageSink& sink, ArchiveTable table) {
    beginResetModel();
    const bool loaded = pages.LoadInFront(database, sink, table);
    if (loaded) {
        search.Clear();
        indexed = false;
    }
    Search();
    endResetModel();
    return loaded;
}

void ArchiveListModel::Search() {
    const std::string folded = FoldForSearch(searchText);
    if (folded.empty()) {
        shown.reset();
        return;
    }
    if (!indexed) {
        search.Clear();
        pages.ForEachSearchable(
            [this](std::string_view foldedTextAndSender, std::string_view name) {
                search.AddFolded(foldedTextAndSender, name);
            });
        indexed = true;
    }
    shown = search.Matching(searchText);
}

void ArchiveListModel::SetSearchText(std::string_view text) {
    if (text == searchText)
        return;
    beginResetModel();
    searchText = text;
    Search();
    endResetModel();
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
    for (int index = 0; index < ShownCount(); ++index)
        rows.push_back(pages.Row(ListedPosition(index)));
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
