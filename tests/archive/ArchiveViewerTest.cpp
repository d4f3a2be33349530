// "SMS View" with real widgets on the offscreen platform, on a Telvane database of each engine:
// the controls, the rows of both tables, the check box rule, the row order, the names, and the
// failures of a missing table or a closed database.

#include "ArchiveFixture.h"
#include "archive/CSmsArchiveDlg.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace {

using Cells = std::vector<std::string>;

const char* const kPhonebook =
    "INSERT INTO Phonebook (Pos, Numero, Nome, Type, Memory) VALUES "
    "('1', '+39333111', 'Mario', '145', 'SM'), ('2', 'ABC', 'Lettere', '129', 'SM'),"
    "('3', '+39333111', 'Doppione', '145', 'ME'), ('4', '100%', 'Percento', '129', 'SM');";
const char* const kReceived = "INSERT INTO SMS_In (ID, SCA, Mittente, DateTime, Messaggio) VALUES "
                              "(1, '+393359609600', '+39333111', '2001-03-07 14:05:09', 'Ciao'),"
                              "(2, '+393359609600', 'abc', '2026-12-31 23:59:59', 'riga1\nriga2'),"
                              "(4, '', '+39999', NULL, 'Sconosciuto');";
const char* const kSent = "INSERT INTO SMS_Out (ID, SCA, Mittente, Messaggio) VALUES "
                          "(5, '+393359609600', '+39333111', 'Risposta'),"
                          "(9, '', '100X', 'Nessun jolly');";

template <class Widget> Widget* Control(const QWidget& dialog, int id) {
    return dialog.findChild<Widget*>(QStringLiteral("control%1").arg(id));
}

QCheckBox* InBox(const CSmsArchiveDlg& dialog) {
    return Control<QCheckBox>(dialog, CSmsArchiveDlg::kInCheckId);
}

QCheckBox* OutBox(const CSmsArchiveDlg& dialog) {
    return Control<QCheckBox>(dialog, CSmsArchiveDlg::kOutCheckId);
}

// Every cell the list shows, row by row, as the view's model hands it out.
std::vector<Cells> Shown(const CSmsArchiveDlg& dialog) {
    const auto* view = Control<QTableView>(dialog, CSmsArchiveDlg::kListId);
    std::vector<Cells> rows;
    if (view == nullptr)
        return rows;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        Cells cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells.push_back(model->index(row, column).data().toString().toStdString());
        rows.push_back(cells);
    }
    return rows;
}

// The N and TYPE columns of the rows: enough to see which rows and in what order.
std::vector<std::string> Keys(const CSmsArchiveDlg& dialog) {
    const std::vector<Cells> rows = Shown(dialog);
    std::vector<std::string> keys(rows.size());
    std::ranges::transform(rows, keys.begin(),
                           [](const Cells& row) { return row[0] + " " + row[1]; });
    return keys;
}

const Cells kMario = {"1",        "IN",        "CABBITTO", "Ciao",         "07/03/01",
                      "14:05.09", "+39333111", "Mario",    "+393359609600"};
const Cells kLettere = {"2",        "IN",  "CABBITTO", "riga1 riga2",  "31/12/26",
                        "23:59.59", "abc", "Lettere",  "+393359609600"};
const Cells kUnknown = {"4", "IN", "CABBITTO", "Sconosciuto", "", "", "+39999", "", ""};
const Cells kReply = {"5", "Out",       "CABBITTO", "Risposta",     "",
                      "",  "+39333111", "Mario",    "+393359609600"};
const Cells kNoWildcard = {"9", "Out", "CABBITTO", "Nessun jolly", "", "", "100X", "", ""};

class ArchiveViewerTest : public ArchiveFixture {
protected:
    void OpenFilled() { OpenWith(std::string(kPhonebook) + kReceived + kSent); }
};

TELVANE_ON_BOTH_ENGINES(ArchiveViewerTest);

// Without an open database no engine is involved.
class ArchiveViewerClosedTest : public testing::Test {
protected:
    CDaoDatabase database;
    RecordingMessageSink messages;
};

