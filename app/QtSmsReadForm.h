#pragma once
// The Read SMS tab's controls as the message operations see them: the memory radios, the
// option and direction check boxes, the count edits, the progress bar (1107), the SMS list's model
// and the status bar. Callable from any thread: a worker's call is carried to the user-interface
// thread and waits there, unless the window is closing, when it is dropped (nobody turns the event
// loop that would carry it).

#include "sms/ISmsReadForm.h"

#include <atomic>
#include <map>

class QWidget;
class SmsListModel;

class QtSmsReadForm final : public ISmsReadForm {
public:
    // closing: set by the window when it closes; formOwner: the form, whose window has the status
    // bar; rows: the SMS list.
    QtSmsReadForm(const std::map<int, QWidget*>& formControls, const std::atomic<bool>& closing,
                  QWidget* formOwner, SmsListModel& rows)
        : controls(formControls), windowClosing(closing), owner(formOwner), model(rows) {}

    bool MeChecked() override;
    bool MoveChecked() override;
    bool NoScaChecked() override;
    void SetNoScaChecked(bool checked) override;
    SmsDirections CheckedDirections() override;
    std::string CountText(SmsMemory memory) override;
    void SetCountText(SmsMemory memory, const std::string& text) override;
    void SetProgressRange(int lower, int upper) override;
    void SetProgressPos(int position) override;
    void EnableReadControls(int readBusy) override;
    void InsertSmsRows(int position, const std::vector<SmsRow>& rows) override;
    void DeleteAllSmsRows() override;
    int SmsRowCount() override;
    std::optional<SmsRow> GetSmsRow(int index) override;
    void SetStatusText(const std::string& text) override;

private:
    // Runs fn on the user-interface thread; a worker's call during the close gets fallback.
    template <typename Fn, typename Result> Result OnGui(Fn fn, Result fallback);
    bool IsChecked(int id);
    QWidget* Control(int id) const;

    const std::map<int, QWidget*>& controls;
    const std::atomic<bool>& windowClosing;
    QWidget* owner;
    SmsListModel& model;
};
