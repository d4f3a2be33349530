#include "sms/send/CSendSmsWorker.h"

#include <utility>

bool CSendSmsWorker::Start(SubmitPdu submit, DoneCallback done) {
    int idle = 0;
    if (!session.busy.compare_exchange_strong(idle, 1)) {
        return false;
    }
    Join(); // the previous send has ended: it cleared `busy`
    running.store(true, std::memory_order_release);
    thread = std::thread([this, pdu = std::move(submit), callback = std::move(done)] {
        const SendOutcome outcome = SendSubmitPdu(session, pdu, sink);
        if (callback) {
            callback(outcome);
        }
        running.store(false, std::memory_order_release);
        session.busy.store(0);
    });
    return true;
}

void CSendSmsWorker::Join() {
    if (thread.joinable()) {
        thread.join();
    }
}
