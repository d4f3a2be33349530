#include "serial/PortDiagnosis.h"

#include "serial/SerialPorts.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLockFileMax = 64;
constexpr std::size_t kNameBuffer = 16384;

std::string ReadSmallFile(const fs::path& file, std::size_t limit) {
    std::ifstream in(file, std::ios::binary);
    std::string text(limit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(limit));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// HDB locks hold the pid as ten ASCII digits and a newline; old binary ones a native int.
long LockPid(const std::string& content) {
    const bool text =
        std::any_of(content.begin(), content.end(), [](char c) { return c == '\n' || c == ' '; }) ||
        content.size() != sizeof(int);
    if (!text) {
        int pid = 0;
        std::memcpy(&pid, content.data(), sizeof pid);
        return pid;
    }
    long pid = 0;
    for (const char c : content) {
        if (c == ' ' && pid == 0)
            continue;
        if (c < '0' || c > '9')
            break;
        pid = pid * 10 + (c - '0');
        if (pid > 0x7fffffff)
            return 0;
    }
    return pid;
}

bool ProcessRuns(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

std::string ProgramName(long pid) {
    std::string name = ReadSmallFile("/proc/" + std::to_string(pid) + "/comm", 64);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\0'))
        name.pop_back();
    return name;
}

std::string ProcessWords(long pid) {
    const std::string name = ProgramName(pid);
    const std::string number = "process " + std::to_string(pid);
    return name.empty() ? number : name + " (" + number + ")";
}

// The processes other than this one with the device open, as far as /proc lets us see.
std::vector<long> ProcessesHolding(const std::string& devicePath) {
    std::vector<long> holders;
    std::error_code error;
    const fs::path device = fs::canonical(devicePath, error);
    if (error)
        return holders;
    const long self = ::getpid();
    for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        const std::string pidText = it->path().filename().string();
        if (pidText.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long pid = std::stol(pidText);
        std::error_code fdError;
        for (fs::directory_iterator fd(it->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
             fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError) == device && pid != self) {
                holders.push_back(pid);
                break;
            }
        }
    }
    return holders;
}

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(kNameBuffer);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return std::to_string(gid);
    return entry.gr_name;
}

bool InSessionGroups(gid_t gid) {
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    const int got = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(got, 0), gid) !=
           groups.begin() + std::max(got, 0);
}

// Whether the group database lists the user in the group (it may since a login that came later).
bool InGroupDatabase(const std::string& user, gid_t primary, gid_t gid) {
    if (primary == gid)
        return true;
    std::vector<char> buffer(kNameBuffer);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return false;
    for (char** member = entry.gr_mem; member != nullptr && *member != nullptr; ++member)
        if (user == *member)
            return true;
    return false;
}

std::string DescribeMissing(const std::string& devicePath, const std::string& root) {
    std::vector<std::string> nodes;
    for (const SerialPortInfo& port : FindSerialPorts(root))
        if (std::find(nodes.begin(), nodes.end(), port.device) == nodes.end())
            nodes.push_back(port.device);
    if (nodes.empty())
        return "No such device: " + devicePath +
               ", and no serial port was found: plug the phone in, or check its cable.";
    std::string list;
    for (const std::string& node : nodes)
        list += (list.empty() ? "" : ", ") + node;
    return "No such device: " + devicePath + ". Serial ports found: " + list + ".";
}

std::string DescribeNoPermission(const std::string& devicePath) {
    struct stat node {};
    if (::stat(devicePath.c_str(), &node) != 0)
        return "No permission for " + devicePath + ".";
    const std::string groupName = GroupName(node.st_gid);
    std::vector<char> buffer(kNameBuffer);
    passwd entry{};
    passwd* found = nullptr;
    const bool known =
        ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found;
    const std::string user = known ? entry.pw_name : std::to_string(::geteuid());
    const std::string head = "No permission for " + devicePath + ": ";
    if (InSessionGroups(node.st_gid)) {
        std::array<char, 8> mode{};
        std::snprintf(mode.data(), mode.size(), "%04o", node.st_mode & 07777U);
        return head + "its group \"" + groupName + "\", which you are in, may not read and write " +
               "it (mode " + mode.data() + "). Fix: sudo chmod g+rw " + devicePath +
               ", or a udev rule with MODE=\"0660\".";
    }
    if (known && InGroupDatabase(user, entry.pw_gid, node.st_gid))
        return head + "you were added to its group \"" + groupName +
               "\" after you logged in. Fix: log out and in again.";
    return head + "it belongs to the group \"" + groupName + "\" and you (" + user +
           ") are not in it. Fix: sudo usermod -aG " + groupName + " " + user +
           ", then log out and in again.";
}

std::string DescribeHeld(const std::string& devicePath) {
    std::string holders;
    for (const long pid : ProcessesHolding(devicePath))
        holders += (holders.empty() ? "" : ", ") + ProcessWords(pid);
    if (holders.empty())
        holders = "an exclusive open or lock";
    return devicePath + " is held by another program (" + holders +
           "). Close it, or choose another port.";
}

} // namespace

std::optional<UucpLock> FindUucpLock(const std::string& devicePath, const std::string& root) {
    std::vector<std::string> names{fs::path(devicePath).filename().string()};
    std::error_code error;
    const fs::path node = fs::canonical(devicePath, error);
    if (!error && node.filename() != names.front())
        names.push_back(node.filename().string());
    const fs::path folder = fs::path(root) / "var/lock";
    for (const std::string& name : names) {
        const fs::path file = folder / ("LCK.." + name);
        if (!fs::is_regular_file(file, error))
            continue;
        const long pid = LockPid(ReadSmallFile(file, kLockFileMax));
        if (pid != ::getpid() && ProcessRuns(pid))
            return UucpLock{pid, file.string()};
    }
    return std::nullopt;
}

std::string DescribeUucpLock(const std::string& devicePath, const UucpLock& lock) {
    return devicePath + " is locked by " + ProcessWords(lock.pid) + " through " + lock.file +
           ". Close that program first.";
}

std::string DescribeOpenFailure(const std::string& devicePath, int error, const std::string& root) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return DescribeMissing(devicePath, root);
    case EACCES:
    case EPERM:
        return DescribeNoPermission(devicePath);
    case EBUSY:
    case EWOULDBLOCK:
        return DescribeHeld(devicePath);
    default:
        return "Cannot open " + devicePath + ": " + std::generic_category().message(error) + ".";
    }
}