TEST_P(ArchiveViewerTest, OpensOnTheReceivedMessagesWithInCheckedAndOutNot) {
    OpenFilled();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);

    EXPECT_EQ(dialog.windowTitle(), "SMS View");
    ASSERT_NE(InBox(dialog), nullptr);
    ASSERT_NE(OutBox(dialog), nullptr);
    EXPECT_EQ(InBox(dialog)->text(), "IN");
    EXPECT_EQ(OutBox(dialog)->text(), "OUT");
    EXPECT_TRUE(InBox(dialog)->isChecked());
    EXPECT_FALSE(OutBox(dialog)->isChecked());
    EXPECT_EQ(InBox(dialog)->property("controlId").toInt(), 1103);
    EXPECT_EQ(OutBox(dialog)->property("controlId").toInt(), 1104);
    auto* ok = Control<QPushButton>(dialog, CSmsArchiveDlg::kOkId);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    auto* group = dialog.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "View SMS:");
    EXPECT_TRUE(group->isAncestorOf(InBox(dialog)));
    EXPECT_TRUE(group->isAncestorOf(OutBox(dialog)));

    // The first's name wins over a later row with the same number; the name matches a number
    // in another case; the text's line break shows as a space.
    EXPECT_EQ(Shown(dialog), (std::vector<Cells>{kMario, kLettere, kUnknown}));
    EXPECT_TRUE(messages.Texts().empty());
}

// A larger viewer gives its room to the list; the search bar and the buttons keep their height.
TEST_P(ArchiveViewerTest, TheListGrowsWithTheViewer) {
    OpenFilled();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    dialog.show();
    QApplication::processEvents();
    const auto* list = Control<QTableView>(dialog, CSmsArchiveDlg::kListId);
    ASSERT_NE(list, nullptr);
    const QSize first = list->size();
    const auto* ok = Control<QPushButton>(dialog, CSmsArchiveDlg::kOkId);
    const int okHeight = ok->height();
    dialog.resize(dialog.size() + QSize(400, 300));
    QApplication::processEvents();
    EXPECT_EQ(list->width(), first.width() + 400);
    EXPECT_EQ(list->height(), first.height() + 300);
    EXPECT_EQ(ok->height(), okHeight);
}

TEST_P(ArchiveViewerTest, ShowsTheNineColumnsOfTheSmsListLeftAligned) {
    OpenFilled();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    auto* view = Control<QTableView>(dialog, CSmsArchiveDlg::kListId);
    ASSERT_NE(view, nullptr);
    const QAbstractItemModel* model = view->model();
    const std::vector<std::pair<QString, int>> expected = {
        {"N", 20},     {"TYPE", 40},   {"STAT", 40},         {"SMS", 400},
        {"DATE", 100}, {"TIME.", 100}, {"MITT./DEST.", 100}, {"Assoc. rubrica.", 100},
        {"SCA.", 100}};
    ASSERT_EQ(model->columnCount(), 9);
    for (int column = 0; column < 9; ++column) {
        const auto& [heading, width] = expected[static_cast<std::size_t>(column)];
        EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), heading);
        EXPECT_EQ(view->columnWidth(column), width) << heading.toStdString();
        const auto alignment = model->index(0, column).data(Qt::TextAlignmentRole).toInt();
        EXPECT_TRUE((alignment & Qt::AlignLeft) != 0) << heading.toStdString();
    }
}

TEST_P(ArchiveViewerTest, CheckingOutListsTheReceivedRowsFirstThenTheOutgoingOnes) {
    OpenFilled();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    OutBox(dialog)->click();

    EXPECT_TRUE(InBox(dialog)->isChecked());
    EXPECT_TRUE(OutBox(dialog)->isChecked());
    // Outgoing rows have no date; "100X" is no match for the phonebook's "100%".
    EXPECT_EQ(Shown(dialog), (std::vector<Cells>{kMario, kLettere, kUnknown, kReply, kNoWildcard}));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_P(ArchiveViewerTest, UncheckingTheOnlyCheckedBoxChecksTheOtherOne) {
    OpenFilled();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);

    InBox(dialog)->click();
    EXPECT_FALSE(InBox(dialog)->isChecked());
    EXPECT_TRUE(OutBox(dialog)->isChecked());
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"5 Out", "9 Out"}));

    OutBox(dialog)->click();
    EXPECT_TRUE(InBox(dialog)->isChecked());
    EXPECT_FALSE(OutBox(dialog)->isChecked());
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"1 IN", "2 IN", "4 IN"}));
}

TEST_P(ArchiveViewerTest, UncheckingOneOfTwoCheckedBoxesLeavesTheOther) {
    OpenFilled();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    OutBox(dialog)->click();

    InBox(dialog)->click();
    EXPECT_FALSE(InBox(dialog)->isChecked());
    EXPECT_TRUE(OutBox(dialog)->isChecked());
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"5 Out", "9 Out"}));

    InBox(dialog)->click();
    OutBox(dialog)->click();
    EXPECT_TRUE(InBox(dialog)->isChecked());
    EXPECT_FALSE(OutBox(dialog)->isChecked());
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"1 IN", "2 IN", "4 IN"}));
}

