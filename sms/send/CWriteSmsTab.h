#pragma once
// The work of the Write SMS tab: filling it when it is selected, the enabling rules of the
// standard and advanced forms, the characters left, the completion of the recipient from the
// phonebook, and the Send button. The window forwards its controls' notifications here and
// implements IWriteSmsForm; everything here runs on the user-interface thread, except the
// exchange of a send, which CSendSmsWorker runs on its own thread.

#include "core/MessageSink.h"
#include "sms/send/CSendSmsWorker.h"
#include "sms/send/IWriteSmsForm.h"

#include <atomic>
#include <optional>

class CDaoDatabase;
class ISettings;

class CWriteSmsTab {
public:
    // portOpen: the session's flag; the enabling rules act only while the port is open.
    CWriteSmsTab(IWriteSmsForm& writeForm, IMessageSink& messageSink, ISettings& settingsStore,
                 CDaoDatabase& db, const std::atomic<int>& portOpenFlag)
        : form(writeForm), sink(messageSink), settings(settingsStore), database(db),
          portOpen(portOpenFlag) {}

    // Every selection of the tab: empties the recipient list, shows the characters left, puts
    // the standard defaults, then InitWriteTab; the recipient's completion rests meanwhile.
    void ActivateWriteTab();
    // Fills the recipient, class, PID and DCS lists from the database and brings back the
    // values the last send saved. A table that cannot be opened is told and its list stays
    // empty (a missing dbPID leaves the DCS list unfilled too).
    void InitWriteTab();
    void SetStandardDefaults();
    // Enables the advanced form's controls or the class list. Only while the port is open.
    void EnableAdvancedControls(bool advanced);
    // Handler of "SMS Validity"; the validity format and value are usable only with it checked
    // in the advanced form.
    void UpdateValidityControls();
    // Handlers of the two submit radio buttons.
    void OnStandardSubmit();
    void OnAdvancedSubmit();
    // Handler of every change of the message text: keeps it within 160 septets (160 characters
    // for a text that goes as Unicode), shows how many are left and how the message will go.
    void OnTextChange();
    // Tells in the status bar how the message will go ("Unicode, 2 messages"); also the handler
    // of every change of the DCS.
    void ShowSendPlan();
    // Handler of every edit change of the recipient combo box.
    void OnRecipientEditChange();
    // Proposes the first list item that begins with the typed text, selecting the proposed rest
    // so that typing on replaces it; only when characters were added, not deleted.
    void CompleteRecipient();
    // "Send": saves the form's values, builds the PDU (telling the user what is wrong, if
    // anything) and hands the exchange to the worker. Refused, with nothing saved or shown,
    // while a task holds the port. True when the exchange has started.
    bool OnSendSms(CSendSmsWorker& worker, CSendSmsWorker::DoneCallback done = {});
    // "Store": the same PDUs as Send, written into the phone's memory instead; the form's values
    // are not saved. True when the exchange has started.
    bool OnStoreSms(CSendSmsWorker& worker, CSendSmsWorker::StoreCallback done = {});

    // Set while the form changes the recipient itself: its edit notifications do not complete.
    int writeTabFilling = 0;
    // Length of the recipient text at the last completion.
    int completedLength = 0;

private:
    void FillClassList();
    void RestoreSavedValues();
    void SetSubmitMode(bool advanced);
    // The form's message as parts, or nothing once a box has said what is wrong with it.
    std::optional<SubmitParts> BuildFormParts(const WriteSmsValues& values);

    IWriteSmsForm& form;
    IMessageSink& sink;
    ISettings& settings;
    CDaoDatabase& database;
    const std::atomic<int>& portOpen;
};
