#include "serial/SerialPorts.h"

#include "serial/FakeSystem.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Paths(const std::vector<SerialPortInfo>& ports) {
    std::vector<std::string> paths;
    for (const SerialPortInfo& port : ports)
        paths.push_back(port.path);
    return paths;
}

TEST(SerialPortsTest, FindsByIdLinksUsbAcmAndProbedUartsWithUsbDetails) {
    FakeSystem sys;
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/1-2";
    sys.Write("sys/devices/" + usb + "/idVendor", "12d1");
    sys.Write("sys/devices/" + usb + "/idProduct", "1001");
    sys.Write("sys/devices/" + usb + "/manufacturer", "HUAWEI");
    sys.Write("sys/devices/" + usb + "/product", "Mobile");
    sys.Write("sys/devices/" + usb + "/1-2:1.0/bInterfaceNumber", "00");
    sys.Write("sys/devices/" + usb + "/1-2:1.2/bInterfaceNumber", "02");
    sys.Tty("ttyUSB0", usb + "/1-2:1.0/ttyUSB0", "");
    sys.Tty("ttyUSB2", usb + "/1-2:1.2/ttyUSB2", "");
    sys.Link("../../ttyUSB2", "dev/serial/by-id/usb-HUAWEI_Mobile-if02-port0");
    sys.Link("../../ttyUSB9", "dev/serial/by-id/usb-Unplugged-if00-port0"); // left behind
    sys.Tty("ttyACM0", "pci0000:00/usb2/2-1/2-1:1.1", "");
    sys.Write("sys/devices/pci0000:00/usb2/2-1/2-1:1.1/bInterfaceNumber", "01");
    sys.Tty("ttyS0", "pnp0/00:01", "4");
    sys.Tty("ttyS2", "pnp0/00:02", "4");
    sys.Tty("ttyS10", "pnp0/00:03", "4");
    sys.Tty("ttyS1", "platform/serial8250", "0"); // registered, no UART answered
    sys.Node("ttyS3");                            // no sysfs entry at all
    sys.Node("tty0");
    sys.Node("null");

    const std::vector<SerialPortInfo> ports = FindSerialPorts(sys.Root());
    EXPECT_EQ(Paths(ports),
              (std::vector<std::string>{"/dev/serial/by-id/usb-HUAWEI_Mobile-if02-port0",
                                        "/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10",
                                        "/dev/ttyUSB0", "/dev/ttyUSB2"}));
    ASSERT_EQ(ports.size(), 7U);
    EXPECT_EQ(ports[0].device, "/dev/ttyUSB2");
    EXPECT_EQ(ports[0].Description(), "HUAWEI Mobile (12d1:1001), interface 02");
    EXPECT_EQ(ports[5].Description(), "HUAWEI Mobile (12d1:1001), interface 00");
    EXPECT_EQ(ports[1].Description(), "interface 01"); // no USB device folder above it
    EXPECT_EQ(ports[2].Description(), "");
}

TEST(SerialPortsTest, AnEmptyOrMissingRootHasNoPorts) {
    EXPECT_TRUE(FindSerialPorts("/nonexistent/telvane-root").empty());
    FakeSystem sys;
    EXPECT_TRUE(FindSerialPorts(sys.Root()).empty());
}

} // namespace
