#pragma once
// The operations of the Phonebook Manager tab: reading the phone's phonebook on a worker thread,
// filling the list from the database and copying it there, adding and changing entries by hand,
// and the column-heading click. The window forwards its buttons here.
//
// Threads: every On... handler runs on the user-interface thread. The read worker runs on
// `phonebookWorkerThread` and reaches the form through IPhonebookForm. The phone is used by one
// task at a time: a read starts only when it can take the session's port (else a status-bar
// note says why nothing happens); it then sets `busy`, and gives the port back after its last
// exchange. While a read fills the list, "Read", "Store", "Add" and "Change" do nothing, so no
// row is copied or changed half-written.
//
// Lifetime: the destructor waits for the worker. The owner first raises `stopRequest` (255) and
// closes the session, and makes sure the worker's form calls and boxes no longer wait for the
// user-interface thread (the window drops them once it closes); the worker then ends after the
// exchange under way.

#include "core/MessageSink.h"
#include "phonebook/IPhonebookForm.h"
#include "phonebook/PhonebookAnswers.h"
#include "serial/PortLease.h"
#include "serial/TaskRunner.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class CDaoDatabase;
class CModemSession;

// Most position commands one read sends (indexes 0 to 999).
inline constexpr int kMaxPhonebookCommands = 1000;

class CPhonebookManager {
public:
    CPhonebookManager(CModemSession& session, CDaoDatabase& database, IPhonebookForm& form,
                      IMessageSink& messages);
    ~CPhonebookManager();

    CPhonebookManager(const CPhonebookManager&) = delete;
    CPhonebookManager& operator=(const CPhonebookManager&) = delete;

    // "Read" (1075): from the database under "Dbase", else from the SIM ("SM") or the phone
    // ("ME") on the worker; "COM is closed!" without a session.
    void OnReadPhonebook();
    // "Store" (1076): copies the list into the database under "Dbase"; under "SIM" or "Phone"
    // asks, then writes the listed entries to that memory on the worker and reports how many
    // went and which positions failed.
    void OnStoreNames();
    // "Add" (1072): a new row "NEW" at the top of the list from the entry dialog.
    void OnAddEntry();
    // "Change" (1074): edits the name and number of the first selected row.
    void OnChangeEntry();
    // "Erase" (1073) has no operation.
    void OnEraseEntry() {}
    // A click on a heading of the phonebook list.
    void OnPhonebookColumnClick();

    int LoadPhonebookFromDatabase();
    void CopyPhonebookToDatabase();

    // Waits until a worker that has been started has returned.
    void JoinWorker();
    // True from the start of a read from the phone until its worker has finished with the list.
    bool Reading() const { return reading.load(); }
    // A read or a store holds the port, up to the moment it gives it back.
    bool Busy() const { return phonebookWorker.Running(); }
    // The entries the last read from the phone found, in the order they came; the list shows
    // them as PhonebookListRows orders them. Empty before the first read.
    std::vector<PhonebookReadEntry> Entries() const;

private:
    int ReadPhonebookWorker();
    void StoreToPhone();
    // False, with nothing started, while another task holds the port.
    bool StartWorker();
    // Sends the command, again for as long as the user answers Retry to its warning box.
    void SendWithRetry(std::string_view command);
    // The phone's character set around the position commands: the one it had, the one the
    // read decodes ("" when the phone did not say), and whether the read changed it.
    struct ReadCharset {
        std::string previous;
        std::string inUse;
        bool switched = false;
    };
    // Asks the phone's set and its choices, and selects UCS2 when it is offered.
    ReadCharset SelectUcs2();
    // Sets back the set the phone had, when the read changed it.
    void RestoreCharset(const ReadCharset& charset);
    void ReadPositions(const PhonebookRange& range, std::string_view charset);
    bool EndOfPositions(int commandIndex) const;

    CModemSession& session;
    CDaoDatabase& database;
    IPhonebookForm& form;
    IMessageSink& messages;
    std::atomic<bool> reading{false};
    mutable std::mutex entriesMutex; // the entries are read by the front end after the read
    std::vector<PhonebookReadEntry> entries;
    std::stop_token taskStop;             // the running read's; set by its thread before the work
    CTaskRunner phonebookWorker{session}; // last: the read ends before the members it uses go
};
