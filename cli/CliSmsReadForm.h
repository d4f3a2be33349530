#pragma once
// The Read SMS tab on the command line: the memory and "Move" choices come from the options, the
// count edits and the SMS list are plain values the command prints at its end, status notes go
// to standard error and the progress bar is not shown. The read worker calls it from its own
// thread while the main thread waits, so every member is guarded.

#include "sms/ISmsReadForm.h"
#include "sms/StoredSms.h"

#include <cstdio>
#include <mutex>

class CliSmsReadForm final : public ISmsReadForm {
public:
    CliSmsReadForm(bool phoneMemory, bool move) : meChecked(phoneMemory), moveChecked(move) {}

    bool MeChecked() override { return meChecked; }
    bool MoveChecked() override { return moveChecked; }
    bool NoScaChecked() override;
    void SetNoScaChecked(bool checked) override;
    SmsDirections CheckedDirections() override { return {}; } // the command line lists both

    std::string CountText(SmsMemory memory) override;
    void SetCountText(SmsMemory memory, const std::string& text) override;

    void SetProgressRange(int /*lower*/, int /*upper*/) override {}
    void SetProgressPos(int /*position*/) override {}
    void EnableReadControls(int /*readBusy*/) override {}

    void InsertSmsRows(int position, const std::vector<SmsRow>& rows) override;
    void DeleteAllSmsRows() override;
    int SmsRowCount() override;
    std::optional<SmsRow> GetSmsRow(int index) override;

    void SetStatusText(const std::string& text) override;
    void MessageRead(const StoredSms& stored) override;

    // The list, top first, as the window would show it.
    std::vector<SmsRow> Rows();
    // The messages as the phone gave them, in the order read (for the machine formats).
    std::vector<StoredSms> StoredMessages();

private:
    const bool meChecked;
    const bool moveChecked;
    std::mutex mutex;
    bool noScaChecked = false;
    std::string smCount;
    std::string meCount;
    SmsList list;
    std::vector<StoredSms> stored;
};
