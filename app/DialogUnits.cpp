#include "app/DialogUnits.h"

#include <QFontMetrics>

namespace {

// Rounded the way the toolkits' MulDiv rounds, so the positions do not drift by truncation.
int Scale(int value, int numerator, int denominator) {
    return (value * numerator + denominator / 2) / denominator;
}

} // namespace

QFont FormFont() {
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the 52 letters, as the dialog base unit is defined.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    charWidth = Scale(metrics.horizontalAdvance(letters), 1, 52);
    lineHeight = metrics.height();
}

int DialogUnits::X(int dlu) const {
    return Scale(dlu, charWidth, 4);
}

int DialogUnits::Y(int dlu) const {
    return Scale(dlu, lineHeight, 8);
}

QRect DialogUnits::ToPixels(const DluRect& rect) const {
    return {X(rect.x), Y(rect.y), X(rect.width), Y(rect.height)};
}
