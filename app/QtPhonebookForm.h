#pragma once
// The Phonebook Manager tab's controls as the phonebook operations see them: the memory radio
// buttons, the list (1071), the progress bar (1109) and the entry dialog. Callable from any
// thread: a worker's call is carried to the user-interface thread and waits there, unless the
// window is closing, when it is dropped (nobody turns the event loop that would carry it).

#include "phonebook/IPhonebookForm.h"

#include <atomic>
#include <map>

class QProgressBar;
class QTreeWidget;
class QWidget;

class QtPhonebookForm final : public IPhonebookForm {
public:
    // closing: set by the window when it closes; dialogOwner: the entry dialog's parent.
    QtPhonebookForm(const std::map<int, QWidget*>& formControls, const std::atomic<bool>& closing,
                    QWidget* dialogOwner)
        : controls(formControls), windowClosing(closing), owner(dialogOwner) {}

    PhonebookMemory CheckedMemory() override;
    int RowCount() override;
    void InsertRow(int position, const PhonebookRow& row) override;
    std::optional<PhonebookRow> Row(int index) override;
    void SetItemText(int index, int column, const std::string& text) override;
    void DeleteAllRows() override;
    int FirstSelectedRow() override;
    void SetProgressRange(int lower, int upper) override;
    void SetProgressPos(int position) override;
    bool RunEntryDialog(std::string& name, std::string& number) override;
    void SetStatusText(const std::string& text) override;

private:
    // Runs fn on the user-interface thread; a worker's call during the close gets fallback.
    template <typename Fn, typename Result> Result OnGui(Fn fn, Result fallback);
    bool IsChecked(int id) const;
    QTreeWidget* List() const;
    QProgressBar* Progress() const;

    const std::map<int, QWidget*>& controls;
    const std::atomic<bool>& windowClosing;
    QWidget* owner;
};
