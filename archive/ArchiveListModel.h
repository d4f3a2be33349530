#pragma once
// The rows of the archive viewer's list as a read-only table model: the nine SMS list columns,
// left-aligned, the text column with line breaks shown as spaces. Built for lists of a hundred
// thousand rows: the cells become Qt texts only when the view asks for them. A search text
// narrows the rows shown to those that hold it (see ArchiveSearch); the rows stay in their order.

#include "archive/ArchiveSearch.h"
#include "sms/SmsList.h"

#include <QAbstractTableModel>
#include <vector>

class ArchiveListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Clear();
    // Moves the rows, in their order, to position (clamped to the list) and searches again.
    void Insert(int position, std::vector<SmsRow>&& rows);
    // Shows only the rows holding text; all of them for an empty text.
    void SetSearchText(std::string_view text);

    // Rows listed (before the search), and rows shown (after it).
    int Count() const;
    int ShownCount() const;
    // The rows shown, in their order, as their cells hold them.
    std::vector<SmsRow> ShownRows() const;
    // A shown row; valid for 0 <= index < ShownCount().
    const SmsRow& Row(int index) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<SmsRow> list;
    ArchiveSearch search;
    std::string searchText;
    std::vector<int> shown; // positions in list
};
