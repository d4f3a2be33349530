#pragma once
// "SMS View": the archived messages of SMS_In, of SMS_Out or of both, read-only, in the SMS
// list's nine columns; received rows first, each table in its own order. One of the two
// check boxes is always checked. Built on the caller's database object (which may be closed or
// null: the list then stays empty and each load says so), filled when constructed, run with
// exec() on the user-interface thread. A search field above the list narrows the rows shown
// (Escape empties it); "Export..." writes the rows shown to a CSV or plain text file.

#include "core/MessageSink.h"

#include <QDialog>
#include <memory>

class CDaoDatabase;
class ArchiveListModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

class CSmsArchiveDlg final : public QDialog {
    Q_OBJECT
public:
    // messages: where the failure boxes go; null shows them as boxes owned by the dialog.
    explicit CSmsArchiveDlg(CDaoDatabase* database, QWidget* parent = nullptr,
                            IMessageSink* messages = nullptr);
    ~CSmsArchiveDlg() override;

    // Control ids, also in the object names ("control1102") and the property "controlId".
    static constexpr int kListId = 1102;
    static constexpr int kInCheckId = 1103;
    static constexpr int kOutCheckId = 1104;
    static constexpr int kOkId = 1;

    // Empties the list, then lists SMS_Out if "OUT" is checked and puts SMS_In in front of it
    // if "IN" is checked.
    void RefreshArchiveList();
    // 0 after listing the table from the top of the list, 1 when it did not open.
    int LoadArchiveIn();
    int LoadArchiveOut();

    // Writes the rows shown to path: plain text when the name ends in ".txt", CSV otherwise.
    // Asks before replacing a file and reports the rows written, or the failure. The number of
    // rows written; -1 when nothing was.
    int ExportTo(const std::string& path);

    QLineEdit* SearchField() const { return searchField; }
    QLabel* CountLabel() const { return countLabel; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QLayout* BuildSearchBar();
    void OnSearchChanged();
    void ShowCount();
    void OnExport();
    bool OnInitDialog();
    void BuildControls();
    void OnClickIn();
    void OnClickOut();

    CDaoDatabase* database;
    std::unique_ptr<IMessageSink> ownBoxes; // used when the caller gives no sink
    IMessageSink& sink;
    ArchiveListModel* model = nullptr;
    QTableView* list = nullptr;
    QCheckBox* inCheck = nullptr;
    QCheckBox* outCheck = nullptr;
    QLineEdit* searchField = nullptr;
    QLabel* countLabel = nullptr;
};
