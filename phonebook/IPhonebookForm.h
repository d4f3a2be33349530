#pragma once
// What the phonebook operations need from the Phonebook Manager tab: the memory buttons, the
// phonebook list, the progress bar and the entry dialog. The application implements it with the
// real controls; tests implement it with plain fakes.
//
// Threads: the read worker calls it from its own thread; the window's implementation carries
// each call to the user-interface thread and returns once it is done. The operations never call
// it while holding the line store's lock. Everything else calls it on the user-interface thread.

#include <array>
#include <optional>
#include <string>

// Which of "SIM", "Phone" and "Dbase" counts as checked: Dbase when "Dbase" is checked, else
// Sim when "SIM" is checked, else Phone.
enum class PhonebookMemory { Sim, Phone, Dbase };

// Columns of a phonebook list row: position ("NEW" when added by hand), name, number, type.
inline constexpr int kPosColumn = 0;
inline constexpr int kNameColumn = 1;
inline constexpr int kNumberColumn = 2;
inline constexpr int kTypeColumn = 3;
inline constexpr int kPhonebookColumnCount = 4;

using PhonebookRow = std::array<std::string, kPhonebookColumnCount>;

class IPhonebookForm {
public:
    virtual ~IPhonebookForm() = default;

    virtual PhonebookMemory CheckedMemory() = 0;

    // The phonebook list (control 1071).
    virtual int RowCount() = 0;
    // Inserts the row at `position` (0 or more); a position past the last row appends it.
    virtual void InsertRow(int position, const PhonebookRow& row) = 0;
    // The row's texts, or nothing when there is no such row.
    virtual std::optional<PhonebookRow> Row(int index) = 0;
    virtual void SetItemText(int index, int column, const std::string& text) = 0;
    virtual void DeleteAllRows() = 0;
    // The first selected row, -1 when none is.
    virtual int FirstSelectedRow() = 0;

    // The progress bar (control 1109); values fit in 16 bits.
    virtual void SetProgressRange(int lower, int upper) = 0;
    virtual void SetProgressPos(int position) = 0;

    // Runs "Add/Edit Phonebook entry" modally on the two texts (each at most 999 characters);
    // true on OK, when the texts hold what the fields showed. On Cancel they stay as they were.
    virtual bool RunEntryDialog(std::string& name, std::string& number) = 0;

    // A note in the window's status bar (a start refused while another task holds the port).
    virtual void SetStatusText(const std::string& text) = 0;
};
