#pragma once
// A Read SMS tab made of plain values: the radios, boxes and edits the test sets, the rows the
// operations insert (in a real SmsList), and a record of the enabling and progress calls.
// Thread-safe: the read worker calls it from its own thread.

#include "sms/ISmsReadForm.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

class FakeSmsReadForm final : public ISmsReadForm {
public:
    bool MeChecked() override { return Get(meChecked); }
    bool MoveChecked() override { return Get(moveChecked); }
    bool NoScaChecked() override { return Get(noScaChecked); }
    void SetNoScaChecked(bool checked) override { Set(noScaChecked, checked); }
    SmsDirections CheckedDirections() override { return {Get(inChecked), Get(outChecked)}; }

    std::string CountText(SmsMemory memory) override {
        std::lock_guard lock(mutex);
        return memory == SmsMemory::Sim ? smCount : meCount;
    }
    void SetCountText(SmsMemory memory, const std::string& text) override {
        std::lock_guard lock(mutex);
        (memory == SmsMemory::Sim ? smCount : meCount) = text;
    }

    void SetProgressRange(int lower, int upper) override {
        Record("range " + std::to_string(lower) + " " + std::to_string(upper));
    }
    void SetProgressPos(int position) override { Record("pos " + std::to_string(position)); }
    void EnableReadControls(int readBusy) override { Record("enable " + std::to_string(readBusy)); }

    void InsertSmsRows(int position, const std::vector<SmsRow>& rows) override {
        std::lock_guard lock(mutex);
        list.Insert(position, rows);
    }
    void DeleteAllSmsRows() override {
        std::lock_guard lock(mutex);
        list.Clear();
    }
    int SmsRowCount() override {
        std::lock_guard lock(mutex);
        return list.Count();
    }
    std::optional<SmsRow> GetSmsRow(int index) override {
        std::lock_guard lock(mutex);
        if (index < 0 || index >= list.Count())
            return std::nullopt;
        return list.Row(index);
    }
    void SetStatusText(const std::string& text) override { Record("status " + text); }

    // Every row, top first.
    std::vector<SmsRow> Rows() {
        std::lock_guard lock(mutex);
        std::vector<SmsRow> rows;
        for (int i = 0; i < list.Count(); ++i)
            rows.push_back(list.Row(i));
        return rows;
    }
    // Column `column` of every row, top first.
    std::vector<std::string> Column(int column) {
        const std::vector<SmsRow> rows = Rows();
        std::vector<std::string> texts(rows.size());
        std::transform(rows.begin(), rows.end(), texts.begin(), [column](const SmsRow& row) {
            return row[static_cast<std::size_t>(column)];
        });
        return texts;
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex);
        return calls;
    }

    bool meChecked = false;
    bool moveChecked = false;
    bool noScaChecked = false;
    bool inChecked = false;
    bool outChecked = false;
    std::string smCount;
    std::string meCount;
    SmsList list;

private:
    bool Get(const bool& value) {
        std::lock_guard lock(mutex);
        return value;
    }
    void Set(bool& target, bool value) {
        std::lock_guard lock(mutex);
        target = value;
    }
    void Record(std::string call) {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
    }

    std::mutex mutex;
    std::vector<std::string> calls;
};
