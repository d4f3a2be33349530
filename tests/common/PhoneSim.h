#pragma once
// Starts telvane-phonesim for one test: the fixture text goes into a fresh temporary folder, the
// simulator puts its pty link and its transcript next to it, and the destructor stops the
// simulator (SIGTERM, then SIGKILL if it does not go) and removes the folder.
//
// The transcript is written line by line while the simulator runs, so a test may read it at any
// time; WaitForTranscript polls it until a condition holds (bounded).

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

struct PhoneSimOptions {
    std::string fixture{}; // fixture text, written to a temporary file
    int baud = 115200;
    std::vector<std::string> extraArgs{}; // e.g. {"--silent"} or {"--delay-ms", "300"}
    bool arrivals = false;                // --arrivals <dir>/arrivals, for Arrive()
};

struct TranscriptEntry {
    long ms = 0;
    std::string kind; // RX, TX or SENT
    std::string text;
};

class PhoneSim {
public:
    explicit PhoneSim(const PhoneSimOptions& options = {}) {
        char pattern[] = "/tmp/telvane-phonesim-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            return;
        dir = pattern;
        linkPath = dir + "/link";
        transcriptPath = dir + "/transcript";
        const std::string fixturePath = dir + "/fixture";
        std::ofstream(fixturePath) << options.fixture;

        // --exit-with-parent: a test killed outright leaves no simulator behind.
        std::vector<std::string> args = {
            TELVANE_PHONESIM,    "--link",       linkPath,
            "--transcript",      transcriptPath, "--fixture",
            fixturePath,         "--baud",       std::to_string(options.baud),
            "--exit-with-parent"};
        args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());
        if (options.arrivals)
            args.insert(args.end(), {"--arrivals", dir + "/arrivals"});
        Spawn(args);
        WaitForLink();
    }

    ~PhoneSim() {
        Stop();
        if (!dir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
    }

    PhoneSim(const PhoneSim&) = delete;
    PhoneSim& operator=(const PhoneSim&) = delete;

    // True while the simulator process lives.
    bool Running() const {
        if (pid <= 0)
            return false;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exitStatus = status;
            pid = -1;
            return false;
        }
        return true;
    }

    // Sends SIGTERM and waits (at most 5 s, then SIGKILL). Returns the wait status, -1 if the
    // simulator never ran.
    int Stop() {
        if (!Running())
            return exitStatus;
        kill(pid, SIGTERM);
        for (int i = 0; i < 500 && Running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (Running()) {
            kill(pid, SIGKILL);
            int status = 0;
            waitpid(pid, &status, 0);
            exitStatus = status;
            pid = -1;
        }
        return exitStatus;
    }

    const std::string& LinkPath() const { return linkPath; }
    pid_t Pid() const { return pid; }

    // Asks for new messages through the --arrivals fifo: a count, or a DELIVER PDU in hex.
    bool Arrive(const std::string& request) const {
        const int fd = open((dir + "/arrivals").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        const std::string line = request + "\n";
        const bool written =
            write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
        close(fd);
        return written;
    }
    const std::string& TranscriptPath() const { return transcriptPath; }
    const std::string& Dir() const { return dir; }

    // Every complete line of the transcript so far.
    std::vector<TranscriptEntry> Transcript() const {
        std::vector<TranscriptEntry> entries;
        std::ifstream in(transcriptPath);
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof())
                break; // a line still being written
            entries.push_back(ParseLine(line));
        }
        return entries;
    }

    // The command lines the simulator received, in order ("<ESC>" for a cancelled PDU).
    std::vector<std::string> Received() const { return TextsOf("RX"); }
    // The PDUs accepted by +CMGS, in order.
    std::vector<std::string> SentPdus() const { return TextsOf("SENT"); }

    // Polls the transcript until `done` holds or `timeoutMs` has passed; returns whether it held.
    bool WaitForTranscript(const std::function<bool(const std::vector<TranscriptEntry>&)>& done,
                           int timeoutMs = 5000) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (done(Transcript()))
                return true;
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Waits until `count` command lines have been received.
    bool WaitForReceived(std::size_t count, int timeoutMs = 5000) const {
        return WaitForTranscript([&](const auto&) { return Received().size() >= count; },
                                 timeoutMs);
    }

private:
    void Spawn(const std::vector<std::string>& args) {
        std::vector<char*> argv(args.size() + 1, nullptr);
        std::transform(args.begin(), args.end(), argv.begin(),
                       [](const std::string& arg) { return const_cast<char*>(arg.c_str()); });
        // The simulator must not hold the test's own descriptors (a pty the test opened would
        // otherwise stay open in it).
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        // Its greeting line is for people; its errors (stderr) stay visible.
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t child = -1;
        if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0)
            pid = child;
        posix_spawn_file_actions_destroy(&actions);
    }

    void WaitForLink() const {
        struct stat st {};
        for (int i = 0; i < 500 && Running(); ++i) {
            if (lstat(linkPath.c_str(), &st) == 0)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    static TranscriptEntry ParseLine(const std::string& line) {
        TranscriptEntry entry;
        const auto firstSpace = line.find(' ');
        entry.ms = std::strtol(line.substr(0, firstSpace).c_str(), nullptr, 10);
        if (firstSpace == std::string::npos)
            return entry;
        const auto secondSpace = line.find(' ', firstSpace + 1);
        entry.kind = line.substr(firstSpace + 1, secondSpace - firstSpace - 1);
        if (secondSpace != std::string::npos)
            entry.text = line.substr(secondSpace + 1);
        return entry;
    }

    std::vector<std::string> TextsOf(const std::string& kind) const {
        std::vector<std::string> texts;
        for (const auto& entry : Transcript())
            if (entry.kind == kind)
                texts.push_back(entry.text);
        return texts;
    }

    std::string dir;
    std::string linkPath;
    std::string transcriptPath;
    mutable pid_t pid = -1;
    mutable int exitStatus = -1;
};
