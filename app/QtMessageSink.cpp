#include "app/QtMessageSink.h"

#include "app/GuiThread.h"

#include <QMessageBox>

namespace {

QMessageBox::StandardButtons ToQt(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::Ok:
        return QMessageBox::Ok;
    case BoxButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case BoxButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::None:
        return QMessageBox::NoIcon;
    case BoxIcon::Error:
        return QMessageBox::Critical;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// What Escape or the close box answer.
BoxAnswer EscapeAnswer(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::Ok:
        return BoxAnswer::Ok;
    case BoxButtons::OkCancel:
    case BoxButtons::RetryCancel:
        return BoxAnswer::Cancel;
    case BoxButtons::YesNo:
        return BoxAnswer::No;
    case BoxButtons::AbortRetryIgnore:
        return BoxAnswer::Abort;
    }
    return BoxAnswer::Ok;
}

BoxAnswer FromQt(int button, BoxButtons buttons) {
    switch (button) {
    case QMessageBox::Ok:
        return BoxAnswer::Ok;
    case QMessageBox::Cancel:
        return BoxAnswer::Cancel;
    case QMessageBox::Yes:
        return BoxAnswer::Yes;
    case QMessageBox::No:
        return BoxAnswer::No;
    case QMessageBox::Abort:
        return BoxAnswer::Abort;
    case QMessageBox::Retry:
        return BoxAnswer::Retry;
    case QMessageBox::Ignore:
        return BoxAnswer::Ignore;
    default:
        break;
    }
    return EscapeAnswer(buttons);
}

} // namespace

BoxAnswer QtMessageSink::ShowMessage(const MessageBoxRequest& request) {
    if (silenced)
        return EscapeAnswer(request.buttons);
    return RunOnGuiThread([this, &request] { return Show(request); });
}

BoxAnswer QtMessageSink::Show(const MessageBoxRequest& request) {
    if (silenced) // asked before the silence, carried here after it
        return EscapeAnswer(request.buttons);
    QWidget* parent = request.owned ? owner.data() : nullptr;
    QMessageBox box(ToQt(request.icon), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), ToQt(request.buttons), parent);
    box.setObjectName(QStringLiteral("messageBox"));
    return FromQt(box.exec(), request.buttons);
}
