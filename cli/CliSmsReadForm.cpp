#include "cli/CliSmsReadForm.h"

bool CliSmsReadForm::NoScaChecked() {
    const std::lock_guard lock(mutex);
    return noScaChecked;
}

void CliSmsReadForm::SetNoScaChecked(bool checked) {
    const std::lock_guard lock(mutex);
    noScaChecked = checked;
}

std::string CliSmsReadForm::CountText(SmsMemory memory) {
    const std::lock_guard lock(mutex);
    return memory == SmsMemory::Sim ? smCount : meCount;
}

void CliSmsReadForm::SetCountText(SmsMemory memory, const std::string& text) {
    const std::lock_guard lock(mutex);
    (memory == SmsMemory::Sim ? smCount : meCount) = text;
}

void CliSmsReadForm::InsertSmsRows(int position, const std::vector<SmsRow>& rows) {
    const std::lock_guard lock(mutex);
    list.Insert(position, rows);
}

void CliSmsReadForm::DeleteAllSmsRows() {
    const std::lock_guard lock(mutex);
    list.Clear();
    stored.clear();
}

int CliSmsReadForm::SmsRowCount() {
    const std::lock_guard lock(mutex);
    return list.Count();
}

std::optional<SmsRow> CliSmsReadForm::GetSmsRow(int index) {
    const std::lock_guard lock(mutex);
    if (index < 0 || index >= list.Count())
        return std::nullopt;
    return list.Row(index);
}

void CliSmsReadForm::SetStatusText(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

std::vector<SmsRow> CliSmsReadForm::Rows() {
    const std::lock_guard lock(mutex);
    std::vector<SmsRow> rows;
    rows.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        rows.push_back(list.Row(i));
    return rows;
}

void CliSmsReadForm::MessageRead(const StoredSms& message) {
    const std::lock_guard lock(mutex);
    stored.push_back(message);
}

std::vector<StoredSms> CliSmsReadForm::StoredMessages() {
    const std::lock_guard lock(mutex);
    return stored;
}
