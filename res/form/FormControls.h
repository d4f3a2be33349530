#pragma once
// The form's control table: every control of the three tabs with its id, kind, label, position
// in dialog units, tab and whether it needs the open serial port. The form is built from this
// table, and the visibility and enabling rules read the same table.

#include <span>
#include <string_view>

enum class ControlKind {
    GroupBox,
    RadioButton,
    CheckBox,
    PushButton,
    ImageButton, // shows a 32 x 32 picture instead of its label
    Label,
    Edit,
    NumberEdit, // read-only numeric edit
    MultiLineEdit,
    ComboBox, // drop-down with edit field, sorted
    Spin,
    ProgressBar, // smooth
    ReportList,
};

// Position and size in dialog units of the form's font.
struct DluRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct FormControl {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    std::string_view label;
    DluRect rect;
    int tab = 0;
    bool needsPort = false;
    bool startsDisabled = false; // disabled in the template until the port rule enables it
};

inline constexpr int kTabControlId = 1029;
inline constexpr DluRect kTabControlRect{7, 13, 419, 215};
inline constexpr DluRect kFormRect{0, 0, 433, 235};
inline constexpr int kTabCount = 3;
inline constexpr std::string_view kTabNames[kTabCount] = {"Read SMS", "Write SMS",
                                                          "Phonebook Manager"};

// Ids of controls that code elsewhere reads or sets by name.
inline constexpr int kSmsListId = 1032;
inline constexpr int kReadSimRadioId = 1034;
inline constexpr int kPhonebookListId = 1071;
inline constexpr int kDbaseRadioId = 1108;

// Read SMS tab.
inline constexpr int kReadMeRadioId = 1035;
inline constexpr int kReadSmsButtonId = 1036;
inline constexpr int kMoveCheckId = 1037;
inline constexpr int kCopySmsButtonId = 1038;
inline constexpr int kSmsInCheckId = 1039;
inline constexpr int kSmsOutCheckId = 1040;
inline constexpr int kEraseAllSmsButtonId = 1042;
inline constexpr int kSimCountEditId = 1048;
inline constexpr int kPhoneCountEditId = 1051;
inline constexpr int kNoScaCheckId = 1052;
inline constexpr int kReadFromFileButtonId = 1055;
inline constexpr int kSmsProgressBarId = 1107;

// Phonebook Manager tab.
inline constexpr int kAddEntryButtonId = 1072;
inline constexpr int kEraseEntryButtonId = 1073;
inline constexpr int kChangeEntryButtonId = 1074;
inline constexpr int kReadNamesButtonId = 1075;
inline constexpr int kStoreNamesButtonId = 1076;
inline constexpr int kPhonebookSimRadioId = 1077;
inline constexpr int kPhonebookProgressBarId = 1109;

// The twelve Read SMS controls that a running read disables.
inline constexpr int kReadControlIds[] = {1036, 1055, 1037, 1042, 1038, 1035,
                                          1034, 1052, 1051, 1048, 1040, 1039};

std::span<const FormControl> FormControlTable();

// The table's row for an id, or nullptr when the form has no such control.
const FormControl* FindFormControl(int id);
