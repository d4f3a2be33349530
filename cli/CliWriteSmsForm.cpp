#include "cli/CliWriteSmsForm.h"

std::string CliWriteSmsForm::ControlText(int id) {
    const auto found = texts.find(id);
    return found == texts.end() ? std::string() : found->second;
}

void CliWriteSmsForm::SetControlText(int id, std::string_view text) {
    texts[id] = std::string(text);
}

bool CliWriteSmsForm::IsChecked(int id) {
    const auto found = checks.find(id);
    return found != checks.end() && found->second;
}

void CliWriteSmsForm::SetChecked(int id, bool checked) {
    checks[id] = checked;
}

void CliWriteSmsForm::ResetList(int id) {
    lists[id] = {};
    texts.erase(id);
}

void CliWriteSmsForm::AddListItem(int id, std::string_view text) {
    lists[id].items.emplace_back(text);
}

int CliWriteSmsForm::ListSelection(int id) {
    const auto found = lists.find(id);
    return found == lists.end() ? -1 : found->second.selection;
}

void CliWriteSmsForm::SelectListItem(int id, int index) {
    List& list = lists[id];
    if (index < 0 || index >= std::ssize(list.items)) {
        list.selection = -1;
        return;
    }
    list.selection = index;
    texts[id] = list.items[static_cast<std::size_t>(index)];
}

std::string CliWriteSmsForm::ListItemText(int id, int index) {
    const auto found = lists.find(id);
    if (found == lists.end() || index < 0 || index >= std::ssize(found->second.items))
        return {};
    return found->second.items[static_cast<std::size_t>(index)];
}
