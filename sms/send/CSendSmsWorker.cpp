#include "sms/send/CSendSmsWorker.h"

#include <system_error>
#include <utility>

bool CSendSmsWorker::Start(SubmitPdu submit, DoneCallback done) {
    return Start(SubmitParts{std::move(submit)}, std::move(done));
}

bool CSendSmsWorker::Start(SubmitParts parts, DoneCallback done) {
    PortLease lease = session.TakePort();
    if (!lease) {
        return false;
    }
    Join(); // the previous send has ended: it gave the port back
    running.store(true, std::memory_order_release);
    try {
        thread = std::thread([this, held = std::move(lease), message = std::move(parts),
                              callback = std::move(done)]() mutable {
            SendReport report;
            const SendOutcome outcome = SendSubmitParts(session, message, sink, &report);
            failedPart.store(report.failedPart);
            partCount.store(report.parts);
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
