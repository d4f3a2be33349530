#pragma once
// The form at more than its natural size: the tab control, the lists and the message text take
// the extra room; the controls right of or below a growing one move with its edge, the others
// stay where the control table puts them. Up to the room given (at least its natural size) the
// form is exactly the table's.

#include <QSize>
#include <QWidget>
#include <map>
#include <vector>

struct FormControl;

// Where a control of the table goes when the form has `extra` pixels more than its natural
// size (never less: a smaller form scrolls).
QRect GrownRect(const FormControl& control, const QRect& natural, QSize extra);

class GrowingForm : public QWidget {
public:
    GrowingForm() = default;

    // Takes the controls' present places as their natural ones, and the present size as the
    // form's natural size (its least size from now on). Call once the form is built.
    void KeepNaturalLayout(const std::map<int, QWidget*>& controls, QWidget* tabControl);
    // The room within which the layout stays the table's; the controls are placed anew.
    void KeepTableLayoutWithin(QSize room);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();

    struct Placed {
        const FormControl* control; // null for the tab control
        QWidget* widget;
        QRect natural;
    };
    std::vector<Placed> placed;
    QSize naturalSize;
    QSize tableRoom; // naturalSize or more
};