TEST_P(ArchiveViewerTest, EachRebuildReadsTheTablesAgain) {
    OpenFilled();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    ASSERT_TRUE(database.IsOpen());
    dialog.RefreshArchiveList();
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"1 IN", "2 IN", "4 IN"}));
    EXPECT_EQ(dialog.LoadArchiveOut(), 0); // rows of a load go to the top of the list
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"5 Out", "9 Out", "1 IN", "2 IN", "4 IN"}));
    OutBox(dialog)->click();
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"1 IN", "2 IN", "4 IN", "5 Out", "9 Out"}));
}

TEST_P(ArchiveViewerTest, AnEmptyArchiveGivesAnEmptyListAndNoMessage) {
    OpenWith(kPhonebook);
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    EXPECT_TRUE(Shown(dialog).empty());
    OutBox(dialog)->click();
    EXPECT_TRUE(Shown(dialog).empty());
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(ArchiveViewerClosedTest, AClosedDatabaseSaysSoForEachLoadAndLeavesTheDialogUsable) {
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    EXPECT_TRUE(Shown(dialog).empty());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Cannot Open dbSMS_In"});

    OutBox(dialog)->click();
    EXPECT_TRUE(OutBox(dialog)->isChecked());
    EXPECT_TRUE(Shown(dialog).empty());
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"Cannot Open dbSMS_In", "Cannot Open dbSMS_Out",
                                        "Cannot Open dbSMS_In"}));
    for (const MessageBoxRequest& box : messages.Requests())
        EXPECT_EQ(box.caption, "Telvane");
    EXPECT_EQ(dialog.LoadArchiveIn(), 1);
    EXPECT_EQ(dialog.LoadArchiveOut(), 1);
}

TEST_F(ArchiveViewerClosedTest, NoDatabaseObjectAtAllIsAClosedDatabase) {
    CSmsArchiveDlg dialog(nullptr, nullptr, &messages);
    EXPECT_TRUE(Shown(dialog).empty());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Cannot Open dbSMS_In"});
}

TEST_P(ArchiveViewerTest, AnUnreadablePhonebookListsWithoutNamesAndSaysSoOncePerLoad) {
    // A Phonebook that lacks a column cannot be opened as a record set.
    OpenWith(std::string(kPhonebook) + kReceived + kSent +
             "ALTER TABLE Phonebook DROP COLUMN Memory;");
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Cannot Open Phonebook"});
    OutBox(dialog)->click();
    EXPECT_EQ(messages.Texts().size(), 3u);

    const std::vector<Cells> rows = Shown(dialog);
    ASSERT_EQ(rows.size(), 5u);
    for (const Cells& row : rows)
        EXPECT_EQ(row[7], "") << row[0];
    EXPECT_EQ(rows[0][6], "+39333111");
}

TEST_P(ArchiveViewerTest, TheListIsReadOnlyAndOkClosesTheDialog) {
    OpenFilled();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    auto* view = Control<QTableView>(dialog, CSmsArchiveDlg::kListId);
    ASSERT_NE(view, nullptr);
    const QModelIndex cell = view->model()->index(0, 3);
    EXPECT_FALSE(view->model()->flags(cell).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(view->model()->setData(cell, QStringLiteral("changed")));
    EXPECT_EQ(cell.data().toString(), "Ciao");

    QTimer clickOk;
    clickOk.setSingleShot(true);
    QObject::connect(&clickOk, &QTimer::timeout, [&dialog] {
        if (auto* ok = Control<QPushButton>(dialog, CSmsArchiveDlg::kOkId))
            ok->click();
    });
    clickOk.start(0);
    // Ends a dialog the test failed to close, so that a failure cannot hang the run.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [&dialog] { dialog.done(-1); });
    giveUp.start(5000);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);

    database.Close();
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In"), 3);
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_Out"), 2);
    EXPECT_EQ(Count("SELECT count(*) FROM Phonebook"), 4);
}

TEST_F(ArchiveViewerClosedTest, WithoutASinkTheFailureShowsInABoxOfTheDialog) {
    std::vector<QString> seen;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&seen] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible()) {
                seen.push_back(box->windowTitle() + "|" + box->text());
                box->accept();
            }
        }
    });
    answerer.start(10);
    CSmsArchiveDlg dialog(&database);
    answerer.stop();
    EXPECT_EQ(seen, std::vector<QString>{"Telvane|Cannot Open dbSMS_In"});
    EXPECT_TRUE(Shown(dialog).empty());
}

} // namespace
