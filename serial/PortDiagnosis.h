#pragma once
// Why a serial port does not open, in words with the fix, for the status bar: a missing device
// (and the ports that do exist), no permission (the node's group, whether the user is in it, the
// command that adds them), another program holding it (flock, TIOCEXCL, a UUCP lock file).
// Plain C++ over a root folder like SerialPorts.h; the process table is always the real /proc.

#include <optional>
#include <string>

// A UUCP lock file ("LCK..ttyUSB0" in /var/lock) of a process that still runs.
struct UucpLock {
    long pid = 0;
    std::string file;
};

// The live lock on the device under root/var/lock, looked up by the name given and by the node
// a link leads to. A lock of a dead process, of this process, or unreadable counts as none
// (stale), as minicom and the other lock-honouring tools treat it.
std::optional<UucpLock> FindUucpLock(const std::string& devicePath, const std::string& root);

// "... is locked by minicom (process 1234) through /var/lock/LCK..ttyUSB0. ..."
std::string DescribeUucpLock(const std::string& devicePath, const UucpLock& lock);

// The cause of open() or flock() failing with `error` on the device, and the fix.
std::string DescribeOpenFailure(const std::string& devicePath, int error, const std::string& root);
