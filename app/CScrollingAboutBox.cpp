#include "app/CScrollingAboutBox.h"

#include "app/DialogUnits.h"
#include "app/Pictures.h"
#include "res/form/MenuTable.h"

#include <QPainter>
#include <QPushButton>
#include <cstring>

namespace {

constexpr int kWaitMs = 3000;
constexpr int kScrollMs = 20;

constexpr int kRowPixels = 300; // the strip's and the credits picture's width

// One 300-pixel row between two 32-bit images.
void CopyRow(const QImage& from, int fromRow, QImage& to, int toRow) {
    if (from.isNull() || to.isNull())
        return; // a picture that could not be allocated shows nothing
    const auto bytes = static_cast<std::size_t>(kRowPixels) * sizeof(quint32);
    std::memcpy(to.scanLine(toRow), from.constScanLine(fromRow), bytes);
}

} // namespace

CScrollingAboutBox::CScrollingAboutBox(QWidget* parent)
    : QDialog(parent), background(AboutBackground().convertToFormat(QImage::Format_RGB32)),
      credits(CreditsPicture().convertToFormat(QImage::Format_RGB32)),
      strip(580, 1500, credits.format()), stripRect(QPoint(10, 130), QPoint(309, 159)) {
    setObjectName(QStringLiteral("scrollingAboutBox"));
    setWindowTitle(QString::fromUtf8(kScrollingAboutCaption.data(),
                                     static_cast<qsizetype>(kScrollingAboutCaption.size())));
    setFont(FormFont());
    const DialogUnits units(font());
    setFixedSize(units.ToPixels({0, 0, 212, 135}).size());

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(units.ToPixels({83, 114, 50, 14}));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CScrollingAboutBox::OnOK);

    // The strip starts out looking like the background under it.
    strip.fill(Qt::black);
    const QImage under =
        background.copy(stripRect.left(), stripRect.top(), kStripWidth, kStripLines);
    for (int line = 0; line < kStripLines; ++line)
        CopyRow(under, line, strip, line);

    timer.setObjectName(QStringLiteral("aboutTimer"));
    connect(&timer, &QTimer::timeout, this, &CScrollingAboutBox::OnTimer);
    timer.start(kWaitMs);
}

void CScrollingAboutBox::OnTimer() {
    if (started == 0) {
        started = 1;
        timer.start(kScrollMs);
    }
    const int before = rowCounter++;
    if (before > kLastRow)
        rowCounter = 0;
    // scrollStep is -1: line n + 1 moves to line n, over the 31 lines in use.
    for (int line = 0; line < kStripLines; ++line)
        CopyRow(strip, line - scrollStep, strip, line);
    CopyRow(credits, rowCounter, strip, kStripLines);
    update(stripRect);
}

void CScrollingAboutBox::OnOK() {
    timer.stop();
    accept();
}

void CScrollingAboutBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, background);
    // Where this font makes the dialog larger than the picture, its edge colours carry on.
    const int right = background.width();
    if (width() > right)
        painter.drawImage(QRect(right, 0, width() - right, background.height()), background,
                          QRect(right - 1, 0, 1, background.height()));
    if (height() > background.height())
        painter.drawImage(QRect(0, background.height(), width(), height() - background.height()),
                          background, QRect(0, background.height() - 1, right, 1));
    if (started == 1)
        painter.drawImage(stripRect.topLeft(), strip, QRect(0, 0, kStripWidth, kStripLines));
}
