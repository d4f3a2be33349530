#include "phonebook/CPhonebookEntryDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr qsizetype kTextLimit = 999;

QLineEdit* NewEdit(int controlId, const std::string& text, QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(QString::number(controlId));
    return edit;
}

// The field's text, at most 999 characters (code points: a surrogate pair is never split).
std::string FieldText(const QLineEdit* edit) {
    const QString text = edit->text();
    qsizetype units = 0;
    for (qsizetype kept = 0; units < text.size() && kept < kTextLimit; ++kept) {
        const bool pair = text[units].isHighSurrogate() && units + 1 < text.size() &&
                          text[units + 1].isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return text.left(units).toStdString();
}

} // namespace

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): name, then number, as the dialog shows them
CPhonebookEntryDlg::CPhonebookEntryDlg(std::string& nameText, std::string& numberText,
                                       QWidget* parent)
    : QDialog(parent), name(nameText), number(numberText) {
    setWindowTitle(QStringLiteral("Add/Edit Phonebook entry"));
    setModal(true);
    nameEdit = NewEdit(kNameEditId, name, this);
    numberEdit = NewEdit(kNumberEditId, number, this);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Name"), nameEdit);
    fields->addRow(QStringLiteral("Number"), numberEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
}

void CPhonebookEntryDlg::accept() {
    number = FieldText(numberEdit);
    name = FieldText(nameEdit);
    QDialog::accept();
}
