#pragma once
// A temporary root folder for code that reads /dev, /sys and /var/lock below a root: the test
// builds as much of a machine as it needs. Removed with the object.

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class FakeSystem {
public:
    FakeSystem()
        : root(
              std::filesystem::temp_directory_path() /
              ("telvane-sysroot-" + std::to_string(::getpid()) + "-" + std::to_string(Count()++))) {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "dev/serial/by-id");
    }
    ~FakeSystem() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;

    void Node(const std::string& name) const { std::ofstream(root / "dev" / name) << ""; }
    void Write(const std::string& file, const std::string& text) const {
        std::filesystem::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text << "\n";
    }
    void Link(const std::string& target, const std::string& link) const {
        std::filesystem::create_directories((root / link).parent_path());
        std::filesystem::create_directory_symlink(target, root / link);
    }
    // A tty whose sysfs device folder is `device` (under sys/devices), with a port type.
    void Tty(const std::string& name, const std::string& device, const std::string& type) const {
        Node(name);
        std::filesystem::create_directories(root / "sys/devices" / device);
        Link("../../../devices/" + device, "sys/class/tty/" + name + "/device");
        if (!type.empty())
            Write("sys/class/tty/" + name + "/type", type);
    }

    std::string Root() const { return root.string(); }

private:
    static int& Count() {
        static int count = 0;
        return count;
    }

    std::filesystem::path root;
};
