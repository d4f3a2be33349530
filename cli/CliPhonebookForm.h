#pragma once
// The Phonebook Manager tab on the command line: the memory comes from the options, the list is
// a plain vector the command prints at its end, nothing is ever selected and the entry dialog is
// never shown (the command line neither adds nor changes entries). The read worker calls it
// from its own thread while the main thread waits, so the list is guarded.

#include "phonebook/IPhonebookForm.h"

#include <mutex>
#include <vector>

class CliPhonebookForm final : public IPhonebookForm {
public:
    explicit CliPhonebookForm(PhonebookMemory memory) : checked(memory) {}

    PhonebookMemory CheckedMemory() override { return checked; }

    int RowCount() override;
    void InsertRow(int position, const PhonebookRow& row) override;
    std::optional<PhonebookRow> Row(int index) override;
    void SetItemText(int index, int column, const std::string& text) override;
    void DeleteAllRows() override;
    // Status-bar notes go to standard error, as the SMS form's do.
    void SetStatusText(const std::string& text) override;
    int FirstSelectedRow() override { return -1; }

    void SetProgressRange(int /*lower*/, int /*upper*/) override {}
    void SetProgressPos(int /*position*/) override {}

    bool RunEntryDialog(std::string& /*name*/, std::string& /*number*/) override { return false; }

    // Every row, top first.
    std::vector<PhonebookRow> Rows();

private:
    const PhonebookMemory checked;
    std::mutex mutex;
    std::vector<PhonebookRow> rows;
};
