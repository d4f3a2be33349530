#pragma once
// The Phonebook Manager tab on the command line: the memory comes from the options, and the list
// is not kept - the command prints the entries the read gives back. Nothing is ever selected and
// the entry dialog is never shown (the command line neither adds nor changes entries).

#include "phonebook/IPhonebookForm.h"

class CliPhonebookForm final : public IPhonebookForm {
public:
    explicit CliPhonebookForm(PhonebookMemory memory) : checked(memory) {}

    PhonebookMemory CheckedMemory() override { return checked; }

    int RowCount() override { return 0; }
    void InsertRow(int /*position*/, const PhonebookRow& /*row*/) override {}
    std::optional<PhonebookRow> Row(int /*index*/) override { return std::nullopt; }
    void SetItemText(int /*index*/, int /*column*/, const std::string& /*text*/) override {}
    void DeleteAllRows() override {}
    // Status-bar notes go to standard error, as the SMS form's do.
    void SetStatusText(const std::string& text) override;
    int FirstSelectedRow() override { return -1; }

    void SetProgressRange(int /*lower*/, int /*upper*/) override {}
    void SetProgressPos(int /*position*/) override {}

    bool RunEntryDialog(std::string& /*name*/, std::string& /*number*/) override { return false; }

private:
    const PhonebookMemory checked;
};
