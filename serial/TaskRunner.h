#pragma once
// The one way a task reaches the port: the runner takes the session's lease, runs the work on a
// std::jthread with a stop token, and at the end clears the flags the task owns, reports the end,
// and only then gives the lease back, so that a task started the moment the port is free never
// has its `busy` or stop bits cleared by the end of the one before.
//
// The stop token is the runner's own channel (its destruction, Stop()); the session's
// `stopRequest` bits stay what the window's "Stop current task" sets and each worker tests.
// Threads: Start, Stop and Join belong to one thread (the user-interface thread, or the command
// line's main thread); the work and the end report run on the task's thread.

#include "serial/CModemSession.h"

#include <atomic>
#include <functional>
#include <stop_token>
#include <thread>

struct TaskFlags {
    // The task is one of the two read workers: it sets `busy` while it runs, and clears `busy`
    // and `stopRequest` at its end.
    bool setsBusy = false;
};

class CTaskRunner {
public:
    using Work = std::function<void(std::stop_token)>;
    using EndReport = std::function<void()>;

    explicit CTaskRunner(CModemSession& modemSession) : session(modemSession) {}
    // Asks the task to stop and waits for it.
    ~CTaskRunner();
    CTaskRunner(const CTaskRunner&) = delete;
    CTaskRunner& operator=(const CTaskRunner&) = delete;

    // Runs `work` once the port is free; false, with nothing run, while another task holds it
    // (or no thread is to be had). `ended` runs on the task's thread after the flags are
    // cleared and before the lease is given back; `afterRelease` once the port is free again.
    bool Start(Work work, TaskFlags flags = {}, EndReport ended = {}, EndReport afterRelease = {});
    // Asks the running task to stop (its token); it ends after the exchange under way.
    void Stop();
    // Waits for the task, if any.
    void Join();
    // True from Start until the task has given the port back.
    bool Running() const { return running.load(std::memory_order_acquire); }

private:
    CModemSession& session;
    std::jthread thread;
    std::atomic<bool> running{false};
};
