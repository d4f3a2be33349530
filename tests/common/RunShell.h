#pragma once
// Runs a shell command for a test and returns what it printed on standard output; empty when it
// could not be started.

#include <array>
#include <cstdio>
#include <string>

inline std::string RunShell(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        output += buffer.data();
    pclose(pipe);
    return output;
}
