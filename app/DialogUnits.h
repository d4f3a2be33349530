#pragma once
// Dialog units of the form's font: x * average char width / 4, y * line height / 8, the way the
// form's positions are given.

#include "res/form/FormControls.h"

#include <QFont>
#include <QRect>

// The form's and the dialogs' font: 8-point sans-serif.
QFont FormFont();

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int X(int dlu) const;
    int Y(int dlu) const;
    QRect ToPixels(const DluRect& rect) const;

    int CharWidth() const { return charWidth; }
    int LineHeight() const { return lineHeight; }

private:
    int charWidth = 0;
    int lineHeight = 0;
};
