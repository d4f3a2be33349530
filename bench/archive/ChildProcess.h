#pragma once
// A whole command run for a benchmark: its wall time and the peak memory the kernel counted for
// it, its standard output sent to /dev/null. The program's own commands and their floors (the
// sqlite3 shell) are timed alike, in the same run.

#include <string>
#include <vector>

struct ChildRun {
    bool ok = false; // started and ended with status 0
    double seconds = 0;
    double peakMiB = 0;
};

ChildRun RunChild(const std::vector<std::string>& argv);
