// telvane-log-floor FILE: the codec decoding a capture's PDUs as it reads the file, the floor
// `telvane-cli log FILE` is timed against as a whole process.
// telvane-log-floor --write MEGABYTES FILE: writes the capture the log benchmark reads.

#include "CaptureFloor.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--write") {
        char* end = nullptr;
        const long megabytes = std::strtol(argv[2], &end, 10);
        if (*end != '\0' || megabytes <= 0) {
            std::fprintf(stderr, "not a size in megabytes: %s\n", argv[2]);
            return 2;
        }
        return WriteCapture(argv[3], static_cast<std::size_t>(megabytes) << 20U) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "Usage: telvane-log-floor FILE | --write MEGABYTES FILE\n");
        return 2;
    }
    const CaptureDecode decoded = DecodeCapture(argv[1]);
    std::printf("%ld PDUs, %zu bytes decoded\n", decoded.pdus, decoded.chars);
    return 0;
}
