#pragma once
// Fakes for the session's collaborators: a waiter that returns at once and records each pause
// (and can act during a chosen one), and a form that records its calls.

#include "serial/ISessionForm.h"
#include "serial/Waiter.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class FakeWaiter final : public IWaiter {
public:
    void Sleep(std::chrono::milliseconds duration) override {
        pauses.push_back(duration.count());
        if (duringPause)
            duringPause(static_cast<int>(pauses.size()));
    }

    std::vector<long> pauses;
    // Called with the 1-based number of the pause, as if time passed meanwhile.
    std::function<void(int)> duringPause;
};

class RecordingForm final : public ISessionForm {
public:
    void EnablePortControls(int enable) override {
        Record("EnablePortControls " + std::to_string(enable));
    }
    void SetMenuCheck(int commandId, int checked) override {
        Record("SetMenuCheck " + std::to_string(commandId) + " " + std::to_string(checked));
    }
    void PortGone() override { Record("PortGone"); }
    std::vector<std::string> Calls() const {
        std::lock_guard lock(mutex);
        return calls;
    }

private:
    void Record(std::string call) {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
    }
    mutable std::mutex mutex;
    std::vector<std::string> calls;
};
