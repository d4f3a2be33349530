#pragma once
// The program run once per complete message (--on-receive): started without a shell, the
// message in its environment, in a process group of its own, its standard error kept in a
// file of its own and logged when it ends, killed (the whole group) after its time limit.
// The message is archived before it starts: a hook that fails, hangs or is missing loses
// nothing. Main thread only.

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct HookMessage {
    std::string sender;
    std::string name; // the phonebook's, "" when none
    std::string text; // the parts joined
    std::string time; // ISO 8601 with the zone
    std::string smsc;
    int parts = 1;              // the parts that arrived
    int partsExpected = 1;      // the parts the message announced
    std::int64_t archiveId = 0; // the first part's row of SMS_In
};

class HookRunner {
public:
    HookRunner(std::string program, std::chrono::seconds limit);
    ~HookRunner();
    HookRunner(const HookRunner&) = delete;
    HookRunner& operator=(const HookRunner&) = delete;

    // Starts the program for the message; a program that cannot start is logged.
    void Start(const HookMessage& message);
    // Logs the ends of the programs that ended and kills those past their limit.
    void Poll();
    // At the service's end: waits up to `grace` for the programs still running, then ends their
    // groups.
    void Finish(std::chrono::milliseconds grace);
    std::size_t Running() const { return children.size(); }

private:
    struct Child {
        pid_t pid = -1;
        std::chrono::steady_clock::time_point deadline;
        std::string errorFile;
        std::int64_t archiveId = 0;
        bool killed = false;
    };
    // True when the child has ended (and was logged).
    bool Reap(Child& child);

    std::string program;
    std::chrono::seconds limit;
    std::vector<Child> children;
};
