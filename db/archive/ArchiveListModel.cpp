#include "db/archive/ArchiveListModel.h"

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
    endResetModel();
}

void ArchiveListModel::Insert(int position, std::vector<SmsRow>&& rows) {
    if (rows.empty())
        return;
    const int at = std::clamp(position, 0, Count());
    beginInsertRows(QModelIndex(), at, at + static_cast<int>(rows.size()) - 1);
    list.insert(list.begin() + at, std::make_move_iterator(rows.begin()),
                std::make_move_iterator(rows.end()));
    endInsertRows();
}

int ArchiveListModel::Count() const {
    return static_cast<int>(list.size());
}

int ArchiveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int ArchiveListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kSmsColumnCount;
}

QVariant ArchiveListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count() || !IsColumn(index.column()))
        return {};
    if (role == Qt::DisplayRole) {
        const std::string& cell =
            list[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
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
