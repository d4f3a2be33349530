#pragma once
// The Read SMS tab of a command that prints its rows as they come: the rows inserted are handed
// on at once and never kept; everything else is the wrapped form's.

#include "sms/ISmsReadForm.h"

#include <functional>
#include <utility>

class StreamingSmsForm final : public ISmsReadForm {
public:
    StreamingSmsForm(ISmsReadForm& wrapped, std::function<void(const SmsRow&)> each)
        : form(wrapped), onRow(std::move(each)) {}

    bool MeChecked() override { return form.MeChecked(); }
    bool MoveChecked() override { return form.MoveChecked(); }
    bool NoScaChecked() override { return form.NoScaChecked(); }
    void SetNoScaChecked(bool checked) override { form.SetNoScaChecked(checked); }
    SmsDirections CheckedDirections() override { return form.CheckedDirections(); }
    std::string CountText(SmsMemory memory) override { return form.CountText(memory); }
    void SetCountText(SmsMemory memory, const std::string& text) override {
        form.SetCountText(memory, text);
    }
    void SetProgressRange(int lower, int upper) override { form.SetProgressRange(lower, upper); }
    void SetProgressPos(int position) override { form.SetProgressPos(position); }
    void EnableReadControls(int readBusy) override { form.EnableReadControls(readBusy); }

    // The rows come in the order they are to be listed: the position is not needed.
    void InsertSmsRows(int /*position*/, const std::vector<SmsRow>& rows) override {
        for (const SmsRow& row : rows)
            onRow(row);
        count += static_cast<int>(rows.size());
    }
    void DeleteAllSmsRows() override { count = 0; }
    int SmsRowCount() override { return count; }
    // Rows handed on are no longer here.
    std::optional<SmsRow> GetSmsRow(int /*index*/) override { return std::nullopt; }
    void SetStatusText(const std::string& text) override { form.SetStatusText(text); }

private:
    ISmsReadForm& form;
    std::function<void(const SmsRow&)> onRow;
    int count = 0;
};
