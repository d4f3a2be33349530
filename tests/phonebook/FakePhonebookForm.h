#pragma once
// The Phonebook Manager tab without a window: the list's rows in a vector, the memory choice,
// the progress bar's last values, and an entry dialog that answers from a queue. Thread-safe:
// the read worker calls it from its own thread while the test looks.

#include "phonebook/IPhonebookForm.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

// What the fake entry dialog does: edits the two texts, then OK (true) or Cancel (false).
using EntryDialogScript = std::function<bool(std::string& name, std::string& number)>;

class FakePhonebookForm final : public IPhonebookForm {
public:
    PhonebookMemory CheckedMemory() override {
        std::lock_guard lock(mutex);
        return memory;
    }
    int RowCount() override {
        std::lock_guard lock(mutex);
        return static_cast<int>(rows.size());
    }
    void InsertRow(int position, const PhonebookRow& row) override {
        std::lock_guard lock(mutex);
        const auto at = std::min<std::size_t>(static_cast<std::size_t>(position), rows.size());
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), row);
        ++inserts;
        if (afterInsert)
            afterInsert(static_cast<int>(rows.size()));
    }
    std::optional<PhonebookRow> Row(int index) override {
        std::lock_guard lock(mutex);
        if (index < 0 || static_cast<std::size_t>(index) >= rows.size())
            return std::nullopt;
        return rows[static_cast<std::size_t>(index)];
    }
    void SetItemText(int index, int column, const std::string& text) override {
        std::lock_guard lock(mutex);
        rows.at(static_cast<std::size_t>(index)).at(static_cast<std::size_t>(column)) = text;
    }
    void DeleteAllRows() override {
        std::lock_guard lock(mutex);
        rows.clear();
    }
    int FirstSelectedRow() override {
        std::lock_guard lock(mutex);
        return selected;
    }
    void SetProgressRange(int lower, int upper) override {
        std::lock_guard lock(mutex);
        progressRange = {lower, upper};
    }
    void SetProgressPos(int position) override {
        std::lock_guard lock(mutex);
        progressPositions.push_back(position);
    }
    bool RunEntryDialog(std::string& name, std::string& number) override {
        EntryDialogScript script;
        {
            std::lock_guard lock(mutex);
            ++dialogRuns;
            if (dialogScripts.empty())
                return false;
            script = std::move(dialogScripts.front());
            dialogScripts.pop_front();
        }
        return script(name, number);
    }

    void SetStatusText(const std::string& text) override {
        std::lock_guard lock(mutex);
        statusTexts.push_back(text);
    }
    std::vector<std::string> StatusTexts() const {
        std::lock_guard lock(mutex);
        return statusTexts;
    }

    void SetMemory(PhonebookMemory checked) {
        std::lock_guard lock(mutex);
        memory = checked;
    }
    void Select(int row) {
        std::lock_guard lock(mutex);
        selected = row;
    }
    void QueueDialog(EntryDialogScript script) {
        std::lock_guard lock(mutex);
        dialogScripts.push_back(std::move(script));
    }
    std::vector<PhonebookRow> Rows() const {
        std::lock_guard lock(mutex);
        return rows;
    }
    std::vector<int> ProgressPositions() const {
        std::lock_guard lock(mutex);
        return progressPositions;
    }
    std::pair<int, int> ProgressRange() const {
        std::lock_guard lock(mutex);
        return progressRange;
    }
    int DialogRuns() const {
        std::lock_guard lock(mutex);
        return dialogRuns;
    }
    int Inserts() const {
        std::lock_guard lock(mutex);
        return inserts;
    }
    // Called (with the list's new size, the form's lock held) after every inserted row.
    void OnInsert(std::function<void(int)> hook) {
        std::lock_guard lock(mutex);
        afterInsert = std::move(hook);
    }

private:
    mutable std::mutex mutex;
    PhonebookMemory memory = PhonebookMemory::Dbase;
    std::vector<PhonebookRow> rows;
    int selected = -1;
    std::pair<int, int> progressRange{0, 0};
    std::vector<int> progressPositions;
    std::deque<EntryDialogScript> dialogScripts;
    int dialogRuns = 0;
    int inserts = 0;
    std::function<void(int)> afterInsert;
    std::vector<std::string> statusTexts;
};
