#pragma once

#include "cli/ServeLog.h"
#include "sms/ISmsReadForm.h"

// The read form of a service: rows are archived, never kept for a list.
class ServeReadForm final : public ISmsReadForm {
public:
    bool MeChecked() override { return false; }
    bool MoveChecked() override { return false; }
    bool NoScaChecked() override { return false; }
    void SetNoScaChecked(bool /*checked*/) override {}
    SmsDirections CheckedDirections() override { return {}; }
    std::string CountText(SmsMemory /*memory*/) override { return {}; }
    void SetCountText(SmsMemory /*memory*/, const std::string& /*text*/) override {}
    void SetProgressRange(int /*lower*/, int /*upper*/) override {}
    void SetProgressPos(int /*position*/) override {}
    void EnableReadControls(int /*readBusy*/) override {}
    void InsertSmsRows(int /*position*/, const std::vector<SmsRow>& /*rows*/) override {}
    void DeleteAllSmsRows() override {}
    int SmsRowCount() override { return 0; }
    std::optional<SmsRow> GetSmsRow(int /*index*/) override { return std::nullopt; }
    void SetStatusText(const std::string& text) override { ServeLog(text); }
};
