#pragma once
// The pauses of the AT exchange and the session go through this, so that tests can run the
// 200 ms polls and the 5.2 s time-out in microseconds.

#include <chrono>
#include <thread>

class IWaiter {
public:
    virtual ~IWaiter() = default;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

class RealWaiter final : public IWaiter {
public:
    void Sleep(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
};
