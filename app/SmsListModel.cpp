#include "app/SmsListModel.h"

#include <algorithm>

namespace {

bool IsColumn(int section) {
    return section >= 0 && section < kSmsListColumnCount;
}

QVariant LeftAligned() {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
}

} // namespace

void SmsListModel::Insert(int position, const std::vector<SmsRow>& rows) {
    if (rows.empty())
        return;
    const int at = std::clamp(position, 0, list.Count());
    beginInsertRows(QModelIndex(), at, at + static_cast<int>(rows.size()) - 1);
    list.Insert(at, rows);
    endInsertRows();
}

void SmsListModel::Clear() {
    beginResetModel();
    list.Clear();
    endResetModel();
}

int SmsListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list.Count();
}

int SmsListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kSmsListColumnCount;
}

QVariant SmsListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsColumn(index.column()))
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(list.DisplayCell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole)
        return LeftAligned();
    return {};
}

QVariant SmsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !IsColumn(section))
        return {};
    if (role == Qt::DisplayRole) {
        const std::string_view heading =
            SmsListColumns()[static_cast<std::size_t>(section)].heading;
        return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
    }
    if (role == Qt::TextAlignmentRole)
        return LeftAligned();
    return {};
}
