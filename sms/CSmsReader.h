#pragma once
// The Read SMS tab's work with the phone: the message counts of both memories and the read
// worker that walks the chosen memory one index at a time, listing each message and, with
// "Move (erase from phone)", deleting it once it has been listed; "Erase all SMS on phone".
// Also runs the loading of a log file off the user-interface thread.
//
// Threads: the starters (OnReadSmsFromPhone, StartReadSmsCount, StartReadFromFile,
// OnEraseAllSms) run on the user-interface thread; each takes the session's port (refused, with a
// status-bar note, while another task holds it) and runs its task on a thread of this object,
// which gives the port back after its last exchange. Only the read sets `busy`, and only the read
// clears `busy` when it ends; the read and the erase clear `stopRequest`. The destructor joins that thread: the owner sets `stopRequest`
// (255) and closes the session first, which ends a walk before its next index.

#include "serial/CModemSession.h"
#include "serial/TaskRunner.h"
#include "sms/AddSmsRows.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// The message counts the phone gave, per memory; nothing for a memory not (yet) read.
struct SmsCounts {
    std::optional<int> sim;
    std::optional<int> phone;
};

// Indexes tried are below this one.
inline constexpr int kSmsIndexLimit = 150;

class CSmsReader {
public:
    CSmsReader(CModemSession& session, const SmsReadContext& context);
    ~CSmsReader();
    CSmsReader(const CSmsReader&) = delete;
    CSmsReader& operator=(const CSmsReader&) = delete;

    // Handler of "Read SMS from phone": sets `busy` and starts ReadSmsWorker. False when
    // refused (port taken).
    bool OnReadSmsFromPhone();
    // Tab activation with the port open: ReadSmsCount as a task. False when refused.
    bool StartReadSmsCount();
    // "Read From File" once the file has been chosen: ReadSmsFromFile as a task (it uses the
    // line store). False when refused.
    bool StartReadFromFile(const std::string& path);
    // "Erase all SMS on phone": EraseAllWorker as a task. False when refused.
    bool OnEraseAllSms();
    // Waits for the running task, if any.
    void Join();

    // Asks both memories for their counts and writes them into the count edits. Blocks for up
    // to two exchanges; call it off the user-interface thread. Gives the counts known after it:
    // a memory whose read failed keeps the count it had (as its edit does).
    SmsCounts ReadSmsCount();
    // The counts known now (the last ones read).
    SmsCounts Counts() const;
    // Counts known before this reader's first read (shown by an earlier one): a walk whose count
    // read fails goes by them.
    void SetCounts(const SmsCounts& known);
    // The read itself, on the calling thread. Always 0. The task that OnReadSmsFromPhone starts
    // runs it and then clears `stopRequest` and `busy`.
    int ReadSmsWorker();
    // Counts the memory chosen under "Read SMS From", asks whether its messages are to go, erases
    // them (EraseStoredSms), counts again and says in the status bar how it went. The SMS list
    // is emptied when it showed that memory's messages and none is left.
    void EraseAllWorker();

private:
    bool Start(std::function<void()> task, bool setsBusy);
    // Writes the count of the first line of the last answer into the edit; false on a failed
    // exchange (its message shown).
    bool ReadOneCount(SmsMemory memory);
    void SelectReadMemory(bool phoneMemory);
    // Where the walk stands: the memory index to read and the ordinal its message gets.
    struct WalkPosition {
        int index;
        int ordinal;
    };
    // Reads one index; true when it was answered and so counts as read.
    bool ReadIndex(WalkPosition at);
    void DeleteIndex(int index);
    bool StopAsked() const;
    // An exchange's failure is worth a box only while the phone's port is still there.
    bool PortLost() const { return session.PortLost(); }

    CModemSession& session;
    SmsReadContext context;
    std::stop_token taskStop;       // the running task's; set by its thread before the work
    mutable std::mutex countsMutex; // the counts are read by the front end after the task
    SmsCounts counts;
    // The memory whose messages the SMS list shows; nothing after a read from a file. Only the
    // tasks touch it, one at a time.
    std::optional<SmsMemory> listedMemory;
    CTaskRunner runner{session}; // last: the task ends before the members it uses go
};
