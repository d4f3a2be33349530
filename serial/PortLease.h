#pragma once
// The port's one owner at a time. Every task that exchanges with the phone or uses the line
// store (opening or closing the session, the count read, a worker, a send, a log load) takes a
// lease before its first exchange and gives it back after its last; a task that cannot have one
// does not start. Taken on any thread; movable into the thread that does the work, given back
// when the lease is destroyed or Release()d.
//
// The pattern every task starter follows (user-interface thread):
//     PortLease lease = session.TakePort();
//     if (!lease) { show kTaskRunningText in the status bar; return; }
//     worker = std::thread([this, lease = std::move(lease)]() mutable {
//         ...exchanges...;
//         lease.Release(); // after the last exchange, before the task's end is announced
//     });

#include <atomic>
#include <string_view>

// The status-bar note for a start refused because another task holds the port.
inline constexpr std::string_view kTaskRunningText = "Another task is running: wait or stop it";

class PortLease {
public:
    PortLease() = default;
    // Tries to take `owner`: Held() tells whether it was free.
    explicit PortLease(std::atomic<bool>& owner) {
        bool free = false;
        if (owner.compare_exchange_strong(free, true, std::memory_order_acq_rel))
            held = &owner;
    }
    ~PortLease() { Release(); }

    PortLease(const PortLease&) = delete;
    PortLease& operator=(const PortLease&) = delete;
    PortLease(PortLease&& other) noexcept : held(other.held) { other.held = nullptr; }
    PortLease& operator=(PortLease&& other) noexcept {
        if (this != &other) {
            Release();
            held = other.held;
            other.held = nullptr;
        }
        return *this;
    }

    bool Held() const { return held != nullptr; }
    explicit operator bool() const { return Held(); }

    void Release() {
        if (held != nullptr)
            held->store(false, std::memory_order_release);
        held = nullptr;
    }

private:
    std::atomic<bool>* held = nullptr;
};
