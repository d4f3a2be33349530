#include "db/IntegrityRecord.h"

#include "core/AtomicFile.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace {

// A modification this close to the check could share the clock's tick with a later change.
constexpr std::int64_t kSettledNanoseconds = 2'000'000'000;
constexpr std::size_t kRecordedFiles = 64;

struct FileState : FileStamp {
    std::int64_t recordedNs = 0; // when the clean check was recorded

    bool SameFile(const FileState& other) const {
        return device == other.device && inode == other.inode;
    }
    bool SameState(const FileState& other) const {
        return SameFile(other) && size == other.size && modifiedNs == other.modifiedNs &&
               changeCounter == other.changeCounter;
    }
};

std::string RecordPath() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache != '\0')
        return std::string(cache) + "/telvane/checked-files";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return std::string(home) + "/.cache/telvane/checked-files";
    return {};
}

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The engine's file change counter: bytes 24 to 27 of the header, big-endian.
std::optional<std::uint32_t> ChangeCounter(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::array<unsigned char, 28> header{};
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size()))
        return std::nullopt;
    return (std::uint32_t{header[24]} << 24U) | (std::uint32_t{header[25]} << 16U) |
           (std::uint32_t{header[26]} << 8U) | std::uint32_t{header[27]};
}

} // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return std::nullopt;
    const std::optional<std::uint32_t> counter = ChangeCounter(path);
    if (!counter)
        return std::nullopt;
    FileStamp state;
    state.device = static_cast<std::uint64_t>(info.st_dev);
    state.inode = static_cast<std::uint64_t>(info.st_ino);
    state.size = static_cast<std::int64_t>(info.st_size);
    state.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                       static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    state.changeCounter = *counter;
    return state;
}

namespace {

std::vector<FileState> ReadRecord(const std::string& record) {
    std::vector<FileState> states;
    std::ifstream in(record);
    for (std::string line; std::getline(in, line) && states.size() < kRecordedFiles;) {
        std::istringstream fields(line);
        FileState state;
        if (fields >> state.device >> state.inode >> state.size >> state.modifiedNs >>
            state.changeCounter >> state.recordedNs)
            states.push_back(state);
    }
    return states;
}

} // namespace

bool CheckedCleanAsIs(const FileStamp& stamp) {
    const std::string record = RecordPath();
    if (record.empty())
        return false;
    FileState now;
    static_cast<FileStamp&>(now) = stamp;
    for (const FileState& recorded : ReadRecord(record))
        if (recorded.SameState(now))
            return recorded.modifiedNs + kSettledNanoseconds <= recorded.recordedNs;
    return false;
}

bool CheckedCleanAsIs(const std::string& path) {
    const std::optional<FileStamp> stamp = StampOf(path);
    return stamp && CheckedCleanAsIs(*stamp);
}

void RecordCleanCheck(const FileStamp& stamp) {
    const std::string record = RecordPath();
    if (record.empty())
        return;
    std::optional<FileState> checked = FileState{};
    static_cast<FileStamp&>(*checked) = stamp;
    checked->recordedNs = NowNs();
    std::ostringstream text;
    const auto write = [&text](const FileState& state) {
        text << state.device << ' ' << state.inode << ' ' << state.size << ' ' << state.modifiedNs
             << ' ' << state.changeCounter << ' ' << state.recordedNs << '\n';
    };
    write(*checked);
    std::size_t kept = 1;
    for (const FileState& state : ReadRecord(record))
        if (!state.SameFile(*checked) && kept++ < kRecordedFiles)
            write(state);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(record).parent_path(), ignored);
    WriteFileAtomically(record, text.str(), Overwrite::Allow);
}
