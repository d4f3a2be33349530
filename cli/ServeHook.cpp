#include "cli/ServeHook.h"

#include "cli/ServeLog.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// The most of a program's standard error the log takes.
constexpr std::size_t kMostErrorChars = 2000;

// The service's own word with systemd, which a hook must not speak in its name.
bool ForSystemd(std::string_view entry) {
    return entry.starts_with("NOTIFY_SOCKET=") || entry.starts_with("WATCHDOG_USEC=") ||
           entry.starts_with("WATCHDOG_PID=");
}

std::vector<std::string> Environment(const HookMessage& message) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (!std::string_view(*entry).starts_with("TELVANE_") && !ForSystemd(*entry))
            entries.emplace_back(*entry);
    entries.push_back("TELVANE_SENDER=" + message.sender);
    entries.push_back("TELVANE_NAME=" + message.name);
    entries.push_back("TELVANE_TEXT=" + message.text);
    entries.push_back("TELVANE_TIME=" + message.time);
    entries.push_back("TELVANE_SMSC=" + message.smsc);
    entries.push_back("TELVANE_PARTS=" + std::to_string(message.parts));
    entries.push_back("TELVANE_PARTS_EXPECTED=" + std::to_string(message.partsExpected));
    entries.push_back("TELVANE_ARCHIVE_ID=" + std::to_string(message.archiveId));
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    pointers.reserve(words.size() + 1);
    std::ranges::transform(words, std::back_inserter(pointers),
                           [](std::string& word) { return word.data(); });
    pointers.push_back(nullptr);
    return pointers;
}

// A file for the program's standard error; empty when none could be made.
std::string ErrorFile() {
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                       "/telvane-hook-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return {};
    close(fd);
    return name;
}

std::string TakeFile(const std::string& name) {
    if (name.empty())
        return {};
    std::ifstream in(name);
    std::ostringstream text;
    text << in.rdbuf();
    unlink(name.c_str());
    std::string read = text.str();
    if (read.size() > kMostErrorChars)
        read.replace(kMostErrorChars, std::string::npos, "...");
    while (!read.empty() && (read.back() == '\n' || read.back() == '\r'))
        read.pop_back();
    return read;
}

std::string EndText(int status, bool killed) {
    if (killed)
        return "killed after its time limit";
    if (WIFEXITED(status))
        return "exited " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "ended by signal " + std::to_string(WTERMSIG(status));
    return "ended";
}

} // namespace

HookRunner::HookRunner(std::string hookProgram, std::chrono::seconds timeLimit)
    : program(std::move(hookProgram)), limit(timeLimit) {}

HookRunner::~HookRunner() {
    Finish(std::chrono::milliseconds(0));
}

void HookRunner::Start(const HookMessage& message) {
    std::vector<std::string> argv = {program};
    std::vector<std::string> env = Environment(message);
    std::vector<char*> argp = Pointers(argv);
    std::vector<char*> envp = Pointers(env);
    Child child;
    child.errorFile = ErrorFile();
    child.archiveId = message.archiveId;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, 2, child.errorFile.empty() ? "/dev/null" : child.errorFile.c_str(),
        O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    const int failed =
        posix_spawnp(&child.pid, program.c_str(), &actions, &attributes, argp.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        ServeLog("hook " + program + " for archive row " + std::to_string(message.archiveId) +
                 " did not start: " + std::strerror(failed));
        TakeFile(child.errorFile);
        return;
    }
    child.deadline = std::chrono::steady_clock::now() + limit;
    ServeLog("hook " + program + " started for archive row " + std::to_string(message.archiveId) +
             " (pid " + std::to_string(child.pid) + ")");
    children.push_back(std::move(child));
}

bool HookRunner::Reap(Child& child) {
    int status = 0;
    const pid_t ended = waitpid(child.pid, &status, WNOHANG);
    if (ended == 0)
        return false;
    std::string line = "hook for archive row " + std::to_string(child.archiveId) + " " +
                       (ended < 0 ? std::string("was lost") : EndText(status, child.killed));
    if (const std::string errors = TakeFile(child.errorFile); !errors.empty())
        line += "; its standard error: " + errors;
    ServeLog(line);
    return true;
}

void HookRunner::Poll() {
    const auto now = std::chrono::steady_clock::now();
    for (Child& child : children)
        if (!child.killed && now >= child.deadline) {
            kill(-child.pid, SIGKILL);
            child.killed = true;
        }
    std::erase_if(children, [this](Child& child) { return Reap(child); });
}

void HookRunner::Finish(std::chrono::milliseconds grace) {
    constexpr std::chrono::milliseconds kStep{20};
    const auto end = std::chrono::steady_clock::now() + grace;
    while (!children.empty() && std::chrono::steady_clock::now() < end) {
        Poll();
        std::this_thread::sleep_for(kStep);
    }
    for (Child& child : children) {
        kill(-child.pid, SIGKILL);
        child.killed = true;
    }
    while (!children.empty()) {
        Poll();
        if (!children.empty())
            std::this_thread::sleep_for(kStep);
    }
}
