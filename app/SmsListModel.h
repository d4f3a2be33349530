#pragma once
// The SMS list (1032) as a read-only table model over the window's one SmsList: the nine
// columns with their headings, left-aligned, the text column with line breaks as spaces. The
// cells become Qt texts only when the view asks for them, so thousands of rows stay fast.
// User-interface thread only.

#include "sms/SmsList.h"

#include <QAbstractTableModel>
#include <vector>

class SmsListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    const SmsList& List() const { return list; }
    // Puts the rows, in their order, at position; past the last row appends them.
    void Insert(int position, const std::vector<SmsRow>& rows);
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    SmsList list;
};
