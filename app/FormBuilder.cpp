#include "app/FormBuilder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

namespace {

QString Label(const FormControl& control) {
    return QString::fromUtf8(control.label.data(), static_cast<qsizetype>(control.label.size()));
}

QTreeWidget* NewReportList(QWidget* parent, bool singleSelection) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(singleSelection ? QAbstractItemView::SingleSelection
                                           : QAbstractItemView::ExtendedSelection);
    list->setColumnCount(0);
    list->header()->setStretchLastSection(false);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return list;
}

QComboBox* NewComboBox(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    // Enter never turns the typed text into an entry: in "SMS Class" that would shift the
    // entries the send reads by position.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setProperty("sorted", true);
    return combo;
}

QWidget* NewWidget(const FormControl& control, QWidget* parent) {
    switch (control.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(Label(control), parent);
    case ControlKind::RadioButton:
        return new QRadioButton(Label(control), parent);
    case ControlKind::CheckBox:
        return new QCheckBox(Label(control), parent);
    case ControlKind::PushButton:
    case ControlKind::ImageButton:
        return new QPushButton(Label(control), parent);
    case ControlKind::Label:
        return new QLabel(Label(control), parent);
    case ControlKind::Edit:
        return new QLineEdit(parent);
    case ControlKind::NumberEdit: {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(true);
        return edit;
    }
    case ControlKind::MultiLineEdit:
        return new QPlainTextEdit(parent);
    case ControlKind::ComboBox:
        return NewComboBox(parent);
    case ControlKind::Spin:
        // An up-down arrow pair with no range and no action of its own.
        return new QScrollBar(Qt::Vertical, parent);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        bar->setValue(0);
        return bar;
    }
    case ControlKind::ReportList:
        return NewReportList(parent, control.id == kPhonebookListId);
    }
    return nullptr;
}

// Breaks text at blanks into lines no wider than width.
QStringList WrapWords(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    lines << line;
    return lines;
}

// A check box whose label is wider than its rectangle in this font takes its label on more
// lines, growing downwards, instead of losing the end of it.
void WrapLongLabel(QCheckBox* box, QRect& rect) {
    const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                          box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
    const QFontMetrics metrics(box->font());
    const int room = rect.width() - indicator - 2;
    if (metrics.horizontalAdvance(box->text()) <= room)
        return;
    const QStringList lines = WrapWords(box->text(), metrics, room);
    box->setText(lines.join(QLatin1Char('\n')));
    rect.setHeight(std::max(rect.height(), static_cast<int>(lines.size()) * metrics.height()));
}

// A combo box's rectangle holds its dropped list; the closed box is one edit line high.
QRect PlacedRect(const FormControl& control, QWidget* widget, const DialogUnits& units) {
    QRect rect = units.ToPixels(control.rect);
    if (control.kind == ControlKind::ComboBox)
        rect.setHeight(std::min(rect.height(), widget->sizeHint().height()));
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        WrapLongLabel(box, rect);
    return rect;
}

bool Contains(const DluRect& outer, const DluRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// The group box that frames a radio button; 0 when none does.
int FramingGroup(const FormControl& radio) {
    const auto table = FormControlTable();
    const auto group = std::ranges::find_if(table, [&radio](const FormControl& control) {
        return control.kind == ControlKind::GroupBox && control.tab == radio.tab &&
               Contains(control.rect, radio.rect);
    });
    return group == table.end() ? 0 : group->id;
}

// Radio buttons framed by the same group box exclude each other, and only each other.
void GroupRadioButtons(QWidget* form, const std::map<int, QWidget*>& controls) {
    std::map<int, QButtonGroup*> groups;
    for (const FormControl& control : FormControlTable()) {
        if (control.kind != ControlKind::RadioButton)
            continue;
        QButtonGroup*& group = groups[FramingGroup(control)];
        if (group == nullptr)
            group = new QButtonGroup(form);
        group->addButton(qobject_cast<QAbstractButton*>(controls.at(control.id)), control.id);
    }
}

} // namespace

QString ControlObjectName(int id) {
    return QStringLiteral("control%1").arg(id);
}

std::map<int, QWidget*> BuildFormControls(QWidget* form, const DialogUnits& units) {
    std::map<int, QWidget*> controls;
    for (const FormControl& control : FormControlTable()) {
        QWidget* widget = NewWidget(control, form);
        widget->setObjectName(ControlObjectName(control.id));
        widget->setProperty("controlId", control.id);
        widget->setAccessibleName(Label(control));
        widget->setGeometry(PlacedRect(control, widget, units));
        widget->setEnabled(!control.startsDisabled);
        controls[control.id] = widget;
    }
    GroupRadioButtons(form, controls);
    return controls;
}
