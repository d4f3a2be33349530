#include "app/QtSmsReadForm.h"

#include "app/GuiThread.h"
#include "app/SmsListModel.h"
#include "app/StatusNote.h"
#include "res/form/FormControls.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProgressBar>
#include <QThread>

namespace {

int CountEditId(SmsMemory memory) {
    switch (memory) {
    case SmsMemory::Sim:
        return kSimCountEditId;
    case SmsMemory::Phone:
        return kPhoneCountEditId;
    }
    return kSimCountEditId;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

template <typename Fn, typename Result> Result QtSmsReadForm::OnGui(Fn fn, Result fallback) {
    if (windowClosing && QThread::currentThread() != owner->thread())
        return fallback;
    return RunOnGuiThread([&fn]() -> Result { return fn(); });
}

QWidget* QtSmsReadForm::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

bool QtSmsReadForm::IsChecked(int id) {
    return OnGui(
        [this, id] {
            const auto* button = qobject_cast<QAbstractButton*>(Control(id));
            return button != nullptr && button->isChecked();
        },
        false);
}

bool QtSmsReadForm::MeChecked() {
    return IsChecked(kReadMeRadioId);
}

bool QtSmsReadForm::MoveChecked() {
    return IsChecked(kMoveCheckId);
}

bool QtSmsReadForm::NoScaChecked() {
    return IsChecked(kNoScaCheckId);
}

void QtSmsReadForm::SetNoScaChecked(bool checked) {
    OnGui(
        [this, checked] {
            if (auto* box = qobject_cast<QAbstractButton*>(Control(kNoScaCheckId)))
                box->setChecked(checked);
            return true;
        },
        false);
}

SmsDirections QtSmsReadForm::CheckedDirections() {
    return {IsChecked(kSmsInCheckId), IsChecked(kSmsOutCheckId)};
}

std::string QtSmsReadForm::CountText(SmsMemory memory) {
    return OnGui(
        [this, memory] {
            const auto* edit = qobject_cast<QLineEdit*>(Control(CountEditId(memory)));
            return edit == nullptr ? std::string() : edit->text().toStdString();
        },
        std::string());
}

void QtSmsReadForm::SetCountText(SmsMemory memory, const std::string& text) {
    OnGui(
        [this, memory, &text] {
            if (auto* edit = qobject_cast<QLineEdit*>(Control(CountEditId(memory))))
                edit->setText(FromUtf8(text));
            return true;
        },
        false);
}

void QtSmsReadForm::SetProgressRange(int lower, int upper) {
    OnGui(
        [this, lower, upper] {
            if (auto* bar = qobject_cast<QProgressBar*>(Control(kSmsProgressBarId)))
                bar->setRange(lower, upper);
            return true;
        },
        false);
}

void QtSmsReadForm::SetProgressPos(int position) {
    OnGui(
        [this, position] {
            if (auto* bar = qobject_cast<QProgressBar*>(Control(kSmsProgressBarId)))
                bar->setValue(position);
            return true;
        },
        false);
}

void QtSmsReadForm::EnableReadControls(int readBusy) {
    OnGui(
        [this, readBusy] {
            for (int id : kReadControlIds) {
                if (QWidget* control = Control(id))
                    control->setEnabled(readBusy == 0);
            }
            return true;
        },
        false);
}

void QtSmsReadForm::InsertSmsRows(int position, const std::vector<SmsRow>& rows) {
    OnGui(
        [this, position, &rows] {
            model.Insert(position, rows);
            return true;
        },
        false);
}

void QtSmsReadForm::DeleteAllSmsRows() {
    OnGui(
        [this] {
            model.Clear();
            return true;
        },
        false);
}

int QtSmsReadForm::SmsRowCount() {
    return OnGui([this] { return model.List().Count(); }, 0);
}

std::optional<SmsRow> QtSmsReadForm::GetSmsRow(int index) {
    return OnGui(
        [this, index]() -> std::optional<SmsRow> {
            if (index < 0 || index >= model.List().Count())
                return std::nullopt;
            return model.List().Row(index);
        },
        std::optional<SmsRow>{});
}

void QtSmsReadForm::SetStatusText(const std::string& text) {
    OnGui(
        [this, &text] {
            ShowStatusNote(owner, FromUtf8(text));
            return true;
        },
        false);
}
