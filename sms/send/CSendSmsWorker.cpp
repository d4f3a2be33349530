#include "sms/send/CSendSmsWorker.h"

#include <utility>

bool CSendSmsWorker::Start(SubmitPdu submit, DoneCallback done) {
    return Start(SubmitParts{std::move(submit)}, std::move(done));
}

bool CSendSmsWorker::Start(SubmitParts parts, DoneCallback done) {
    int idle = 0;
    if (!session.busy.compare_exchange_strong(idle, 1)) {
        return false;
    }
    Join(); // the previous send has ended: it cleared `busy`
    running.store(true, std::memory_order_release);
    thread = std::thread([this, message = std::move(parts), callback = std::move(done)] {
        SendReport report;
        const SendOutcome outcome = SendSubmitParts(session, message, sink, &report);
        failedPart.store(report.failedPart);
        partCount.store(report.parts);
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
