#pragma once
// "SMS View": the archived messages of SMS_In, of SMS_Out or of both, read-only, in the SMS
// list's nine columns; received rows first, each table in its own order. One of the two
// check boxes is always checked. Built on the caller's database object (which may be closed or
// null: the list then stays empty and each load says so), filled when constructed, run with
// exec() on the user-interface thread.

#include "serial/MessageSink.h"

#include <QDialog>
#include <memory>

class CDaoDatabase;
class ArchiveListModel;
class QCheckBox;
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

private:
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
};
