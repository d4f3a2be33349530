#pragma once
// The about box of "About Telvane": a background picture, and a tall credits picture that
// scrolls up through a 300 x 30 strip, one row every 20 ms, starting three seconds after opening.

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QTimer>

class CScrollingAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit CScrollingAboutBox(QWidget* parent = nullptr);

    // One timer tick: scroll the strip up a row and bring in the next credits row below it.
    void OnTimer();
    void OnOK();

    int Started() const { return started; }
    int RowCounter() const { return rowCounter; }
    const QTimer& Timer() const { return timer; }
    const QImage& Strip() const { return strip; }
    const QImage& Credits() const { return credits; }
    const QImage& Background() const { return background; }
    QRect StripRect() const { return stripRect; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kLastRow = 1500; // the counter wraps after passing this
    static constexpr int kStripWidth = 300;
    static constexpr int kStripLines = 30;

    QImage background;
    QImage credits;
    QImage strip;
    QRect stripRect;
    int scrollStep = -1;
    int started = 0;
    int rowCounter = 0;
    QTimer timer;
};
