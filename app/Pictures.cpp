#include "app/Pictures.h"

#include "res/form/MenuTable.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace {

const QColor kHandset(0x2f, 0x4f, 0x6f);
const QColor kScreen(0xbf, 0xe3, 0xc8);
const QColor kBubble(0xff, 0xd7, 0x5e);
const QColor kInk(0x8a, 0x6a, 0x00);

QPixmap Blank(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The icon's shapes on a 32-unit square, scaled by the painter.
void PaintIcon(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x14, 0x23, 0x33), 1));
    p.setBrush(kHandset);
    p.drawRoundedRect(QRectF(7, 3, 14, 26), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kScreen);
    p.drawRect(QRectF(9, 6, 10, 10));
    p.setBrush(QColor(0x8a, 0xa3, 0xbb));
    p.drawRoundedRect(QRectF(9, 18, 10, 8), 1, 1);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(15, 9, 16, 11), 2, 2);
    QPainterPath tail;
    tail.moveTo(19, 19);
    tail.lineTo(19, 24);
    tail.lineTo(24, 19);
    tail.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBubble);
    p.drawPath(bubble.united(tail));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(18, 12, 10, 1.5));
    p.drawRect(QRectF(18, 15, 7, 1.5));
}

void PaintPhonebook(QPainter& p) {
    p.setPen(QPen(QColor(0x5a, 0x2d, 0x0c), 1));
    p.setBrush(QColor(0xb8, 0x6b, 0x2e));
    p.drawRoundedRect(QRectF(5.5, 3.5, 17, 24), 2, 2);
    p.setBrush(QColor(0xf7, 0xf1, 0xe3));
    p.drawRect(QRectF(8.5, 5.5, 12, 20));
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    for (int y = 9; y <= 22; y += 4)
        p.drawLine(QPointF(10.5, y + 0.5), QPointF(18.5, y + 0.5));
}

void PaintArrow(QPainter& p, const QColor& color, bool up) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPolygonF arrow;
    if (up)
        arrow << QPointF(25, 14) << QPointF(31, 22) << QPointF(27.5, 22) << QPointF(27.5, 30)
              << QPointF(22.5, 30) << QPointF(22.5, 22) << QPointF(19, 22);
    else
        arrow << QPointF(25, 30) << QPointF(31, 22) << QPointF(27.5, 22) << QPointF(27.5, 14)
              << QPointF(22.5, 14) << QPointF(22.5, 22) << QPointF(19, 22);
    p.drawPolygon(arrow);
}

void PaintPlus(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x8f, 0x2f));
    p.drawRect(QRectF(23, 16, 4, 14));
    p.drawRect(QRectF(18, 21, 14, 4));
}

void PaintCross(QPainter& p) {
    p.setPen(QPen(QColor(0xc6, 0x28, 0x28), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 16), QPointF(30, 29));
    p.drawLine(QPointF(30, 16), QPointF(19, 29));
}

void PaintPencil(QPainter& p) {
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(QColor(0xf2, 0xb1, 0x34));
    QPolygonF pencil;
    pencil << QPointF(29, 13) << QPointF(32, 16) << QPointF(21, 27) << QPointF(17, 29)
           << QPointF(18, 25);
    p.drawPolygon(pencil);
}

QImage NewImage(QSize size, const QColor& fill) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

void PaintCentred(QPainter& p, int top, int height, const QFont& font, const QColor& color,
                  const QString& text) {
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRect(0, top, kCreditsSize.width(), height), Qt::AlignCenter | Qt::TextWordWrap,
               text);
}

QFont CreditsFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap = Blank({size, size});
    QPainter p(&pixmap);
    p.scale(size / 32.0, size / 32.0);
    PaintIcon(p);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}

QPixmap ButtonImage(ButtonPicture picture) {
    QPixmap pixmap = Blank({kButtonImageSize, kButtonImageSize});
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    PaintPhonebook(p);
    switch (picture) {
    case ButtonPicture::Read:
        PaintArrow(p, QColor(0x1f, 0x5f, 0xbf), false);
        break;
    case ButtonPicture::Store:
        PaintArrow(p, QColor(0x7f, 0x3f, 0xaf), true);
        break;
    case ButtonPicture::Add:
        PaintPlus(p);
        break;
    case ButtonPicture::Erase:
        PaintCross(p);
        break;
    case ButtonPicture::Change:
        PaintPencil(p);
        break;
    }
    return pixmap;
}

