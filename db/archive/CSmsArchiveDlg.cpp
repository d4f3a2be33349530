#include "db/archive/CSmsArchiveDlg.h"

#include "db/CDaoPhonebook.h"
#include "db/CDaoSMS_In.h"
#include "db/CDaoSMS_Out.h"
#include "db/DbFailureText.h"
#include "db/archive/ArchiveListModel.h"
#include "db/archive/ArchiveRows.h"
#include "db/archive/PhonebookNames.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <optional>
#include <vector>

namespace {

// Failure boxes of a dialog run without the application's sink: plain OK boxes it owns.
class DialogBoxes final : public IMessageSink {
public:
    explicit DialogBoxes(QWidget* dialog) : owner(dialog) {}

    BoxAnswer ShowMessage(const MessageBoxRequest& request) override {
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(request.caption),
                        QString::fromStdString(request.text), QMessageBox::Ok,
                        request.owned ? owner : nullptr);
        box.setObjectName(QStringLiteral("messageBox"));
        box.exec();
        return BoxAnswer::Ok;
    }

private:
    QWidget* owner;
};

template <class Widget> Widget* Tagged(Widget* widget, int id) {
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    widget->setProperty("controlId", id);
    return widget;
}

// A walk the engine broke off (a damaged file) is told once: the list is then not the table.
void ReportBrokenWalk(IMessageSink& sink, const CDaoRecordset& walked, std::string_view table) {
    if (!walked.ErrorText().empty())
        sink.ShowMessage({ReadFailedText(table, walked.ErrorText()), std::string(kAppTitle),
                          BoxButtons::Ok, BoxIcon::Error, true});
}

PhonebookNames ReadPhonebookNames(CDaoDatabase* database, IMessageSink& sink) {
    CDaoPhonebook phonebook(database);
    if (!phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges)) {
        ShowOk(sink, "Cannot Open Phonebook", kAppTitle);
        return {};
    }
    PhonebookNames names = PhonebookNames::Read(phonebook);
    ReportBrokenWalk(sink, phonebook, "Phonebook");
    return names;
}

// The rows of one message table in table order, each with the name its number has in the
// phonebook; nothing when the table did not open.
template <class Recordset>
std::optional<std::vector<SmsRow>> ReadArchive(CDaoDatabase* database, IMessageSink& sink,
                                               const char* sql, std::string_view failure) {
    Recordset messages(database);
    if (!messages.Open(dbOpenDynaset, sql, dbSeeChanges)) {
        ShowOk(sink, failure, kAppTitle);
        return std::nullopt;
    }
    const PhonebookNames names = ReadPhonebookNames(database, sink);
    std::vector<SmsRow> rows;
    for (; !messages.IsEOF(); messages.MoveNext())
        rows.push_back(ArchiveRow(messages, names.Find(messages.Mittente)));
    const std::string_view table(sql);
    ReportBrokenWalk(sink, messages, table.substr(table.rfind(' ') + 1));
    return rows;
}

QTableView* NewList(ArchiveListModel* model, QWidget* parent) {
    auto* view = Tagged(new QTableView(parent), CSmsArchiveDlg::kListId);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setWordWrap(false);
    view->setShowGrid(false);
    view->verticalHeader()->hide();
    // One fixed row height: the view then never measures the rows of a long list.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->horizontalHeader()->setStretchLastSection(false);
    // The style's minimum would widen the narrow "N" column.
    view->horizontalHeader()->setMinimumSectionSize(1);
    for (int column = 0; column < kSmsColumnCount; ++column)
        view->setColumnWidth(column, SmsListColumns()[static_cast<std::size_t>(column)].width);
    return view;
}

} // namespace

CSmsArchiveDlg::CSmsArchiveDlg(CDaoDatabase* db, QWidget* parent, IMessageSink* messages)
    : QDialog(parent), database(db),
      ownBoxes(messages == nullptr ? std::make_unique<DialogBoxes>(this) : nullptr),
      sink(messages == nullptr ? *ownBoxes : *messages) {
    BuildControls();
    OnInitDialog();
}

CSmsArchiveDlg::~CSmsArchiveDlg() = default;

void CSmsArchiveDlg::BuildControls() {
    setWindowTitle(QStringLiteral("SMS View"));
    setModal(true);
    model = new ArchiveListModel(this);
    list = NewList(model, this);
    inCheck = Tagged(new QCheckBox(QStringLiteral("IN")), kInCheckId);
    outCheck = Tagged(new QCheckBox(QStringLiteral("OUT")), kOutCheckId);
    connect(inCheck, &QCheckBox::clicked, this, &CSmsArchiveDlg::OnClickIn);
    connect(outCheck, &QCheckBox::clicked, this, &CSmsArchiveDlg::OnClickOut);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(inCheck);
    boxes->addWidget(outCheck);
    auto* group = new QGroupBox(QStringLiteral("View SMS:"));
    group->setLayout(boxes);
    auto* okButton = Tagged(new QPushButton(QStringLiteral("OK")), kOkId);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(group);
    bottom->addStretch();
    bottom->addWidget(okButton, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list, 1);
    layout->addLayout(bottom);
    resize(1060, 420);
}

bool CSmsArchiveDlg::OnInitDialog() {
    inCheck->setChecked(true);
    LoadArchiveIn();
    return true;
}

void CSmsArchiveDlg::OnClickIn() {
    if (!inCheck->isChecked())
        outCheck->setChecked(true);
    RefreshArchiveList();
}

void CSmsArchiveDlg::OnClickOut() {
    if (!outCheck->isChecked())
        inCheck->setChecked(true);
    RefreshArchiveList();
}

void CSmsArchiveDlg::RefreshArchiveList() {
    model->Clear();
    if (outCheck->isChecked())
        LoadArchiveOut();
    if (inCheck->isChecked())
        LoadArchiveIn();
}

int CSmsArchiveDlg::LoadArchiveIn() {
    auto rows =
        ReadArchive<CDaoSMS_In>(database, sink, "SELECT * FROM SMS_IN", "Cannot Open dbSMS_In");
    if (!rows)
        return 1;
    model->Insert(0, std::move(*rows));
    return 0;
}

int CSmsArchiveDlg::LoadArchiveOut() {
    auto rows =
        ReadArchive<CDaoSMS_Out>(database, sink, "SELECT * FROM SMS_Out", "Cannot Open dbSMS_Out");
    if (!rows)
        return 1;
    model->Insert(0, std::move(*rows));
    return 0;
}
