#include "app/CAboutBox.h"

#include "app/DialogUnits.h"
#include "app/Pictures.h"
#include "res/form/MenuTable.h"

#include <QLabel>
#include <QPushButton>

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(Text(kAboutCaption));
    setFont(FormFont());
    const DialogUnits units(font());
    setFixedSize(units.ToPixels({0, 0, 235, 55}).size());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(ProgramIconPixmap(32));
    icon->setGeometry(QRect(units.ToPixels({7, 7, 0, 0}).topLeft(), QSize(32, 32)));

    auto* text = new QLabel(Text(kAboutText), this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setGeometry(units.ToPixels({40, 10, 119, 8}));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(units.ToPixels({178, 7, 50, 14}));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
