#include "cli/CliPhonebookForm.h"

#include <algorithm>
#include <cstdio>

int CliPhonebookForm::RowCount() {
    const std::lock_guard lock(mutex);
    return static_cast<int>(rows.size());
}

void CliPhonebookForm::InsertRow(int position, const PhonebookRow& row) {
    const std::lock_guard lock(mutex);
    const auto at = std::clamp<std::ptrdiff_t>(position, 0, std::ssize(rows));
    rows.insert(rows.begin() + at, row);
}

std::optional<PhonebookRow> CliPhonebookForm::Row(int index) {
    const std::lock_guard lock(mutex);
    if (index < 0 || index >= std::ssize(rows))
        return std::nullopt;
    return rows[static_cast<std::size_t>(index)];
}

void CliPhonebookForm::SetItemText(int index, int column, const std::string& text) {
    const std::lock_guard lock(mutex);
    if (index < 0 || index >= std::ssize(rows) || column < 0 || column >= kPhonebookColumnCount)
        return;
    rows[static_cast<std::size_t>(index)][static_cast<std::size_t>(column)] = text;
}

void CliPhonebookForm::DeleteAllRows() {
    const std::lock_guard lock(mutex);
    rows.clear();
}

std::vector<PhonebookRow> CliPhonebookForm::Rows() {
    const std::lock_guard lock(mutex);
    return rows;
}

void CliPhonebookForm::SetStatusText(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}
