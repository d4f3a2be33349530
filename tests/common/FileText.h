#pragma once
// The whole of a file as bytes, for tests that check what a writer left on the disk; empty when
// the file cannot be read.

#include <fstream>
#include <sstream>
#include <string>

inline std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
