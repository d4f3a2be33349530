#pragma once
// The rows of the archive viewer's list as a read-only table model: the nine SMS list columns,
// left-aligned, the text column with line breaks shown as spaces. Built for lists of a hundred
// thousand rows: the cells become Qt texts only when the view asks for them.

#include "sms/SmsList.h"

#include <QAbstractTableModel>
#include <vector>

class ArchiveListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Clear();
    // Moves the rows, in their order, to position (clamped to the list).
    void Insert(int position, std::vector<SmsRow>&& rows);

    int Count() const;
    // Valid for 0 <= index < Count().
    const SmsRow& Row(int index) const { return list[static_cast<std::size_t>(index)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<SmsRow> list;
};
