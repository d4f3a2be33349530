#include "sms/send/CSendSmsWorker.h"

#include <system_error>
#include <utility>

bool CSendSmsWorker::Start(SubmitPdu submit, DoneCallback done) {
    PortLease lease = session.TakePort();
    if (!lease) {
        return false;
    }
    Join(); // the previous send has ended: it gave the port back
    running.store(true, std::memory_order_release);
    try {
        thread = std::thread([this, held = std::move(lease), pdu = std::move(submit),
                              callback = std::move(done)]() mutable {
            const SendOutcome outcome = SendSubmitPdu(session, pdu, sink);
            held.Release();
            running.store(false, std::memory_order_release);
            if (callback) {
                callback(outcome);
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had: nothing is sent.
        running.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void CSendSmsWorker::Join() {
    if (thread.joinable()) {
        thread.join();
    }
}
