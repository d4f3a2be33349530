#pragma once
// The Write SMS tab on the command line: plain values by control id, filled from the options,
// so that the send reads them through ReadWriteSmsValues exactly as it reads the window's.
// Lists keep the order their items are added in. Main thread only.

#include "sms/send/IWriteSmsForm.h"

#include <map>
#include <string>
#include <vector>

class CliWriteSmsForm final : public IWriteSmsForm {
public:
    std::string ControlText(int id) override;
    void SetControlText(int id, std::string_view text) override;
    bool IsChecked(int id) override;
    void SetChecked(int id, bool checked) override;
    void EnableControl(int /*id*/, bool /*enable*/) override {}

    void ResetList(int id) override;
    void AddListItem(int id, std::string_view text) override;
    int ListSelection(int id) override;
    void SelectListItem(int id, int index) override;
    // The recipient is never completed on the command line.
    int FindListPrefix(int /*id*/, std::string_view /*prefix*/) override { return -1; }
    std::string ListItemText(int id, int index) override;
    void SetEditSelection(int /*id*/, int /*start*/, int /*end*/) override {}

private:
    struct List {
        std::vector<std::string> items;
        int selection = -1;
    };
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::map<int, List> lists;
};
