#include "app/QtPhonebookForm.h"

#include "app/GuiThread.h"
#include "app/StatusNote.h"
#include "phonebook/CPhonebookEntryDlg.h"
#include "res/form/FormControls.h"

#include <QAbstractButton>
#include <QProgressBar>
#include <QThread>
#include <QTreeWidget>
#include <algorithm>

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

template <typename Fn, typename Result> Result QtPhonebookForm::OnGui(Fn fn, Result fallback) {
    if (windowClosing && QThread::currentThread() != owner->thread())
        return fallback;
    return RunOnGuiThread([&fn]() -> Result { return fn(); });
}

bool QtPhonebookForm::IsChecked(int id) const {
    const auto found = controls.find(id);
    const auto* button =
        found == controls.end() ? nullptr : qobject_cast<QAbstractButton*>(found->second);
    return button != nullptr && button->isChecked();
}

QTreeWidget* QtPhonebookForm::List() const {
    return qobject_cast<QTreeWidget*>(controls.at(kPhonebookListId));
}

QProgressBar* QtPhonebookForm::Progress() const {
    return qobject_cast<QProgressBar*>(controls.at(kPhonebookProgressBarId));
}

PhonebookMemory QtPhonebookForm::CheckedMemory() {
    return OnGui(
        [this] {
            if (IsChecked(kDbaseRadioId))
                return PhonebookMemory::Dbase;
            return IsChecked(kPhonebookSimRadioId) ? PhonebookMemory::Sim : PhonebookMemory::Phone;
        },
        PhonebookMemory::Phone);
}

int QtPhonebookForm::RowCount() {
    return OnGui([this] { return List()->topLevelItemCount(); }, 0);
}

void QtPhonebookForm::InsertRow(int position, const PhonebookRow& row) {
    OnGui(
        [this, position, &row] {
            QStringList texts;
            for (const std::string& text : row)
                texts << FromUtf8(text);
            QTreeWidget* list = List();
            const int at = std::min(std::max(position, 0), list->topLevelItemCount());
            list->insertTopLevelItem(at, new QTreeWidgetItem(texts));
            return true;
        },
        false);
}

std::optional<PhonebookRow> QtPhonebookForm::Row(int index) {
    return OnGui(
        [this, index]() -> std::optional<PhonebookRow> {
            const QTreeWidgetItem* item = List()->topLevelItem(index);
            if (item == nullptr)
                return std::nullopt;
            PhonebookRow row;
            for (int column = 0; column < kPhonebookColumnCount; ++column)
                row[static_cast<std::size_t>(column)] = item->text(column).toStdString();
            return row;
        },
        std::optional<PhonebookRow>{});
}

void QtPhonebookForm::SetItemText(int index, int column, const std::string& text) {
    OnGui(
        [this, index, column, &text] {
            QTreeWidgetItem* item = List()->topLevelItem(index);
            if (item != nullptr && column >= 0 && column < kPhonebookColumnCount)
                item->setText(column, FromUtf8(text));
            return true;
        },
        false);
}

void QtPhonebookForm::DeleteAllRows() {
    OnGui(
        [this] {
            List()->clear();
            return true;
        },
        false);
}

int QtPhonebookForm::FirstSelectedRow() {
    return OnGui(
        [this] {
            QTreeWidget* list = List();
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                if (list->topLevelItem(i)->isSelected())
                    return i;
            }
            return -1;
        },
        -1);
}

void QtPhonebookForm::SetProgressRange(int lower, int upper) {
    OnGui(
        [this, lower, upper] {
            Progress()->setRange(lower, upper);
            return true;
        },
        false);
}

void QtPhonebookForm::SetProgressPos(int position) {
    OnGui(
        [this, position] {
            Progress()->setValue(position);
            return true;
        },
        false);
}

bool QtPhonebookForm::RunEntryDialog(std::string& name, std::string& number) {
    return OnGui(
        [this, &name, &number] {
            CPhonebookEntryDlg dialog(name, number, owner);
            return dialog.exec() == QDialog::Accepted;
        },
        false);
}

void QtPhonebookForm::SetStatusText(const std::string& text) {
    OnGui(
        [this, &text] {
            ShowStatusNote(owner, FromUtf8(text));
            return true;
        },
        false);
}
