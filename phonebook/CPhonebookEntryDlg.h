#pragma once
// "Add/Edit Phonebook entry": a name and a number, edited in place. Built on the caller's two
// texts: the fields show them on opening; OK writes the fields back (each cut to 999
// characters) and Cancel leaves them as they were. Run it with exec() on the user-interface
// thread.

#include <QDialog>
#include <string>

class QLineEdit;

class CPhonebookEntryDlg final : public QDialog {
    Q_OBJECT
public:
    CPhonebookEntryDlg(std::string& name, std::string& number, QWidget* parent = nullptr);

    // Control ids of the two fields, also their object names ("1053", "1100").
    static constexpr int kNameEditId = 1053;
    static constexpr int kNumberEditId = 1100;

    void accept() override;

private:
    std::string& name;
    std::string& number;
    QLineEdit* nameEdit = nullptr;
    QLineEdit* numberEdit = nullptr;
};
