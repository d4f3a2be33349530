#include "archive/ArchiveListModel.h"

#include <algorithm>
#include <iterator>

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
    list.clear();
    search.Index(list);
    shown.clear();
    endResetModel();
}

void ArchiveListModel::Insert(int position, std::vector<SmsRow>&& rows) {
    if (rows.empty())
        return;
    const int at = std::clamp(position, 0, Count());
    beginResetModel();
    list.insert(list.begin() + at, std::make_move_iterator(rows.begin()),
                std::make_move_iterator(rows.end()));
    search.Index(list);
    shown = search.Matching(searchText);
    endResetModel();
}

void ArchiveListModel::SetSearchText(std::string_view text) {
    if (text == searchText)
        return;
    beginResetModel();
    searchText = text;
    shown = search.Matching(searchText);
    endResetModel();
}

int ArchiveListModel::Count() const {
    return static_cast<int>(list.size());
}

int ArchiveListModel::ShownCount() const {
    return static_cast<int>(shown.size());
}

std::vector<SmsRow> ArchiveListModel::ShownRows() const {
    std::vector<SmsRow> rows;
    rows.reserve(shown.size());
    for (int position : shown)
        rows.push_back(list[static_cast<std::size_t>(position)]);
    return rows;
}

const SmsRow& ArchiveListModel::Row(int index) const {
    return list[static_cast<std::size_t>(shown[static_cast<std::size_t>(index)])];
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
        const auto position =
            static_cast<std::size_t>(shown[static_cast<std::size_t>(index.row())]);
        const std::string& cell = list[position][static_cast<std::size_t>(index.column())];
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
