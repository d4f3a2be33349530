// The tabbed form on real widgets: every control of the table, the tab rules, the port rule, the
// read-control rule and the tooltips.
#include "app/CMainFrame.h"
#include "app/CTelvaneApp.h"
#include "app/CTelvaneView.h"
#include "app/FormBuilder.h"
#include "res/form/FormControls.h"
#include "res/form/FormTooltips.h"
#include "res/form/MenuTable.h"
#include "sms/send/IWriteSmsForm.h"
#include "tests/app/SettingsFolder.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>
#include <vector>

namespace {

QString Label(const FormControl& control) {
    return QString::fromUtf8(control.label.data(), static_cast<qsizetype>(control.label.size()));
}

// The text a control shows as its label, whatever its kind.
QString ShownLabel(const QWidget* widget) {
    // A label too wide for its check box goes on two lines.
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return QString(button->text()).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    return {};
}

class FormTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.InitInstance());
        view = app.MainFrame()->View();
    }

    QWidget* Find(int id) const { return view->findChild<QWidget*>(ControlObjectName(id)); }

    static void KeyClick(QWidget* widget, Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }

    // Controls of the shown tab are visible, all others hidden.
    void ExpectOnlyTabShown(int tab) const {
        for (const FormControl& control : FormControlTable())
            EXPECT_EQ(Find(control.id)->isVisible(), control.tab == tab)
                << "control " << control.id << " with tab " << tab << " shown";
    }

    void ExpectPortRule(bool portOpen) const {
        for (const FormControl& control : FormControlTable())
            EXPECT_EQ(Find(control.id)->isEnabled(), portOpen || !control.needsPort)
                << "control " << control.id;
    }

    // No two controls of a tab overlap, group boxes aside.
    void ExpectNoOverlap() const {
        for (const FormControl& a : FormControlTable()) {
            for (const FormControl& b : FormControlTable()) {
                if (a.id >= b.id || a.tab != b.tab || a.kind == ControlKind::GroupBox ||
                    b.kind == ControlKind::GroupBox)
                    continue;
                EXPECT_FALSE(Find(a.id)->geometry().intersects(Find(b.id)->geometry()))
                    << a.id << " overlaps " << b.id;
            }
        }
    }

    SettingsFolder folder;
    CTelvaneApp app;
    CTelvaneView* view = nullptr;
};

