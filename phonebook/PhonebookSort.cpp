#include "phonebook/PhonebookSort.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<PhonebookRow> ReadRows(IPhonebookForm& form) {
    std::vector<PhonebookRow> rows;
    for (int i = 0; i < form.RowCount(); ++i)
        if (std::optional<PhonebookRow> row = form.Row(i))
            rows.push_back(std::move(*row));
    return rows;
}

void WriteRows(IPhonebookForm& form, const std::vector<PhonebookRow>& rows) {
    form.DeleteAllRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        form.InsertRow(static_cast<int>(i), rows[i]);
}

} // namespace

int CompareFunc(const PhonebookRow& /*first*/, const PhonebookRow& /*second*/) {
    return 0;
}

void OnPhonebookColumnClick(IPhonebookForm& form, IMessageSink& messages) {
    const std::vector<PhonebookRow> rows = ReadRows(form);
    std::vector<PhonebookRow> sorted = rows;
    std::ranges::stable_sort(
        sorted, [](const PhonebookRow& a, const PhonebookRow& b) { return CompareFunc(a, b) < 0; });
    if (sorted != rows)
        WriteRows(form, sorted);
    ShowOk(messages, "CIAO", kAppTitle);
}
