#pragma once
// The rows of the archive viewer's list as a read-only table model: the nine SMS list columns,
// left-aligned, the text column with line breaks shown as spaces. Built for archives of a
// million rows: the model knows the listed tables' keys only and reads the rows the view shows,
// a page at a time (see ArchivePages); cells become Qt texts only when the view asks for them.
// A search text narrows the rows shown to those that hold it (see ArchiveSearch), in their
// order. Each listed table has its search index: a large listing has it built on a thread of its
// own as soon as it is loaded (see SearchBuilder), and a search typed before it is ready waits
// for it without holding up the window; a small one builds it at its first search. An index
// made stays for a reload of the same table.

#include "archive/ArchivePages.h"
#include "archive/ArchiveSearch.h"
#include "archive/SearchBuilder.h"
#include "sms/SmsList.h"

#include <QAbstractTableModel>
#include <memory>
#include <optional>
#include <vector>

class ArchiveListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // From this many listed rows on, the index is built in the background.
    static constexpr int kBackgroundSearchRows = 20'000;

    explicit ArchiveListModel(QObject* parent = nullptr);
    ~ArchiveListModel() override;

    void Clear();
    // Lists the table in front of the rows listed and searches again; false (told through the
    // sink) when it does not open.
    bool LoadInFront(CDaoDatabase* database, IMessageSink& sink, ArchiveTable table);
    // Shows only the rows holding text; all of them for an empty text.
    void SetSearchText(std::string_view text);

    // Listings of at least `rows` rows build their index in the background from the next load.
    void SetBackgroundFrom(int rows) { backgroundFrom = rows; }
    // True while a typed search waits for the index: the rows shown are those before it.
    bool SearchWaiting() const { return waiting; }
    // The share of the index built so far, 0 to 1.
    double IndexDone() const { return indexDone; }
    // Waits for the index being built and shows the search typed meanwhile.
    void FinishSearch();

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

signals:
    // SearchWaiting or IndexDone changed.
    void searchProgress();

private:
    using Index = std::shared_ptr<const ArchiveSearch>;

    int ListedPosition(int shownIndex) const;
    bool Indexed() const;
    // The index of a table listed before with the same keys and names, if any.
    Index Reused(const ListedTable& listed) const;
    void BuildHere();
    void StartBuild();
    // Called by name through the event queue, so that the hand-over lives inside Qt.
    Q_INVOKABLE void TakeNews();
    void Search();

    // Reading a page is no change the view could see: the const accessors fetch through it.
    mutable ArchivePages pages;
    std::vector<Index> indexes; // one per listed table, null until built
    // The tables listed before the last Clear, with their indexes.
    std::vector<std::pair<ListedTable, Index>> before;
    std::string searchText;
    std::optional<std::vector<int>> shown; // positions listed; none while every row is shown
    int backgroundFrom = kBackgroundSearchRows;
    bool building = false;
    bool waiting = false;
    double indexDone = 0;
    SearchBuilder builder; // last: stopped before the rest goes
};
