#include "app/FormGrowth.h"

#include "res/form/FormControls.h"
#include "sms/send/IWriteSmsForm.h"

#include <algorithm>
#include <array>

namespace {

// The one control of each tab that takes the extra room.
constexpr std::array kGrowingIds = {kSmsListId, kSmsTextEditId, kPhonebookListId};

const FormControl* GrowingControlOf(int tab) {
    for (int id : kGrowingIds) {
        const FormControl* control = FindFormControl(id);
        if (control != nullptr && control->tab == tab)
            return control;
    }
    return nullptr;
}

} // namespace

QRect GrownRect(const FormControl& control, const QRect& natural, QSize extra) {
    extra = extra.expandedTo({0, 0});
    const FormControl* grower = GrowingControlOf(control.tab);
    if (grower == nullptr)
        return natural;
    if (grower->id == control.id)
        return natural.adjusted(0, 0, extra.width(), extra.height());
    const DluRect& edge = grower->rect;
    const int dx = control.rect.x >= edge.x + edge.width ? extra.width() : 0;
    const int dy = control.rect.y >= edge.y + edge.height ? extra.height() : 0;
    return natural.translated(dx, dy);
}

void GrowingForm::KeepNaturalLayout(const std::map<int, QWidget*>& controls, QWidget* tabControl) {
    placed.clear();
    placed.push_back({nullptr, tabControl, tabControl->geometry()});
    for (const auto& [id, widget] : controls) {
        if (const FormControl* control = FindFormControl(id))
            placed.push_back({control, widget, widget->geometry()});
    }
    naturalSize = size();
    tableRoom = naturalSize;
    setMinimumSize(naturalSize);
}

void GrowingForm::KeepTableLayoutWithin(QSize room) {
    tableRoom = naturalSize.expandedTo(room);
    PlaceControls();
}

void GrowingForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
}

void GrowingForm::PlaceControls() {
    const QSize extra = (size() - tableRoom).expandedTo({0, 0});
    for (const Placed& entry : placed) {
        const QRect rect = entry.control == nullptr
                               ? entry.natural.adjusted(0, 0, extra.width(), extra.height())
                               : GrownRect(*entry.control, entry.natural, extra);
        entry.widget->setGeometry(rect);
    }
}