TEST_F(FormTest, EveryControlExistsWithItsLabelAtItsPosition) {
    for (const FormControl& control : FormControlTable()) {
        QWidget* widget = Find(control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        EXPECT_EQ(widget->property("controlId").toInt(), control.id);
        const QRect expected = view->Units().ToPixels(control.rect);
        EXPECT_EQ(widget->pos(), expected.topLeft()) << control.id;
        EXPECT_EQ(widget->width(), expected.width()) << control.id;
        if (control.kind == ControlKind::ImageButton) {
            // The picture replaces the label.
            const auto* button = qobject_cast<QAbstractButton*>(widget);
            EXPECT_TRUE(button->text().isEmpty()) << control.id;
            EXPECT_EQ(button->icon().pixmap(32, 32).size(), QSize(32, 32)) << control.id;
            EXPECT_EQ(widget->accessibleName(), Label(control));
        } else {
            EXPECT_EQ(ShownLabel(widget), Label(control)) << control.id;
        }
    }
    EXPECT_EQ(
        view->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^control\\d+$"))).size(),
        static_cast<qsizetype>(FormControlTable().size()) + 1); // and the tab control
}

TEST_F(FormTest, StartsOnReadSmsWithSimCheckedAndTheListColumns) {
    const QTabWidget* tabs = view->TabControl();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Read SMS"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Write SMS"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Phonebook Manager"));
    EXPECT_EQ(tabs->currentIndex(), 0);
    ExpectOnlyTabShown(0);
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(Find(1034))->isChecked());
    const auto* smsList = qobject_cast<QTableView*>(Find(kSmsListId));
    ASSERT_NE(smsList, nullptr);
    // The nine columns, then "PART" for the parts of long messages.
    ASSERT_EQ(smsList->model()->columnCount(), 10);
    EXPECT_EQ(smsList->model()->headerData(7, Qt::Horizontal), QStringLiteral("Assoc. rubrica."));
    EXPECT_EQ(smsList->model()->headerData(8, Qt::Horizontal), QStringLiteral("SCA."));
    EXPECT_EQ(smsList->model()->headerData(9, Qt::Horizontal), QStringLiteral("PART"));
    EXPECT_EQ(smsList->columnWidth(3), 400);
    // The phonebook list gets its columns at the first activation of its tab.
    const auto* phonebook = qobject_cast<QTreeWidget*>(Find(kPhonebookListId));
    EXPECT_EQ(phonebook->columnCount(), 0);
    view->SelectTab(2);
    ASSERT_EQ(phonebook->columnCount(), 4);
    EXPECT_EQ(phonebook->headerItem()->text(0), QStringLiteral("POS"));
    EXPECT_EQ(phonebook->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(FormTest, EachTabShowsOnlyItsOwnControls) {
    for (int tab : {1, 2, 0, 2}) {
        view->TabControl()->tabBar()->setCurrentIndex(tab);
        EXPECT_EQ(view->currentTab, tab);
        ExpectOnlyTabShown(tab);
    }
    EXPECT_TRUE(view->TabControl()->isVisible());
}

TEST_F(FormTest, PortControlsFollowThePortRule) {
    ExpectPortRule(false);
    view->EnablePortControls(1);
    ExpectPortRule(true); // "Read SCA" too, although the template starts it disabled
    view->EnablePortControls(0);
    ExpectPortRule(false);
}

TEST_F(FormTest, ReadControlsFromAWorkerThreadTouchExactlyTheTwelve) {
    view->EnablePortControls(1);
    const std::set<int> readIds(std::begin(kReadControlIds), std::end(kReadControlIds));
    std::atomic<bool> done = false;
    std::thread worker([&] {
        view->EnableReadControls(1);
        done = true;
    });
    while (!done)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    for (const FormControl& control : FormControlTable())
        EXPECT_EQ(Find(control.id)->isEnabled(), !readIds.contains(control.id)) << control.id;
    view->EnableReadControls(0);
    ExpectPortRule(true);
    // With the port closed, the read rule enables its controls all the same.
    view->EnablePortControls(0);
    view->EnableReadControls(0);
    EXPECT_TRUE(Find(1036)->isEnabled());
}

TEST_F(FormTest, TooltipsComeFromTheTableAndOthersHaveNone) {
    for (const FormControl& control : FormControlTable()) {
        const auto tip = TooltipFor(control.id);
        const QString expected =
            tip ? QString::fromUtf8(tip->data(), static_cast<qsizetype>(tip->size())) : QString();
        EXPECT_EQ(Find(control.id)->toolTip(), expected) << control.id;
    }
    EXPECT_EQ(Find(1052)->toolTip(), QStringLiteral("In PDU there isn't Service Centre Address"));
    EXPECT_TRUE(Find(1043)->toolTip().isEmpty());
    EXPECT_TRUE(CTelvaneView::OnToolTipText(9999).isEmpty());
}

TEST_F(FormTest, JumpToReRunsTheActivationOfTheShownTab) {
    std::vector<int> activated;
    QObject::connect(view, &CTelvaneView::tabActivated,
                     [&activated](int tab) { activated.push_back(tab); });
    app.MainFrame()->Action(kCmdJumpPhonebook)->trigger();
    EXPECT_EQ(view->TabControl()->currentIndex(), 2);
    auto* dbase = qobject_cast<QAbstractButton*>(Find(kDbaseRadioId));
    auto* sim = qobject_cast<QAbstractButton*>(Find(1077));
    EXPECT_TRUE(dbase->isChecked());
    sim->setChecked(true);
    EXPECT_FALSE(dbase->isChecked());
    app.MainFrame()->Action(kCmdJumpPhonebook)->trigger();
    EXPECT_TRUE(dbase->isChecked());
    ExpectOnlyTabShown(2);
    app.MainFrame()->Action(kCmdJumpWrite)->trigger();
    app.MainFrame()->Action(kCmdJumpWrite)->trigger();
    ExpectOnlyTabShown(1);
    EXPECT_EQ(activated, (std::vector<int>{2, 2, 1, 1}));
}

TEST_F(FormTest, TabClickWhileBusyIsIgnoredButJumpToIsNot) {
    view->busy = 1;
    view->TabControl()->tabBar()->setCurrentIndex(2);
    EXPECT_EQ(view->TabControl()->currentIndex(), 2); // the header moves
    EXPECT_EQ(view->currentTab, 0);
    ExpectOnlyTabShown(0);
    app.MainFrame()->Action(kCmdJumpWrite)->trigger();
    EXPECT_EQ(view->currentTab, 1);
    ExpectOnlyTabShown(1);
    view->busy = 0;
    view->TabControl()->tabBar()->setCurrentIndex(0);
    ExpectOnlyTabShown(0);
}

TEST_F(FormTest, RadioButtonsExcludeOnlyWithinTheirGroup) {
    auto* sim = qobject_cast<QAbstractButton*>(Find(1034));
    auto* me = qobject_cast<QAbstractButton*>(Find(1035));
    auto* standard = qobject_cast<QAbstractButton*>(Find(1091));
    auto* absolute = qobject_cast<QAbstractButton*>(Find(1093));
    auto* relative = qobject_cast<QAbstractButton*>(Find(1094));
    view->WriteForm().SetChecked(1091, true);
    view->WriteForm().SetChecked(1093, true);
    me->setChecked(true);
    EXPECT_FALSE(sim->isChecked());
    EXPECT_TRUE(standard->isChecked());
    EXPECT_TRUE(absolute->isChecked());
    // The operations set each button of the Write SMS pairs alone; the user's changes exclude.
    view->WriteForm().SetChecked(1094, true);
    EXPECT_TRUE(absolute->isChecked());
    relative->setEnabled(true); // a port control: a click needs it enabled
    relative->click();
    EXPECT_FALSE(absolute->isChecked());
    EXPECT_TRUE(relative->isChecked());
    relative->click(); // a second click leaves it checked, as a radio button stays
    EXPECT_TRUE(relative->isChecked());
    EXPECT_TRUE(me->isChecked());
}

TEST_F(FormTest, TheUsersChoiceOfASubmitModeIsExclusiveEveryWayItIsMade) {
    auto* standard = qobject_cast<QAbstractButton*>(Find(1091));
    auto* advanced = qobject_cast<QAbstractButton*>(Find(1092));
    view->WriteForm().SetChecked(1092, true);
    view->WriteForm().SetChecked(1091, false);
    standard->setEnabled(true);
    advanced->setEnabled(true);
    // Assistive technology toggles the button without a click.
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(standard);
    ASSERT_NE(access, nullptr);
    ASSERT_NE(access->actionInterface(), nullptr);
    access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(standard->isChecked());
    EXPECT_FALSE(advanced->isChecked()) << "the message must not go out as Advanced submit";
    // The keyboard's space bar on the other one.
    KeyClick(advanced, Qt::Key_Space);
    EXPECT_TRUE(advanced->isChecked());
    EXPECT_FALSE(standard->isChecked());
}

TEST_F(FormTest, EnterInAComboBoxAddsNoEntry) {
    auto* classes = qobject_cast<QComboBox*>(Find(kClassComboId));
    ASSERT_NE(classes, nullptr);
    view->WriteForm().AddListItem(kClassComboId, "Class 1 - M.E.");
    view->WriteForm().AddListItem(kClassComboId, "Class 2 - SIM");
    const int entries = classes->count();
    classes->setEnabled(true);
    classes->setEditText(QStringLiteral("A class"));
    KeyClick(classes->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(classes->count(), entries);
    EXPECT_EQ(classes->findText(QStringLiteral("A class")), -1);
    for (const FormControl& control : FormControlTable())
        if (auto* combo = qobject_cast<QComboBox*>(Find(control.id))) {
            EXPECT_EQ(combo->insertPolicy(), QComboBox::NoInsert) << control.id;
        }
}

TEST_F(FormTest, ControlsOfATabDoNotOverlapExceptInsideTheirGroupBoxes) {
    ExpectNoOverlap();
}

// Maximised or resized, the lists and the message text take the room; what lies right of them
// moves along, the rest stays, and back at the first size everything is where it was.
TEST_F(FormTest, TheListsAndTheMessageTextGrowWithTheWindow) {
    QMainWindow* frame = app.MainFrame();
    QApplication::processEvents();
    const QSize firstSize = frame->size();
    const QWidget* form = view->widget();
    const QSize firstForm = form->size();
    ASSERT_GE(firstForm.width(), form->minimumWidth()) << "the first window shows the whole form";
    ASSERT_GE(firstForm.height(), form->minimumHeight());
    std::map<int, QRect> natural;
    for (const FormControl& control : FormControlTable())
        natural[control.id] = Find(control.id)->geometry();
    const QRect tabs = view->TabControl()->geometry();
    // The first window's room keeps the table's layout.
    EXPECT_EQ(natural[kSmsListId], view->Units().ToPixels(FindFormControl(kSmsListId)->rect));
    EXPECT_EQ(natural[kSmsTextEditId],
              view->Units().ToPixels(FindFormControl(kSmsTextEditId)->rect));

    const QSize more(300, 200);
    frame->resize(firstSize + more);
    QApplication::processEvents();
    ASSERT_EQ(form->size(), firstForm + more);
    for (int id : {kSmsListId, kPhonebookListId, kSmsTextEditId})
        EXPECT_EQ(Find(id)->geometry(), natural[id].adjusted(0, 0, more.width(), more.height()))
            << id;
    EXPECT_EQ(view->TabControl()->geometry(), tabs.adjusted(0, 0, more.width(), more.height()));
    for (int id : {kSendButtonId, kStoreSmsButtonId, kDcsComboId, kReadNamesButtonId,
                   kPhonebookProgressBarId})
        EXPECT_EQ(Find(id)->geometry(), natural[id].translated(more.width(), 0)) << id;
    for (int id : {kReadSmsButtonId, kSimCountEditId, kRecipientComboId, kCharsLeftEditId})
        EXPECT_EQ(Find(id)->geometry(), natural[id]) << id;
    ExpectNoOverlap();
    view->OnJumpTo(2);
    EXPECT_TRUE(Find(kPhonebookListId)->isVisible());

    frame->resize(firstSize);
    QApplication::processEvents();
    for (const FormControl& control : FormControlTable())
        EXPECT_EQ(Find(control.id)->geometry(), natural[control.id]) << control.id;

    // Smaller than the form: it scrolls, nothing shrinks.
    frame->resize(firstSize - QSize(200, 150));
    QApplication::processEvents();
    EXPECT_EQ(form->size(), form->minimumSize());
    EXPECT_EQ(Find(kPhonebookListId)->geometry(), natural[kPhonebookListId]);
}

} // namespace
