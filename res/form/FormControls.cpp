#include "res/form/FormControls.h"

#include <algorithm>

namespace {

using K = ControlKind;
constexpr bool kPort = true;
constexpr bool kFree = false;

constexpr FormControl kControls[] = {
    // Tab 0, "Read SMS"
    {1033, K::GroupBox, "Read SMS From", {14, 34, 68, 36}, 0, kPort},
    {1034, K::RadioButton, "SIM", {17, 47, 29, 8}, 0, kPort},
    {1035, K::RadioButton, "ME", {17, 58, 27, 8}, 0, kPort},
    {1036, K::PushButton, "Read SMS from phone", {89, 39, 82, 13}, 0, kPort},
    {1038, K::PushButton, "Copy SMS to database", {89, 58, 82, 13}, 0, kPort},
    {1042, K::PushButton, "Erase all SMS on phone", {89, 76, 82, 13}, 0, kPort},
    {1055, K::PushButton, "Read From File", {89, 95, 82, 13}, 0, kFree},
    {1041, K::GroupBox, "What to read ?", {14, 73, 69, 34}, 0, kPort},
    {1039, K::CheckBox, "SMS IN", {17, 84, 39, 10}, 0, kPort},
    {1040, K::CheckBox, "SMS Out", {17, 95, 45, 10}, 0, kPort},
    {1037, K::CheckBox, "Move (erase from phone)", {197, 100, 94, 11}, 0, kPort},
    {1052, K::CheckBox, "PDU doesn't Contains SCA (Dazozu Dided)", {301, 100, 99, 8}, 0, kPort},
    {1045, K::GroupBox, "Info", {179, 34, 246, 31}, 0, kPort},
    {1043, K::Label, "Inbox SMS (SM)", {184, 50, 57, 8}, 0, kFree},
    {1048, K::NumberEdit, "", {245, 47, 30, 12}, 0, kFree},
    {1046, K::Label, "Inbox SMS (ME)", {287, 50, 56, 8}, 0, kFree},
    {1051, K::NumberEdit, "", {353, 47, 30, 12}, 0, kFree},
    {1107, K::ProgressBar, "", {284, 69, 99, 12}, 0, kFree},
    {1032, K::ReportList, "", {14, 122, 403, 84}, 0, kFree},
    // Tab 1, "Write SMS"
    {1089, K::GroupBox, "Submit informations", {15, 27, 175, 86}, 1, kPort},
    {1060, K::Label, "Recipient", {22, 40, 31, 8}, 1, kFree},
    {1061, K::ComboBox, "", {76, 38, 110, 48}, 1, kPort},
    {1057, K::Label, "SMS Class", {21, 55, 35, 8}, 1, kFree},
    {1064, K::ComboBox, "", {76, 53, 110, 41}, 1, kPort},
    {1070, K::Label, "Service Centre Address:", {21, 70, 77, 8}, 1, kFree},
    {1053, K::Edit, "", {102, 68, 84, 12}, 1, kPort},
    {1068, K::PushButton, "Read SCA", {137, 85, 49, 10}, 1, kPort, true},
    {1069, K::CheckBox, "Request reply", {21, 86, 78, 8}, 1, kPort},
    {1097, K::Label, "SMS Text:", {15, 118, 70, 8}, 1, kFree},
    {1056, K::NumberEdit, "", {107, 116, 29, 12}, 1, kPort},
    {1054, K::Label, "characters left", {143, 118, 46, 8}, 1, kFree},
    {1065, K::MultiLineEdit, "", {15, 131, 174, 90}, 1, kPort},
    {1090, K::GroupBox, "Send Options", {197, 27, 150, 44}, 1, kPort},
    {1091, K::RadioButton, "Standard Submit", {205, 41, 76, 9}, 1, kPort},
    {1092, K::RadioButton, "Advanced submit", {205, 55, 74, 10}, 1, kPort},
    {1066, K::PushButton, "Send", {289, 40, 49, 10}, 1, kPort},
    {1067, K::PushButton, "Store", {289, 55, 49, 10}, 1, kPort},
    {1088, K::GroupBox, "Advanced submit", {197, 81, 151, 138}, 1, kPort},
    {1085, K::Label, "Protocol Identifier (PID):", {205, 95, 77, 8}, 1, kFree},
    {1084, K::ComboBox, "", {205, 106, 133, 52}, 1, kPort},
    {1058, K::CheckBox, "SMS Validity", {205, 121, 62, 8}, 1, kPort},
    {1093, K::RadioButton, "Absolute", {211, 135, 40, 8}, 1, kPort},
    {1094, K::RadioButton, "Relative", {211, 145, 43, 8}, 1, kPort},
    {1096, K::Edit, "", {261, 138, 49, 12}, 1, kPort},
    {1095, K::Spin, "", {316, 137, 11, 17}, 1, kFree},
    {1086, K::Label, "Data Coding Scheme (DCS):", {205, 159, 95, 8}, 1, kFree},
    {1087, K::ComboBox, "", {205, 169, 133, 62}, 1, kPort},
    {1059, K::Label, "Type ??", {205, 190, 36, 8}, 1, kFree},
    {1062, K::ComboBox, "", {205, 200, 133, 49}, 1, kPort},
    // Tab 2, "Phonebook Manager"
    {1071, K::ReportList, "", {7, 30, 342, 184}, 2, kFree},
    {1075, K::ImageButton, "Read", {356, 39, 28, 25}, 2, kFree},
    {1076, K::ImageButton, "Store", {390, 38, 28, 25}, 2, kFree},
    {1079, K::GroupBox, "Memory in use:", {356, 72, 60, 67}, 2, kPort},
    {1077, K::RadioButton, "SIM", {361, 88, 32, 8}, 2, kPort},
    {1078, K::RadioButton, "Phone", {361, 103, 36, 8}, 2, kPort},
    {1108, K::RadioButton, "Dbase", {361, 118, 37, 10}, 2, kFree},
    {1072, K::ImageButton, "Add", {356, 145, 28, 25}, 2, kFree},
    {1073, K::ImageButton, "Erase", {390, 145, 28, 25}, 2, kFree},
    {1074, K::ImageButton, "Change", {356, 175, 28, 25}, 2, kFree},
    {1109, K::ProgressBar, "", {390, 181, 34, 13}, 2, kFree},
};

} // namespace

std::span<const FormControl> FormControlTable() {
    return kControls;
}

const FormControl* FindFormControl(int id) {
    const auto* found = std::ranges::find(kControls, id, &FormControl::id);
    return found == std::end(kControls) ? nullptr : found;
}
