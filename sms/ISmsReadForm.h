#pragma once
// What the message operations need from the Read SMS tab: the memory radios, the option and
// direction check boxes, the count edits, the progress bar, the SMS list's rows, the enabling of
// the read controls and the status bar text. The application implements it with the real controls;
// tests implement it with plain fakes.
//
// Threads: the read worker calls it from its own thread; the window's implementation carries
// each call to the user-interface thread and returns once it is done. The operations never call
// it while holding the line store's lock.

#include "sms/SmsList.h"

#include <optional>
#include <string>
#include <vector>

struct StoredSms;

// The two message memories of the phone (3GPP TS 27.005 <mem1>).
enum class SmsMemory { Sim, Phone };

// The directions a read lists: received messages ("SMS IN", 1039) and stored outgoing ones
// ("SMS Out", 1040). Neither checked lists both, as both checked does.
struct SmsDirections {
    bool in = false;
    bool out = false;

    bool Lists(bool received) const { return in == out || (received ? in : out); }
};

class ISmsReadForm {
public:
    virtual ~ISmsReadForm() = default;

    // "ME" radio (1035) checked; otherwise the "SIM" radio (1034) counts as the choice.
    virtual bool MeChecked() = 0;
    // "Move (erase from phone)" (1037).
    virtual bool MoveChecked() = 0;
    // "PDU doesn't Contains SCA (Dazozu Dided)" (1052); the row builder checks it itself.
    virtual bool NoScaChecked() = 0;
    virtual void SetNoScaChecked(bool checked) = 0;
    // "SMS IN" (1039) and "SMS Out" (1040); the row builder reads them once a call.
    virtual SmsDirections CheckedDirections() = 0;

    // The count edits: "Inbox SMS (SM)" (1048) and "Inbox SMS (ME)" (1051), as text.
    virtual std::string CountText(SmsMemory memory) = 0;
    virtual void SetCountText(SmsMemory memory, const std::string& text) = 0;

    // The progress bar (1107).
    virtual void SetProgressRange(int lower, int upper) = 0;
    virtual void SetProgressPos(int position) = 0;

    // Enables (0) or disables (non-zero) the twelve read controls.
    virtual void EnableReadControls(int readBusy) = 0;

    // The SMS list (1032). InsertSmsRows puts the rows, in their order, at `position` (0 or
    // more; past the last row appends them).
    virtual void InsertSmsRows(int position, const std::vector<SmsRow>& rows) = 0;
    virtual void DeleteAllSmsRows() = 0;
    virtual int SmsRowCount() = 0;
    // The row's texts, or nothing when there is no such row.
    virtual std::optional<SmsRow> GetSmsRow(int index) = 0;

    // A one-line note in the status bar.
    virtual void SetStatusText(const std::string& text) = 0;

    // The message the read walk found at a storage position, as the phone gave it, before its
    // rows are built: for a front end that prints positions and PDUs. The window needs none.
    virtual void MessageRead(const StoredSms& /*stored*/) {}
};
