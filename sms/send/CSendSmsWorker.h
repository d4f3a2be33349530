#pragma once
// Runs the exchange of a send on a thread of its own, so that the window keeps answering while
// the phone is waited for. At most one task uses the port: a start while another task holds it
// is refused, and the send holds it until the exchange has ended. A send does not set `busy`
// (that flag belongs to the two read workers).
//
// Start and Join belong to the user-interface thread. The sink must carry boxes to that thread
// without needing it to wait here: before the window joins at its end, it silences the sink and
// ends the session's pauses, so a running send finishes at once.

#include "core/MessageSink.h"
#include "serial/CModemSession.h"
#include "serial/TaskRunner.h"
#include "sms/send/SendSms.h"
#include "sms/send/StoreSms.h"
#include "sms/send/SubmitPdu.h"

#include <atomic>
#include <functional>
#include <mutex>

class CSendSmsWorker {
public:
    using DoneCallback = std::function<void(SendOutcome)>;
    using StoreCallback = std::function<void(const StoreReport&)>;

    CSendSmsWorker(CModemSession& modemSession, IMessageSink& messageSink)
        : session(modemSession), sink(messageSink) {}
    ~CSendSmsWorker() = default; // the runner waits for the send

    CSendSmsWorker(const CSendSmsWorker&) = delete;
    CSendSmsWorker& operator=(const CSendSmsWorker&) = delete;

    // Starts sending submit; false, with nothing started, while another task holds the port.
    // done, if given, runs on the worker thread after the outcome box, once the port is free.
    bool Start(SubmitPdu submit, DoneCallback done = {});
    // The same for the parts of one message (SendSubmitParts).
    bool Start(SubmitParts parts, DoneCallback done = {});
    // Runs on the send's thread after each send has ended, while the port is still held, with
    // the parts and how they went (the delivery records are kept there). Set before Start.
    using SentCallback = std::function<void(const SubmitParts&, const SendReport&)>;
    void SetSentCallback(SentCallback callback) { sent = std::move(callback); }
    // "Store": writes the parts into the phone's memory (StoreSubmitParts) on the same terms as a
    // send; done, if given, gets the report on the worker thread once the port is free.
    bool StartStore(SubmitParts parts, StoreCallback done = {});
    // Waits for the send in progress, if any.
    void Join();
    // True while some task (this one or a worker of another tab) holds the port.
    bool Busy() const { return session.PortTaken(); }
    // True from Start until the exchange has ended.
    bool Running() const { return runner.Running(); }
    // The part that failed in the last send ended, as SendSubmitParts reports it, with the
    // message references of the parts sent; set before the done callback runs.
    SendReport LastReport() const;

private:
    CModemSession& session;
    IMessageSink& sink;
    mutable std::mutex reportMutex;
    SendReport lastReport;
    SentCallback sent;
    CTaskRunner runner{session}; // last: the send ends before the members it uses go
};