QPixmap ToolbarImage(int commandId) {
    QPixmap pixmap = Blank(kToolbarImageSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (commandId == kCmdOpenDatabase) {
        // A database drum.
        p.setPen(QPen(QColor(0x22, 0x44, 0x66), 1));
        p.setBrush(QColor(0x7f, 0xaf, 0xdf));
        p.drawRect(QRectF(2.5, 3.5, 11, 9));
        p.drawEllipse(QRectF(2.5, 10, 11, 4));
        p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
    } else if (commandId == kCmdAboutPlain) {
        p.setPen(QPen(QColor(0x10, 0x30, 0x80), 1));
        p.setBrush(QColor(0xff, 0xff, 0xe0));
        p.drawEllipse(QRectF(1.5, 1, 13, 13));
        QFont font(QStringLiteral("Serif"));
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, QStringLiteral("?"));
    }
    return pixmap;
}

QImage AboutBackground() {
    QImage image = NewImage(kAboutBackgroundSize, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0, QColor(0x1b, 0x3a, 0x5c));
    sky.setColorAt(1, QColor(0x5d, 0x8c, 0xb8));
    p.fillRect(image.rect(), sky);
    p.drawPixmap(14, 14, ProgramIconPixmap(64));
    PaintCentred(p, 20, 30, CreditsFont(24, true), Qt::white, QStringLiteral("Telvane"));
    p.setFont(CreditsFont(13, false));
    p.setPen(QColor(0xdd, 0xe8, 0xf2));
    p.drawText(QRect(90, 52, 220, 60), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Versione 0.01b\nSMS and phonebook manager"));
    // The frame around the credits strip at 10, 130 - 310, 160.
    p.setPen(QPen(QColor(0xdd, 0xe8, 0xf2), 1));
    p.setBrush(QColor(0x0f, 0x24, 0x3a));
    p.drawRect(QRectF(8.5, 127.5, 303, 35));
    return image;
}

QImage CreditsPicture() {
    QImage image = NewImage(kCreditsSize, QColor(0x0f, 0x24, 0x3a));
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor text(0xf0, 0xf4, 0xf8);
    const QColor accent(0xff, 0xd7, 0x5e);
    // One entry every 50 rows from row 40; the strip is 30 rows high, so one entry shows at a
    // time. Rows from 1502 on never show.
    const std::array<QString, 28> lines = {
        QStringLiteral("Telvane"),
        QStringLiteral("Versione 0.01b"),
        QStringLiteral("SMS and phonebook manager"),
        QStringLiteral("for GSM phones and modems"),
        QStringLiteral("on a serial line"),
        QStringLiteral("AT commands in PDU mode"),
        QStringLiteral("Reads messages from SIM and phone"),
        QStringLiteral("Deletes them after reading, if asked"),
        QStringLiteral("Decodes SMS-DELIVER and SMS-SUBMIT"),
        QStringLiteral("7-bit packed text"),
        QStringLiteral("Archives messages in a database"),
        QStringLiteral("Browses the SMS archive"),
        QStringLiteral("Composes and sends messages"),
        QStringLiteral("Standard and advanced submit"),
        QStringLiteral("Protocol identifier and coding scheme"),
        QStringLiteral("Validity period"),
        QStringLiteral("Reads the phonebook of SIM and phone"),
        QStringLiteral("Keeps phonebook entries in the database"),
        QStringLiteral("Adds and changes entries by hand"),
        QStringLiteral("Loads captured modem logs"),
        QStringLiteral("Port, speed, parity, flow control"),
        QStringLiteral("kept in your settings"),
        QStringLiteral("Read SMS"),
        QStringLiteral("Write SMS"),
        QStringLiteral("Phonebook Manager"),
        QStringLiteral("Telvane 0.01b"),
        QStringLiteral("Thank you for using Telvane"),
        QStringLiteral("Telvane"),
    };
    int top = 40;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool title = i == 0 || i + 1 == lines.size();
        PaintCentred(p, top, 30, CreditsFont(title ? 20 : 13, title), title ? accent : text,
                     lines[i]);
        top += 52;
    }
    return image;
}
