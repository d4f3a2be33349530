#include "tools/phonesim/ArrivalTrigger.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t signalled = 0;

void OnArrivalSignal(int /*signal*/) {
    signalled = signalled + 1;
}

bool AllOf(const std::string& text, int (*test)(int)) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [test](char c) {
        return test(static_cast<unsigned char>(c)) != 0;
    });
}

} // namespace

ArrivalTrigger::ArrivalTrigger() {
    struct sigaction action {};
    action.sa_handler = OnArrivalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &action, nullptr);
}

ArrivalTrigger::~ArrivalTrigger() {
    if (fd >= 0) {
        close(fd);
        unlink(fifoPath.c_str());
    }
}

bool ArrivalTrigger::Open(const std::string& path, std::string& error) {
    if (mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) {
        error = path + ": cannot make the fifo (" + std::strerror(errno) + ")";
        return false;
    }
    // Read and write: the fifo never reads as ended when a writer closes it.
    fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": cannot open the fifo (" + std::strerror(errno) + ")";
        return false;
    }
    fifoPath = path;
    return true;
}

void ArrivalTrigger::TakeLine(const std::string& line, std::vector<std::string>& out) {
    constexpr std::string_view kRegistration = "creg ";
    constexpr char kHighestStat = '5';
    if (line.size() == kRegistration.size() + 1 && line.starts_with(kRegistration) &&
        line.back() >= '0' && line.back() <= kHighestStat) {
        registrations.push_back(line.back() - '0');
    } else if (AllOf(line, ::isdigit) && line.size() <= 4) {
        const int count = std::min(std::stoi(line), kMaxCount);
        out.insert(out.end(), static_cast<std::size_t>(count), std::string());
    } else if (AllOf(line, ::isxdigit) && line.size() % 2 == 0) {
        out.push_back(line);
    }
}

std::vector<int> ArrivalTrigger::TakeRegistrations() {
    std::vector<int> taken;
    taken.swap(registrations);
    return taken;
}

std::vector<std::string> ArrivalTrigger::Take() {
    std::vector<std::string> out;
    const std::sig_atomic_t signals = signalled;
    signalled = signalled - signals;
    out.insert(out.end(), static_cast<std::size_t>(signals), std::string());
    std::array<char, 512> buffer{};
    ssize_t count = 0;
    while (fd >= 0 && (count = read(fd, buffer.data(), buffer.size())) > 0) {
        partial.append(buffer.data(), static_cast<std::size_t>(count));
        std::size_t end = 0;
        while ((end = partial.find('\n')) != std::string::npos) {
            std::string line = partial.substr(0, end);
            partial.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            TakeLine(line, out);
        }
        if (partial.size() > 4096)
            partial.clear(); // no line that long is a request
    }
    return out;
}
