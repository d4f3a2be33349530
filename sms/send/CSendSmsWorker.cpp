#include "sms/send/CSendSmsWorker.h"

#include <memory>
#include <utility>

bool CSendSmsWorker::Start(SubmitPdu submit, DoneCallback done) {
    return Start(SubmitParts{std::move(submit)}, std::move(done));
}

bool CSendSmsWorker::Start(SubmitParts parts, DoneCallback done) {
    // The outcome goes from the work to the callback that runs once the port is free.
    auto outcome = std::make_shared<SendOutcome>(SendOutcome::SentOk);
    return runner.Start(
        [this, message = std::move(parts), outcome](std::stop_token) {
            SendReport report;
            *outcome = SendSubmitParts(session, message, sink, &report);
            if (sent)
                sent(message, report);
            std::lock_guard guard(reportMutex);
            lastReport = std::move(report);
        },
        {}, {},
        [outcome, callback = std::move(done)] {
            if (callback)
                callback(*outcome);
        });
}

bool CSendSmsWorker::StartStore(SubmitParts parts, StoreCallback done) {
    auto report = std::make_shared<StoreReport>();
    return runner.Start(
        [this, message = std::move(parts), report](std::stop_token) {
            *report = StoreSubmitParts(session, message, sink);
        },
        {}, {},
        [report, callback = std::move(done)] {
            if (callback)
                callback(*report);
        });
}

void CSendSmsWorker::Join() {
    runner.Join();
}

SendReport CSendSmsWorker::LastReport() const {
    std::lock_guard guard(reportMutex);
    return lastReport;
}
