#pragma once
// A message sink that records every box asked for and answers from a queue of prepared answers
// (OK/first button when the queue is empty). Thread-safe: workers may ask from their threads.

#include "core/MessageSink.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

class RecordingMessageSink final : public IMessageSink {
public:
    BoxAnswer ShowMessage(const MessageBoxRequest& request) override {
        std::lock_guard lock(mutex);
        requests.push_back(request);
        if (answers.empty())
            return DefaultAnswer(request.buttons);
        BoxAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void QueueAnswer(BoxAnswer answer) {
        std::lock_guard lock(mutex);
        answers.push_back(answer);
    }

    std::vector<MessageBoxRequest> Requests() const {
        std::lock_guard lock(mutex);
        return requests;
    }

    std::vector<std::string> Texts() const {
        std::lock_guard lock(mutex);
        std::vector<std::string> texts;
        for (const auto& r : requests)
            texts.push_back(r.text);
        return texts;
    }

private:
    static BoxAnswer DefaultAnswer(BoxButtons buttons) {
        switch (buttons) {
        case BoxButtons::Ok:
        case BoxButtons::OkCancel:
            return BoxAnswer::Ok;
        case BoxButtons::YesNo:
            return BoxAnswer::Yes;
        case BoxButtons::RetryCancel:
            return BoxAnswer::Retry;
        case BoxButtons::AbortRetryIgnore:
            return BoxAnswer::Abort;
        }
        return BoxAnswer::Ok;
    }

    mutable std::mutex mutex;
    std::deque<BoxAnswer> answers;
    std::vector<MessageBoxRequest> requests;
};
