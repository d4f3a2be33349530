// "Add/Edit Phonebook entry" with real widgets on the offscreen platform: what OK and Cancel do
// to the caller's two texts.

#include "phonebook/CPhonebookEntryDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

QLineEdit* Field(QWidget* dialog, int id) {
    return dialog->findChild<QLineEdit*>(QString::number(id));
}

QPushButton* Button(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog->findChild<QDialogButtonBox*>();
    return box == nullptr ? nullptr : box->button(which);
}

// Runs the dialog modally on the texts; `act` works on it once it shows and closes it.
int RunWith(std::string& name, std::string& number, std::function<void(QWidget*)> act) {
    CPhonebookEntryDlg dialog(name, number);
    QTimer::singleShot(0, &dialog, [&dialog, act = std::move(act)] { act(&dialog); });
    // Closes a dialog the test failed to close, so that a failure cannot hang the run.
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-1); });
    return dialog.exec();
}

TEST(PhonebookEntryDlgTest, ShowsTheTextsAndOkWritesTheEditedFieldsBack) {
    std::string name = "Mario";
    std::string number = "+39347";
    const int result = RunWith(name, number, [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Add/Edit Phonebook entry");
        QLineEdit* nameEdit = Field(dialog, CPhonebookEntryDlg::kNameEditId);
        QLineEdit* numberEdit = Field(dialog, CPhonebookEntryDlg::kNumberEditId);
        ASSERT_NE(nameEdit, nullptr);
        ASSERT_NE(numberEdit, nullptr);
        EXPECT_EQ(nameEdit->text(), "Mario");
        EXPECT_EQ(numberEdit->text(), "+39347");
        nameEdit->setText(QStringLiteral("Mario Rossì"));
        numberEdit->setText(QStringLiteral("0612"));
        Button(dialog, QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(name, "Mario Rossì");
    EXPECT_EQ(number, "0612");
}

TEST(PhonebookEntryDlgTest, CancelKeepsTheTexts) {
    std::string name = "Anna";
    std::string number = "555";
    const int result = RunWith(name, number, [](QWidget* dialog) {
        Field(dialog, CPhonebookEntryDlg::kNameEditId)->setText(QStringLiteral("typed"));
        Button(dialog, QDialogButtonBox::Cancel)->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(name, "Anna");
    EXPECT_EQ(number, "555");
}

TEST(PhonebookEntryDlgTest, OkKeepsAtMostNineHundredNinetyNineCharacters) {
    std::string name;
    std::string number;
    RunWith(name, number, [](QWidget* dialog) {
        // Characters outside the basic plane take two UTF-16 units: none may be cut in half.
        Field(dialog, CPhonebookEntryDlg::kNameEditId)->setText(QString(1200, QChar('a')));
        QString pairs;
        for (int i = 0; i < 1200; ++i)
            pairs += QString::fromUtf8("\U0001F600");
        Field(dialog, CPhonebookEntryDlg::kNumberEditId)->setText(pairs);
        Button(dialog, QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(name, std::string(999, 'a'));
    EXPECT_EQ(QString::fromStdString(number).toUcs4().size(), 999);
    EXPECT_EQ(number.size(), 999u * 4);
}

} // namespace

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
