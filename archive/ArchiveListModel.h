#pragma once
// The rows of the archive viewer's list as a read-only table model: the nine SMS list columns,
// left-aligned, the text column with line breaks shown as spaces. Built for archives of a
// million rows: the model knows the listed tables' keys only and reads the rows the view shows,
// a page at a time (see ArchivePages); cells become Qt texts only when the view asks for them.
// A search text narrows the rows shown to those that hold it (see ArchiveSearch), in their
// order; the search's folded texts are made at the first search after a load.

#include "archive/ArchivePages.h"
#include "archive/ArchiveSearch.h"
#include "sms/SmsList.h"

#include <QAbstractTableModel>
#include <optional>
#include <vector>

class ArchiveListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Clear();
    // Lists the table in front of the rows listed and searches again; false (told through the
    // sink) when it does not open.
    bool LoadInFront(CDaoDatabase* database, IMessageSink& sink, ArchiveTable table);
    // Shows only the rows holding text; all of them for an empty text.
    void SetSearchText(std::string_view text);

    // False while the next search must first read the searched texts of every row.
    bool SearchReady() const { return indexed || pages.Count() == 0; }

    // Rows listed (before the search), and rows shown (after it).
    int Count() const;
    int ShownCount() const;
    // The rows shown, in their order, as their cells hold them.
    std::vector<SmsRow> ShownRows() const;
    // A shown row; valid for 0 <= index < ShownCount().
    SmsRow Row(int index) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int ListedPosition(int shownIndex) const;
    void Search();

    // Reading a page is no change the view could see: the const accessors fetch through it.
    mutable ArchivePages pages;
    ArchiveSearch search;
    bool indexed = false; // search holds the folded texts of the rows listed
    std::string searchText;
    std::optional<std::vector<int>> shown; // positions listed; none while every row is shown
};
