#include "serial/SerialPorts.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace fs = std::filesystem;

namespace {

constexpr int kSysfsLevels = 6; // tty -> usb-serial port -> interface -> device, with margin

fs::path Under(const std::string& root, std::string_view absolute) {
    return fs::path(root) / fs::path(absolute).relative_path();
}

// The first line of a small sysfs attribute, empty when it cannot be read.
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line))
        return {};
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())) != 0)
        line.pop_back();
    return line;
}

bool HasPrefixAndNumber(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
        return false;
    const std::string_view digits = name.substr(prefix.size());
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// An 8250 driver registers ttyS0..31 whether or not a UART answers; only a probed one has a
// port type other than 0 (PORT_UNKNOWN).
bool HasUart(const std::string& root, const std::string& name) {
    const fs::path tty = Under(root, "/sys/class/tty") / name;
    std::error_code error;
    if (!fs::exists(tty / "device", error))
        return false;
    const std::string type = ReadAttribute(tty / "type");
    return type.empty() || type != "0";
}

bool IsCandidate(const std::string& root, const std::string& name) {
    if (HasPrefixAndNumber(name, "ttyUSB") || HasPrefixAndNumber(name, "ttyACM"))
        return true;
    return HasPrefixAndNumber(name, "ttyS") && HasUart(root, name);
}

// Walks up from the tty's device folder to the USB device that carries idVendor.
void AddUsbDetails(const std::string& root, SerialPortInfo& port) {
    const std::string name = fs::path(port.device).filename().string();
    std::error_code error;
    fs::path folder = fs::canonical(Under(root, "/sys/class/tty") / name / "device", error);
    if (error)
        return;
    const fs::path top = fs::canonical(root, error);
    for (int level = 0; level < kSysfsLevels && folder != top && folder.has_relative_path();
         ++level) {
        if (port.interfaceNumber.empty())
            port.interfaceNumber = ReadAttribute(folder / "bInterfaceNumber");
        port.vendorId = ReadAttribute(folder / "idVendor");
        if (!port.vendorId.empty()) {
            port.productId = ReadAttribute(folder / "idProduct");
            port.manufacturer = ReadAttribute(folder / "manufacturer");
            port.product = ReadAttribute(folder / "product");
            return;
        }
        folder = folder.parent_path();
    }
}

// "ttyS2" < "ttyS10": the prefix, then the number's length, then the text.
bool NaturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t digits = s.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1])) != 0)
            --digits;
        return digits;
    };
    const std::size_t da = split(a);
    const std::size_t db = split(b);
    if (a.compare(0, da, b, 0, db) != 0)
        return a.compare(0, da, b, 0, db) < 0;
    if (a.size() - da != b.size() - db)
        return a.size() - da < b.size() - db;
    return a < b;
}

std::vector<std::string> SortedNames(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

void AddByIdLinks(const std::string& root, std::vector<SerialPortInfo>& ports) {
    const fs::path byId = Under(root, "/dev/serial/by-id");
    for (const std::string& name : SortedNames(byId)) {
        std::error_code error;
        const fs::path target = fs::read_symlink(byId / name, error);
        if (error)
            continue;
        const std::string node = target.filename().string();
        if (!fs::exists(Under(root, "/dev") / node, error))
            continue; // a link left behind by a device that has gone
        SerialPortInfo port;
        port.path = "/dev/serial/by-id/" + name;
        port.device = "/dev/" + node;
        AddUsbDetails(root, port);
        ports.push_back(std::move(port));
    }
}

} // namespace

std::string SerialPortInfo::Description() const {
    std::string text = manufacturer;
    if (!product.empty())
        text += (text.empty() ? "" : " ") + product;
    if (!vendorId.empty())
        text += (text.empty() ? "" : " ") + ("(" + vendorId + ":" + productId + ")");
    if (!interfaceNumber.empty())
        text += (text.empty() ? "" : ", ") + ("interface " + interfaceNumber);
    return text;
}

std::vector<SerialPortInfo> FindSerialPorts(const std::string& root) {
    std::vector<SerialPortInfo> ports;
    AddByIdLinks(root, ports);
    for (const std::string& name : SortedNames(Under(root, "/dev"))) {
        if (!IsCandidate(root, name))
            continue;
        SerialPortInfo port;
        port.path = "/dev/" + name;
        port.device = port.path;
        AddUsbDetails(root, port);
        ports.push_back(std::move(port));
    }
    return ports;
}

std::string SystemRoot() {
    const char* root = std::getenv("TELVANE_SYSROOT");
    return root != nullptr && *root != '\0' ? std::string(root) : std::string("/");
}
