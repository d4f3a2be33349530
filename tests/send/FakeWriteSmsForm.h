#pragma once
// The Write SMS tab without widgets, built from the form's control table so that an id the
// operations use must be a control of the tab of the right kind. It behaves as the window's
// controls do: sorted combo lists whose emptying clears the edit field, radio buttons that only
// a click unchecks in their group, port controls disabled until the port opens, and the change
// notifications of the recipient and the text reaching the handlers wired to them.

#include "res/form/FormControls.h"
#include "sms/send/IWriteSmsForm.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

class FakeWriteSmsForm final : public IWriteSmsForm {
public:
    FakeWriteSmsForm() {
        for (const FormControl& control : FormControlTable()) {
            if (control.tab != 1)
                continue;
            Control& state = controls[control.id];
            state.kind = control.kind;
            state.enabled = !control.needsPort && !control.startsDisabled;
        }
    }

    // The window's wiring: edit changes of the recipient and changes of the message text.
    std::function<void()> onRecipientEdit;
    std::function<void()> onTextChange;

    // What opening and closing the session do to the tab's controls.
    void EnablePortControls(bool enable) {
        for (const FormControl& control : FormControlTable())
            if (control.tab == 1 && control.needsPort)
                controls[control.id].enabled = enable;
    }

    // The user types: the text changes and the notifications follow.
    void Type(int id, const std::string& text) { SetControlText(id, text); }

    // The user clicks a radio button: it is checked and the others of its group unchecked.
    void Click(int id) {
        for (const auto& group : {std::vector{kStandardSubmitRadioId, kAdvancedSubmitRadioId},
                                  std::vector{kAbsoluteRadioId, kRelativeRadioId}}) {
            if (std::find(group.begin(), group.end(), id) == group.end())
                continue;
            for (int other : group)
                Of(other, {ControlKind::RadioButton}).checked = other == id;
            return;
        }
        ADD_FAILURE() << id << " is not a radio button of a group";
    }

    bool IsEnabled(int id) { return Of(id, {}).enabled; }
    std::vector<std::string> Items(int id) { return Of(id, {ControlKind::ComboBox}).items; }
    std::pair<int, int> EditSelection(int id) { return Of(id, {ControlKind::ComboBox}).selection; }

    std::string ControlText(int id) override { return Of(id, kTextKinds).text; }

    void SetControlText(int id, std::string_view text) override {
        Control& control = Of(id, kTextKinds);
        const bool changed = control.text != text;
        control.text = std::string(text);
        control.selection = {0, 0};
        if (changed)
            Notify(id);
    }

    bool IsChecked(int id) override { return Of(id, kCheckKinds).checked; }
    void SetChecked(int id, bool checked) override { Of(id, kCheckKinds).checked = checked; }
    void EnableControl(int id, bool enable) override { Of(id, {}).enabled = enable; }

    void ResetList(int id) override {
        Control& combo = Of(id, {ControlKind::ComboBox});
        combo.items.clear();
        combo.current = -1;
        SetControlText(id, "");
    }

    void AddListItem(int id, std::string_view text) override {
        auto& items = Of(id, {ControlKind::ComboBox}).items;
        const auto at = std::upper_bound(items.begin(), items.end(), std::string(text), LessNoCase);
        items.insert(at, std::string(text));
    }

    int ListSelection(int id) override { return Of(id, {ControlKind::ComboBox}).current; }

    void SelectListItem(int id, int index) override {
        Control& combo = Of(id, {ControlKind::ComboBox});
        if (index < 0 || index >= static_cast<int>(combo.items.size())) {
            combo.current = -1;
            return;
        }
        combo.current = index;
        SetControlText(id, combo.items[static_cast<std::size_t>(index)]);
    }

    int FindListPrefix(int id, std::string_view prefix) override {
        const auto& items = Of(id, {ControlKind::ComboBox}).items;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].size() >= prefix.size() &&
                std::equal(prefix.begin(), prefix.end(), items[i].begin(), SameNoCase))
                return static_cast<int>(i);
        return -1;
    }

    std::string ListItemText(int id, int index) override {
        return Of(id, {ControlKind::ComboBox}).items.at(static_cast<std::size_t>(index));
    }

    void SetEditSelection(int id, int start, int end) override {
        Of(id, {ControlKind::ComboBox}).selection = {start, end};
    }

    void ShowStatus(std::string_view text) override { status = std::string(text); }
    // The last status-bar line.
    std::string status;

private:
    struct Control {
        ControlKind kind = ControlKind::Label;
        bool enabled = true;
        std::string text;
        bool checked = false;
        std::vector<std::string> items;
        int current = -1;
        std::pair<int, int> selection{0, 0};
    };

    inline static const std::vector<ControlKind> kTextKinds = {
        ControlKind::Edit, ControlKind::NumberEdit, ControlKind::MultiLineEdit,
        ControlKind::ComboBox};
    inline static const std::vector<ControlKind> kCheckKinds = {ControlKind::CheckBox,
                                                                ControlKind::RadioButton};

    // The control with that id, which must be of one of the kinds (any kind when none given).
    Control& Of(int id, const std::vector<ControlKind>& kinds) {
        const auto found = controls.find(id);
        if (found == controls.end()) {
            ADD_FAILURE() << id << " is no control of the Write SMS tab";
            return controls[id];
        }
        if (!kinds.empty() &&
            std::find(kinds.begin(), kinds.end(), found->second.kind) == kinds.end())
            ADD_FAILURE() << "control " << id << " is not of the kind this call needs";
        return found->second;
    }

    void Notify(int id) {
        if (id == kRecipientComboId && onRecipientEdit)
            onRecipientEdit();
        if (id == kSmsTextEditId && onTextChange)
            onTextChange();
    }

    static bool SameNoCase(char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    }
    static bool LessNoCase(const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) {
                                                return std::tolower(static_cast<unsigned char>(x)) <
                                                       std::tolower(static_cast<unsigned char>(y));
                                            });
    }

    std::map<int, Control> controls;
};
