#pragma once
// A program run for a test, its first line of output read, killed with the object.

#include <array>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> argv) {
        std::array<int, 2> out{};
        if (::pipe(out.data()) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> args;
            for (std::string& arg : argv)
                args.push_back(arg.data());
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
        ::close(out[1]);
        output = out[0];
    }
    ~ChildProcess() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        if (output >= 0)
            ::close(output);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The first line the program writes, without its newline; empty when it ends first.
    std::string FirstLine() const {
        std::string line;
        char c = 0;
        while (::read(output, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

private:
    pid_t pid = -1;
    int output = -1;
};
