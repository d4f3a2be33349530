// telvane-archive-gen TARGET MESSAGES: writes a realistic archive of MESSAGES messages to TARGET
// (a copy of the shipped database), for timing the program's commands on it.

#include "ArchiveGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: telvane-archive-gen TARGET MESSAGES\n");
        return 2;
    }
    char* end = nullptr;
    const long messages = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || messages < 0) {
        std::fprintf(stderr, "not a count: %s\n", argv[2]);
        return 2;
    }
    const std::string failure =
        GenerateArchive(std::string(TELVANE_BINARY_DIR) + "/telvane.mdb", argv[1], messages);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        return 1;
    }
    return 0;
}
