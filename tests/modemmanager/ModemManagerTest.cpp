#include "modemmanager/ChildProcess.h"
#include "modemmanager/ModemManagerGuard.h"

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kUid = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";

// A private D-Bus daemon, and a fake ModemManager on it that manages ttyUSB0 and ttyUSB2 of a
// HUAWEI modem; TELVANE_MM_BUS points the code at it.
class ModemManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v dbus-daemon >/dev/null") != 0)
            GTEST_SKIP() << "dbus-daemon is not installed";
        bus = std::make_unique<ChildProcess>(
            std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--print-address"});
        address = bus->FirstLine();
        ASSERT_FALSE(address.empty());
        ::setenv("TELVANE_MM_BUS", address.c_str(), 1);
        log = std::filesystem::temp_directory_path() /
              ("telvane-fake-mm-" + std::to_string(::getpid()) + ".log");
        std::filesystem::remove(log);
    }
    void TearDown() override {
        ::unsetenv("TELVANE_MM_BUS");
        manager.reset();
        bus.reset();
        std::filesystem::remove(log);
    }

    void StartManager() {
        manager = std::make_unique<ChildProcess>(std::vector<std::string>{
            TELVANE_FAKE_MM, address, log.string(), "HUAWEI", "E173", kUid, "ttyUSB0", "ttyUSB2"});
        ASSERT_EQ(manager->FirstLine(), "ready");
    }

    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);)
            calls.push_back(line);
        return calls;
    }

    std::unique_ptr<ChildProcess> bus;
    std::unique_ptr<ChildProcess> manager;
    std::string address;
    std::filesystem::path log;
};

TEST_F(ModemManagerTest, WithoutModemManagerNothingIsSaid) {
    ModemManagerGuard guard;
    guard.SetInhibit(true);
    EXPECT_EQ(guard.BeforeOpen("/dev/ttyUSB2"), "");
}

TEST_F(ModemManagerTest, AModemOnThePortIsNamedAndLeftAloneUnlessAsked) {
    StartManager();
    ModemManagerGuard guard;
    EXPECT_EQ(guard.BeforeOpen("/dev/ttyUSB2"),
              "ModemManager manages this port's modem (HUAWEI E173, port ttyUSB2): it will answer "
              "and take the phone's lines. Tick File, \"Inhibit ModemManager on this port\", or "
              "keep ModemManager away from it (README).");
    guard.AfterClose();
    EXPECT_THAT(Calls(), IsEmpty());
    EXPECT_EQ(guard.BeforeOpen("/dev/ttyACM0"), "") << "a port of no managed modem";
}

TEST_F(ModemManagerTest, InhibitsTheDeviceOnOpenAndGivesItBackOnClose) {
    StartManager();
    ModemManagerGuard guard;
    guard.SetInhibit(true);
    EXPECT_EQ(guard.BeforeOpen("/dev/ttyUSB0"), "ModemManager manages this port's modem (HUAWEI "
                                                "E173, port ttyUSB0): it lets go of it while the "
                                                "session is open.");
    EXPECT_THAT(Calls(), ElementsAre(std::string("InhibitDevice ") + kUid + " true"));
    guard.AfterClose();
    guard.AfterClose(); // given back once only
    EXPECT_THAT(Calls(), ElementsAre(std::string("InhibitDevice ") + kUid + " true",
                                     std::string("InhibitDevice ") + kUid + " false"));
}

TEST_F(ModemManagerTest, TheProgramsEndGivesTheDeviceBack) {
    StartManager();
    {
        ModemManagerGuard guard;
        guard.SetInhibit(true);
        guard.BeforeOpen("/dev/serial/by-id/usb-HUAWEI-if02-port0/../../../ttyUSB2");
    }
    EXPECT_THAT(Calls(), ElementsAre(std::string("InhibitDevice ") + kUid + " true",
                                     std::string("InhibitDevice ") + kUid + " false"));
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QCoreApplication app(argc, argv); // Qt D-Bus needs one
    return RUN_ALL_TESTS();
}
