#include "cli/PortList.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The entries of a folder whose names start with one of the prefixes (every entry for an empty
// prefix list), sorted; nothing when the folder cannot be read.
std::vector<std::string> EntriesOf(const fs::path& folder,
                                   std::initializer_list<std::string_view> prefixes) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool wanted =
            prefixes.size() == 0 || std::ranges::any_of(prefixes, [&name](std::string_view p) {
                return name.starts_with(p);
            });
        if (wanted)
            found.push_back(it->path().string());
    }
    std::ranges::sort(found);
    return found;
}

} // namespace

std::vector<std::string> FindSerialPorts(const std::string& deviceFolder) {
    const fs::path dev(deviceFolder);
    std::vector<std::string> ports = EntriesOf(dev / "serial" / "by-id", {});
    const std::vector<std::string> nodes = EntriesOf(dev, {"ttyUSB", "ttyACM"});
    ports.insert(ports.end(), nodes.begin(), nodes.end());
    return ports;
}
