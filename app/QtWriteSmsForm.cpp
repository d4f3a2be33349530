#include "app/QtWriteSmsForm.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStatusBar>

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The UTF-16 position of a code-point position in text (the end when past it).
int Utf16Position(const QString& text, int codePoints) {
    int units = 0;
    for (int seen = 0; seen < codePoints && units < text.size(); ++seen)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return units;
}

} // namespace

QWidget* QtWriteSmsForm::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

QComboBox* QtWriteSmsForm::Combo(int id) const {
    return qobject_cast<QComboBox*>(Control(id));
}

std::string QtWriteSmsForm::ControlText(int id) {
    QWidget* control = Control(id);
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(control))
        text = combo->currentText();
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        text = edit->text();
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(control))
        text = multi->toPlainText();
    return text.toStdString();
}

void QtWriteSmsForm::SetControlText(int id, std::string_view text) {
    QWidget* control = Control(id);
    const QString value = FromUtf8(text);
    if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setEditText(value);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(value);
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(control)) {
        // Unchanged text would still notify, and the text handler would run for nothing.
        if (multi->toPlainText() != value) {
            multi->setPlainText(value);
            // Where the text was cut to fit, typing goes on at its end.
            multi->moveCursor(QTextCursor::End);
        }
    }
}

bool QtWriteSmsForm::IsChecked(int id) {
    const auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button != nullptr && button->isChecked();
}

void QtWriteSmsForm::SetChecked(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(Control(id))) {
        settingChecks = true;
        button->setChecked(checked);
        settingChecks = false;
    }
}

void QtWriteSmsForm::EnableControl(int id, bool enable) {
    if (QWidget* control = Control(id))
        control->setEnabled(enable);
}

void QtWriteSmsForm::ResetList(int id) {
    if (QComboBox* combo = Combo(id)) {
        combo->clear();
        combo->setEditText({});
    }
}

void QtWriteSmsForm::AddListItem(int id, std::string_view text) {
    QComboBox* combo = Combo(id);
    if (combo == nullptr)
        return;
    const QString item = FromUtf8(text);
    int at = 0;
    while (at < combo->count() &&
           QString::compare(combo->itemText(at), item, Qt::CaseInsensitive) <= 0)
        ++at;
    // Qt selects the first item put into an empty list and shows it in the edit field; a list
    // item added here changes neither.
    const QSignalBlocker blocker(combo);
    const QString edit = combo->currentText();
    const int current = combo->currentIndex();
    combo->insertItem(at, item);
    if (current < 0) {
        combo->setCurrentIndex(-1);
        combo->setEditText(edit);
    }
}

int QtWriteSmsForm::ListSelection(int id) {
    const QComboBox* combo = Combo(id);
    return combo == nullptr ? -1 : combo->currentIndex();
}

void QtWriteSmsForm::SelectListItem(int id, int index) {
    QComboBox* combo = Combo(id);
    if (combo == nullptr)
        return;
    if (index < 0 || index >= combo->count()) {
        // Qt would empty the edit field with the selection; the text stays.
        const QSignalBlocker blocker(combo);
        const QString edit = combo->currentText();
        combo->setCurrentIndex(-1);
        combo->setEditText(edit);
        return;
    }
    combo->setCurrentIndex(index);
    combo->setEditText(combo->itemText(index));
}

int QtWriteSmsForm::FindListPrefix(int id, std::string_view prefix) {
    const QComboBox* combo = Combo(id);
    if (combo == nullptr)
        return -1;
    const QString start = FromUtf8(prefix);
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(start, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

std::string QtWriteSmsForm::ListItemText(int id, int index) {
    const QComboBox* combo = Combo(id);
    if (combo == nullptr || index < 0 || index >= combo->count())
        return {};
    return combo->itemText(index).toStdString();
}

void QtWriteSmsForm::SetEditSelection(int id, int start, int end) {
    QComboBox* combo = Combo(id);
    QLineEdit* edit = combo == nullptr ? nullptr : combo->lineEdit();
    if (edit == nullptr)
        return;
    const QString text = edit->text();
    const int from = Utf16Position(text, start);
    const int to = Utf16Position(text, end);
    edit->setSelection(from, to - from);
}

QMainWindow* QtWriteSmsForm::Frame() const {
    QWidget* anyControl = Control(kSmsTextEditId);
    return anyControl == nullptr ? nullptr : qobject_cast<QMainWindow*>(anyControl->window());
}

void QtWriteSmsForm::ShowStatus(std::string_view text) {
    QMainWindow* frame = Frame();
    if (frame == nullptr || !Control(kSmsTextEditId)->isVisibleTo(frame))
        return;
    shownStatus = FromUtf8(text);
    frame->statusBar()->showMessage(shownStatus);
}

void QtWriteSmsForm::HideStatus() {
    QMainWindow* frame = Frame();
    if (frame != nullptr && !shownStatus.isEmpty() &&
        frame->statusBar()->currentMessage() == shownStatus)
        frame->statusBar()->clearMessage();
    shownStatus.clear();
}
