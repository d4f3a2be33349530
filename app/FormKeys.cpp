#include "app/FormKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QObject>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTabWidget>

namespace {

bool IsCtrlTab(const QEvent* event) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier;
}

// Keeps Ctrl+Tab for the text it is installed on: the tab switch would take it otherwise.
class CtrlTabTypesTab final : public QObject {
public:
    explicit CtrlTabTypesTab(QPlainTextEdit& text) : QObject(&text), edit(text) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !IsCtrlTab(event))
            return QObject::eventFilter(watched, event);
        event->accept();
        if (type == QEvent::KeyPress && !edit.isReadOnly())
            edit.insertPlainText(QStringLiteral("\t"));
        return type == QEvent::KeyPress;
    }

private:
    QPlainTextEdit& edit;
};

void Step(QTabWidget& tabs, int step) {
    const int count = tabs.count();
    if (count > 0)
        tabs.setCurrentIndex((tabs.currentIndex() + step + count) % count);
}

} // namespace

void LetTabLeaveText(QPlainTextEdit& text) {
    text.setTabChangesFocus(true);
    text.installEventFilter(new CtrlTabTypesTab(text));
}

void AddTabSwitchKeys(QWidget& form, QTabWidget& tabs) {
    const auto bind = [&form, &tabs](const QKeySequence& keys, int step) {
        auto* shortcut = new QShortcut(keys, &form);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &tabs,
                         [&tabs, step] { Step(tabs, step); });
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    bind(QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
    bind(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);
}
