#pragma once
// Runs the real telvane-cli for a test: in a working folder of the test's, with a settings
// folder of its own (XDG_CONFIG_HOME), standard input from a text, standard output and error
// captured in files. Start/Wait let a test act while it runs (Ctrl+C); Run does both.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

struct CliResult {
    int status = -1; // the exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

class CliProcess {
public:
    // folder: working directory; its "config" subfolder stands for ~/.config.
    CliProcess(std::string workFolder, std::vector<std::string> arguments, std::string input = {})
        : folder(std::move(workFolder)), args(std::move(arguments)) {
        std::ofstream(folder + "/stdin") << input;
    }
    ~CliProcess() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // A program that runs telvane-cli, its words first (such as setpriv to run it as nobody).
    void SetLauncher(std::vector<std::string> words) { launcher = std::move(words); }
    // Variables ("NAME=value") added to the environment it inherits.
    void AddEnvironment(std::vector<std::string> entries) { extraEnv = std::move(entries); }

    bool Start() {
        std::vector<std::string> argv = launcher;
        argv.emplace_back(TELVANE_CLI);
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> argp;
        for (std::string& arg : argv)
            argp.push_back(arg.data());
        argp.push_back(nullptr);
        std::vector<std::string> env = {"XDG_CONFIG_HOME=" + folder + "/config"};
        for (char** e = environ; *e != nullptr; ++e)
            if (std::string_view(*e).rfind("XDG_CONFIG_HOME=", 0) != 0)
                env.emplace_back(*e);
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        posix_spawn_file_actions_addopen(&actions, 0, "stdin", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "stdout", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, "stderr", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        const bool started =
            posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
        if (!started)
            pid = -1;
        return started;
    }

    pid_t Pid() const { return pid; }

    void Signal(int signal) const {
        if (pid > 0)
            kill(pid, signal);
    }

    // Waits for the end, at most timeoutMs (then kills it: status -1).
    CliResult Wait(int timeoutMs = 120000) {
        CliResult result;
        int status = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (pid > 0 && waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= end) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                status = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid = -1;
        if (status != -1 && WIFEXITED(status))
            result.status = WEXITSTATUS(status);
        result.out = ReadFile(folder + "/stdout");
        result.err = ReadFile(folder + "/stderr");
        return result;
    }

    CliResult Run() {
        if (!Start())
            return {};
        return Wait();
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string folder;
    std::vector<std::string> args;
    std::vector<std::string> launcher;
    std::vector<std::string> extraEnv;
    pid_t pid = -1;
};
