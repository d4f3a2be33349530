#pragma once
// The Write SMS tab's controls as the send operations see them: the real widgets of the form,
// looked up by their ids. User-interface thread only.

#include "sms/send/IWriteSmsForm.h"

#include <QString>
#include <map>

class QComboBox;
class QMainWindow;
class QWidget;

class QtWriteSmsForm final : public IWriteSmsForm {
public:
    explicit QtWriteSmsForm(const std::map<int, QWidget*>& formControls) : controls(formControls) {}

    std::string ControlText(int id) override;
    void SetControlText(int id, std::string_view text) override;
    bool IsChecked(int id) override;
    void SetChecked(int id, bool checked) override;
    void EnableControl(int id, bool enable) override;
    void ResetList(int id) override;
    void AddListItem(int id, std::string_view text) override;
    int ListSelection(int id) override;
    void SelectListItem(int id, int index) override;
    int FindListPrefix(int id, std::string_view prefix) override;
    std::string ListItemText(int id, int index) override;
    void SetEditSelection(int id, int start, int end) override;
    // Shown only while the tab's controls are: the coding line belongs to Write SMS.
    void ShowStatus(std::string_view text) override;
    // Takes the tab's last line out of the status bar, if it still shows there.
    void HideStatus();

    // True while SetChecked changes a button: the operations' own states, not the user's.
    bool SettingChecks() const { return settingChecks; }

private:
    QWidget* Control(int id) const;
    QComboBox* Combo(int id) const;
    QMainWindow* Frame() const;

    const std::map<int, QWidget*>& controls;
    bool settingChecks = false;
    QString shownStatus;
};
