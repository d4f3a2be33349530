#include "archive/CSmsArchiveDlg.h"

#include "archive/ArchiveListModel.h"
#include "db/CDaoDatabase.h"
#include "sms/DeliveryReports.h"
#include "sms/SmsExport.h"
#include "sms/view/CMessageViewDlg.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Failure boxes of a dialog run without the application's sink: plain OK boxes it owns.
class DialogBoxes final : public IMessageSink {
public:
    explicit DialogBoxes(QWidget* dialog) : owner(dialog) {}

    BoxAnswer ShowMessage(const MessageBoxRequest& request) override {
        const bool question = request.buttons == BoxButtons::YesNo;
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(request.caption),
                        QString::fromStdString(request.text),
                        question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                        request.owned ? owner : nullptr);
        box.setObjectName(QStringLiteral("messageBox"));
        const int pressed = box.exec();
        if (!question)
            return BoxAnswer::Ok;
        return pressed == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    }

private:
    QWidget* owner;
};

template <class Widget> Widget* Tagged(Widget* widget, int id) {
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    widget->setProperty("controlId", id);
    return widget;
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
    // Double-click or Enter on a row: the message as archived.
    connect(list, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (index.row() >= model->Count())
            return;
        MessageView message = MessageViewOf(model->Row(index.row()));
        if (database != nullptr && database->IsOpen())
            AddDeliveryLines(*database, model->Row(index.row()), message);
        OpenMessageView(message, this);
    });
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
    auto* exportButton = new QPushButton(QStringLiteral("Export..."));
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportButton->setAutoDefault(false);
    connect(exportButton, &QPushButton::clicked, this, &CSmsArchiveDlg::OnExport);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(group);
    bottom->addStretch();
    bottom->addWidget(exportButton, 0, Qt::AlignBottom);
    bottom->addWidget(okButton, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(BuildSearchBar());
    layout->addWidget(list, 1);
    layout->addLayout(bottom);
    resize(1060, 420);
}

QLayout* CSmsArchiveDlg::BuildSearchBar() {
    searchField = new QLineEdit;
    searchField->setObjectName(QStringLiteral("searchField"));
    searchField->setClearButtonEnabled(true);
    searchField->installEventFilter(this);
    connect(searchField, &QLineEdit::textChanged, this, &CSmsArchiveDlg::OnSearchChanged);
    auto* label = new QLabel(QStringLiteral("Search:"));
    label->setBuddy(searchField);
    countLabel = new QLabel;
    countLabel->setObjectName(QStringLiteral("countLabel"));
    connect(model, &QAbstractItemModel::modelReset, this, &CSmsArchiveDlg::ShowCount);
    connect(model, &ArchiveListModel::searchProgress, this, &CSmsArchiveDlg::ShowCount);
    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(searchField, 1);
    bar->addWidget(countLabel);
    return bar;
}

bool CSmsArchiveDlg::eventFilter(QObject* watched, QEvent* event) {
    // Escape in a search that holds text empties it rather than closing the dialog.
    if (watched == searchField && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !searchField->text().isEmpty()) {
        searchField->clear();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CSmsArchiveDlg::OnSearchChanged() {
    model->SetSearchText(searchField->text().toStdString());
}

void CSmsArchiveDlg::ShowCount() {
    // A search typed while a large archive's index is being built is served once it is ready.
    if (model->SearchWaiting())
        countLabel->setText(
            QStringLiteral("Searching... %1%").arg(static_cast<int>(model->IndexDone() * 100)));
    else
        countLabel->setText(QStringLiteral("%1 SMS").arg(model->ShownCount()));
}

void CSmsArchiveDlg::OnExport() {
    QFileDialog dialog(this, QStringLiteral("Export"));
    dialog.setObjectName(QStringLiteral("exportFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The replacement question is ours, asked when the file is written.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters({QStringLiteral("CSV files (*.csv)"),
                           QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ExportTo(dialog.selectedFiles().constFirst().toStdString());
}

int CSmsArchiveDlg::ExportTo(const std::string& path) {
    // The rows the typed search finds, even while its index is still being built.
    model->FinishSearch();
    return ExportSmsRows(model->ShownRows(), sink, path);
}

bool CSmsArchiveDlg::OnInitDialog() {
    inCheck->setChecked(true);
    LoadArchiveIn();
    ShowCount();
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
    return model->LoadInFront(database, sink, ArchiveTable::In) ? 0 : 1;
}

int CSmsArchiveDlg::LoadArchiveOut() {
    return model->LoadInFront(database, sink, ArchiveTable::Out) ? 0 : 1;
}
