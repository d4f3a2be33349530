// "Read From File" over any file: the loader against a model of the 500-byte line buffer it
// stands for (CR LF read as LF; a piece ends at a line feed or after 499 bytes; every piece is
// counted, and stored without CR and LF unless that leaves it empty).

#include "fuzz/FuzzCheck.h"
#include "serial/serialdata.h"
#include "sms/SmsLogFile.h"

#include <cstdio>
#include <unistd.h>

namespace {

std::string LogPath() {
    // In memory where the system offers it: the file is written once per input.
    static const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    static const std::string path =
        folder + "/telvane-logfuzz-" + std::to_string(getpid()) + ".log";
    return path;
}

long ModelPieces(std::string_view bytes, std::vector<std::string>& stored) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            text.push_back(bytes[i]);
    }
    long count = 0;
    std::string piece;
    const auto end = [&] {
        ++count;
        std::erase_if(piece, [](char c) { return c == '\r' || c == '\n'; });
        if (!piece.empty())
            stored.push_back(piece);
        piece.clear();
    };
    for (const char c : text) {
        if (c == '\n') {
            end();
            continue;
        }
        piece.push_back(c);
        if (piece.size() == kLogPieceChars)
            end();
    }
    if (!piece.empty())
        end();
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = FuzzText(data, size);
    std::FILE* file = std::fopen(LogPath().c_str(), "wb");
    FuzzRequire(file != nullptr);
    FuzzRequire(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    std::fclose(file);

    serialdata store;
    AddString("left from before", store);
    const long count = LoadLogLines(LogPath(), store);
    std::vector<std::string> expected;
    FuzzRequire(count == ModelPieces(bytes, expected));
    FuzzRequire(SnapshotLines(store) == expected);
    return 0;
}
