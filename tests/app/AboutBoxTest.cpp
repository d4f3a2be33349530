// The about boxes: the plain box's contents, and the scrolling box's timer, row counter and strip.
#include "app/CAboutBox.h"
#include "app/CScrollingAboutBox.h"
#include "app/Pictures.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// One row of an image, 300 pixels from x.
QImage Row(const QImage& image, int x, int y) {
    return image.copy(x, y, 300, 1);
}

TEST(CAboutBox, ShowsCaptionIconVersionAndOk) {
    CAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Informazioni su Telvane"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("aboutText"))->text(),
              QStringLiteral("Telvane Versione 0.01b"));
    EXPECT_FALSE(box.findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap().isNull());
    auto* ok = box.findChild<QPushButton*>(QStringLiteral("okButton"));
    box.show();
    ok->click();
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(Pictures, HaveTheirSizes) {
    EXPECT_EQ(AboutBackground().size(), QSize(322, 221));
    EXPECT_EQ(CreditsPicture().size(), QSize(300, 2000));
    EXPECT_EQ(ButtonImage(ButtonPicture::Change).size(), QSize(32, 32));
    EXPECT_NE(ButtonImage(ButtonPicture::Read).toImage(),
              ButtonImage(ButtonPicture::Store).toImage());
}

TEST(CScrollingAboutBox, WaitsThreeSecondsShowingOnlyTheBackground) {
    CScrollingAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box.Started(), 0);
    EXPECT_TRUE(box.Timer().isActive());
    EXPECT_EQ(box.Timer().interval(), 3000);
    EXPECT_EQ(box.StripRect(), QRect(10, 130, 300, 30));
    const QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& background = box.Background();
    for (int y = 130; y < 160; y += 7)
        EXPECT_EQ(Row(shown, 10, y), Row(background, 10, y)) << y;
}

TEST(CScrollingAboutBox, EachTickScrollsOneCreditsRowIntoTheStrip) {
    CScrollingAboutBox box;
    box.OnTimer();
    EXPECT_EQ(box.Started(), 1);
    EXPECT_EQ(box.Timer().interval(), 20);
    EXPECT_EQ(box.RowCounter(), 1);
    // The new row enters below the visible lines; the previous lower lines move up by one.
    EXPECT_EQ(Row(box.Strip(), 0, 30), Row(box.Credits(), 0, 1));
    box.OnTimer();
    EXPECT_EQ(Row(box.Strip(), 0, 29), Row(box.Credits(), 0, 1));
    EXPECT_EQ(Row(box.Strip(), 0, 30), Row(box.Credits(), 0, 2));
    // The painted strip shows the strip's top 30 lines.
    const QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Row(shown, 10, 159), Row(box.Strip(), 0, 29));
}

TEST(CScrollingAboutBox, AfterRow1501TheCreditsStartAgainFromRow0) {
    CScrollingAboutBox box;
    for (int tick = 0; tick < 1501; ++tick)
        box.OnTimer();
    EXPECT_EQ(box.RowCounter(), 1501);
    box.OnTimer();
    EXPECT_EQ(box.RowCounter(), 0);
    EXPECT_EQ(Row(box.Strip(), 0, 29), Row(box.Credits(), 0, 1501));
    EXPECT_EQ(Row(box.Strip(), 0, 30), Row(box.Credits(), 0, 0));
    box.OnTimer();
    EXPECT_EQ(box.RowCounter(), 1);
    EXPECT_EQ(box.Timer().interval(), 20);
}

TEST(CScrollingAboutBox, OkStopsTheTimerAndCloses) {
    CScrollingAboutBox box;
    box.show();
    box.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    EXPECT_FALSE(box.Timer().isActive());
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
}

} // namespace
