#pragma once
// The one serial connection to the phone. Holds the line settings, opens and configures the
// device, reads in portions of at most 30 bytes and writes command text.
//
// Threads: Read runs on the reader thread while Write runs on the user-interface or a worker
// thread, and Switch may close the device meanwhile. The descriptor is guarded so that a close
// waits for a read or write in progress (at most one read time-out) and never leaves a thread
// using a closed, possibly reused, descriptor. The settings may be changed from any thread; they
// take effect at the next Open.

#include "core/MessageSink.h"
#include "serial/FileDescriptor.h"
#include "serial/LineSettings.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <utility>

class CComPort {
public:
    explicit CComPort(IMessageSink& messages);
    ~CComPort();

    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    // Takes names of 1 to 99 characters; any other leaves the previous name in force.
    void SetPortName(std::string_view name);
    // Stored unchecked; a device that refuses them fails the next Open.
    void SetLineSettings(uint32_t baud, uint8_t parity, uint8_t byteSize, uint8_t stopBits,
                         int32_t flow);

    // Receives the cause of a failed open in words, with the fix, after the failure's box; the
    // application puts it in the status bar. Set it before the first Open; called on the opening
    // thread.
    using StatusNote = std::function<void(const std::string&)>;
    void SetStatusNote(StatusNote note) { statusNote = std::move(note); }

    // Non-zero: Open. Zero: close the device (always true).
    bool Switch(int open);
    // Opens and configures the device; true when it is open and configured. A failure shows
    // its message (empty caption, OK, no icon, no owner), closes what was opened, and ends the
    // open: a device that is not a terminal is refused before a byte is written to it.
    bool Open();

    // Always 1: the reader reads on every pass.
    int DataAvailable();
    // One read of at most 30 bytes, ending 10 ms after the last byte or 160 ms after the
    // start. The text ends at a received zero byte. Empty when nothing came or the port is shut.
    void Read(std::string& text);
    // Whatever the port has, up to kLineReadSize bytes, waiting up to `wait` for the first one.
    // Zero bytes are dropped. Empty when nothing came or the port is shut.
    void ReadAvailable(std::string& text, std::chrono::milliseconds wait);
    // Writes `text` up to its first zero byte; returns the bytes written, 0 on failure.
    int Write(std::string_view text);

    bool IsOpen() const;
    // True once a read or write found the open device gone (hung up, unplugged); until the next
    // Open. Any thread.
    bool Gone() const { return gone.load(std::memory_order_acquire); }
    std::string PortName() const;

    static constexpr std::size_t kMaxPortName = 99;
    static constexpr std::size_t kReadSize = 30;
    static constexpr std::size_t kLineReadSize = 4096;

private:
    void ShowFailure(std::string_view text);
    void Close();
    void ResetHandle(); // fdLock held exclusively

    IMessageSink& messages;
    StatusNote statusNote;
    mutable std::shared_mutex fdLock; // shared: Read/Write; exclusive: Open/close
    FileDescriptor handle;
    std::atomic<bool> gone{false};

    mutable std::mutex settingsLock;
    LineSettings settings;
    std::string portName;
};
