#pragma once
// What the operations of the Write SMS tab need from its controls. The window implements it with
// its real widgets, tests with a fake; controls are named by their form ids (below). Texts are
// UTF-8; positions and lengths are in characters (code points), not bytes.
//
// User-interface thread only: the send's exchange with the phone reads nothing from the form (it
// works on the values read beforehand, WriteSmsValues.h).

#include <string>
#include <string_view>

// Controls of the Write SMS tab.
inline constexpr int kRecipientComboId = 1061;
inline constexpr int kClassComboId = 1064;
inline constexpr int kClassLabelId = 1057;
inline constexpr int kScaEditId = 1053;
inline constexpr int kRequestReplyCheckId = 1069;
inline constexpr int kSmsTextEditId = 1065;
inline constexpr int kCharsLeftEditId = 1056;
inline constexpr int kTypeComboId = 1062;
inline constexpr int kTypeLabelId = 1059;
inline constexpr int kPidComboId = 1084;
inline constexpr int kPidLabelId = 1085;
inline constexpr int kDcsComboId = 1087;
inline constexpr int kDcsLabelId = 1086;
inline constexpr int kValidityCheckId = 1058;
inline constexpr int kAbsoluteRadioId = 1093;
inline constexpr int kRelativeRadioId = 1094;
inline constexpr int kValidityEditId = 1096;
inline constexpr int kValiditySpinId = 1095;
inline constexpr int kStandardSubmitRadioId = 1091;
inline constexpr int kAdvancedSubmitRadioId = 1092;
inline constexpr int kSendButtonId = 1066;
inline constexpr int kStoreSmsButtonId = 1067;

class IWriteSmsForm {
public:
    virtual ~IWriteSmsForm() = default;

    // The text of an edit, or of a combo box's edit field.
    virtual std::string ControlText(int id) = 0;
    // Replaces that text. The change notifications it causes reach the handlers as usual.
    virtual void SetControlText(int id, std::string_view text) = 0;

    // Check boxes and radio buttons. Setting one radio button does not change the others of its
    // group; only the user's click does.
    virtual bool IsChecked(int id) = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    virtual void EnableControl(int id, bool enable) = 0;

    // Combo box lists, kept sorted as the control's style says: items land in sorted order.
    // Emptying a list empties its edit field too.
    virtual void ResetList(int id) = 0;
    virtual void AddListItem(int id, std::string_view text) = 0;
    // The selected list position, or -1.
    virtual int ListSelection(int id) = 0;
    // Selects a position and shows its text in the edit field; a position outside the list
    // leaves no selection.
    virtual void SelectListItem(int id, int index) = 0;
    // The first item, from the top, that begins with prefix (case not regarded), or -1.
    virtual int FindListPrefix(int id, std::string_view prefix) = 0;
    virtual std::string ListItemText(int id, int index) = 0;

    // Selects characters start to end of a combo box's edit field (end excluded).
    virtual void SetEditSelection(int id, int start, int end) = 0;

    // A line in the window's status bar (how the message will go). A form without one ignores it.
    virtual void ShowStatus(std::string_view text) { (void)text; }
};
