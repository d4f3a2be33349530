#pragma once
// Owns one POSIX file descriptor: closed on destruction or Reset, never copied.

#include <unistd.h>
#include <utility>

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int owned) : fd(owned) {}
    ~FileDescriptor() { Reset(); }

    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.fd, -1));
        return *this;
    }

    int Get() const { return fd; }
    bool Valid() const { return fd >= 0; }

    void Reset(int newFd = -1) {
        if (fd >= 0)
            ::close(fd);
        fd = newFd;
    }

private:
    int fd = -1;
};
