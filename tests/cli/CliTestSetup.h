#pragma once
// What the command-line tests share: a folder of their own with a copy of the shipped database
// as telvane.mdb (the default --db), an empty settings folder, and telvane-cli run in it.

#include "cli/CliProcess.h"
#include "db/DbTestFiles.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// SMS-DELIVER from +12345678901 through the centre +12345678901, 29/03/99 15:16:59, "hello".
inline constexpr const char* kHelloPdu =
    "07912143658709F1040B912143658709F100009930925161958005e8329bfd06";
// The worked example's SMS-SUBMIT to +123456789, class 0, "abc".
inline constexpr const char* kSubmitPdu = "07912143658709F11100099121436587F900f0FF0361f118";

inline std::string Sms(int index, int stat, const char* pdu, const char* memory = "SM") {
    return "sms " + std::string(memory) + " " + std::to_string(index) + " " + std::to_string(stat) +
           " " + pdu + "\n";
}

inline Lines SplitLines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

inline Lines Starting(const Lines& lines, std::string_view prefix) {
    Lines found;
    std::ranges::copy_if(lines, std::back_inserter(found),
                         [prefix](const std::string& line) { return line.starts_with(prefix); });
    return found;
}

struct CliTestBase {
    CliTestBase() {
        database = CopyShippedDatabase(dir);
        std::filesystem::create_directories(dir.File("config"));
    }

    CliResult Cli(Lines arguments, const std::string& input = {}) {
        arguments.insert(arguments.begin(), leading.begin(), leading.end());
        CliProcess cli(dir.path.string(), arguments, input);
        return cli.Run();
    }

    TempDir dir;
    std::string database;
    Lines leading; // put in front of every command's own arguments
};
