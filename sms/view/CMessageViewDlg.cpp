#include "sms/view/CMessageViewDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* Field(const std::string& text, const char* name) {
    auto* label = new QLabel(FromUtf8(text));
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

std::string SenderLine(const MessageView& view) {
    return view.name.empty() ? view.sender : view.sender + " (" + view.name + ")";
}

// One line per part.
std::string DeliveryText(const MessageView& view) {
    std::string text;
    for (const std::string& line : view.delivery)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

} // namespace

CMessageViewDlg::CMessageViewDlg(const MessageView& view, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("messageView"));
    setWindowTitle(QStringLiteral("Message"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("From:"), Field(SenderLine(view), "messageSender"));
    fields->addRow(QStringLiteral("Date:"), Field(view.date, "messageDate"));
    fields->addRow(QStringLiteral("Time:"), Field(view.time, "messageTime"));
    fields->addRow(QStringLiteral("Service centre:"), Field(view.sca, "messageSca"));
    auto* text = new QPlainTextEdit(FromUtf8(view.text));
    text->setObjectName(QStringLiteral("messageText"));
    text->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(text);
    if (!view.delivery.empty()) {
        auto* delivery = new QFormLayout;
        delivery->addRow(QStringLiteral("Delivery:"), Field(DeliveryText(view), "messageDelivery"));
        layout->addLayout(delivery);
    }
    layout->addWidget(buttons);
    resize(420, 300);
}

CMessageViewDlg* OpenMessageView(const MessageView& view, QWidget* parent) {
    auto* dialog = new CMessageViewDlg(view, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}
