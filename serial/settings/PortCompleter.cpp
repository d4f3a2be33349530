#include "serial/settings/PortCompleter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardItemModel>
#include <algorithm>

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

// Down on the edit opens the whole list, whatever has been typed.
class ShowListOnDown : public QObject {
public:
    ShowListOnDown(QLineEdit& lineEdit, QCompleter& listCompleter)
        : QObject(&lineEdit), edit(lineEdit), completer(listCompleter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &edit || event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_Down || completer.popup()->isVisible())
            return false;
        completer.setCompletionPrefix(QString());
        completer.complete();
        return true;
    }

private:
    QLineEdit& edit;
    QCompleter& completer;
};

} // namespace

std::vector<PortChoice> PortChoices(const std::vector<SerialPortInfo>& ports, int maxChars) {
    std::vector<PortChoice> choices;
    for (const SerialPortInfo& port : ports) {
        const bool fits = static_cast<int>(port.path.size()) <= maxChars;
        PortChoice choice{fits ? port.path : port.device, {}};
        const std::string details = port.Description();
        choice.label = choice.path;
        if (!fits)
            choice.label += "  (" + port.path + ")";
        if (!details.empty())
            choice.label += "  " + details;
        const bool seen = std::any_of(choices.begin(), choices.end(),
                                      [&](const PortChoice& c) { return c.path == choice.path; });
        if (!seen)
            choices.push_back(std::move(choice));
    }
    return choices;
}

void AttachPortCompleter(QLineEdit& edit, const std::vector<PortChoice>& choices) {
    if (choices.empty())
        return;
    auto* model = new QStandardItemModel(&edit);
    for (const PortChoice& choice : choices) {
        auto* item = new QStandardItem(QString::fromStdString(choice.label));
        item->setData(QString::fromStdString(choice.path), kPathRole);
        item->setEditable(false);
        model->appendRow(item);
    }
    auto* completer = new QCompleter(model, &edit);
    completer->setCompletionRole(kPathRole);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    edit.setCompleter(completer);
    edit.installEventFilter(new ShowListOnDown(edit, *completer));
}
