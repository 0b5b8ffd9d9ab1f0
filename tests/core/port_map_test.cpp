// Which device "Com n" opens.
#include <gtest/gtest.h>

#include "platform/serial_devices.h"
#include "platform/testing/fakes.h"

using namespace orbus;
using orbus::testing::FixedSerialDevices;

namespace {

std::string text(const SerialDevices& d, int n) { return portTargetText(portTarget(d, n)); }

}  // namespace

TEST(PortMap, ComNCountsTheDevicesPresentInPathOrder) {
    FixedSerialDevices d;
    d.present = {{"/dev/ttyUSB10", "USB serial adapter"}, {"/dev/ttyUSB2", ""}, {"/dev/ttyACM0", "Modem"},
                 {"/dev/ttyS0", ""}};
    EXPECT_EQ(text(d, 1), "/dev/ttyACM0  Modem");
    EXPECT_EQ(text(d, 2), "/dev/ttyS0");
    EXPECT_EQ(text(d, 3), "/dev/ttyUSB2");  // numbers by value: 2 before 10
    EXPECT_EQ(text(d, 4), "/dev/ttyUSB10  USB serial adapter");
    // Fewer devices than the number: nothing to open.
    EXPECT_EQ(portTarget(d, 5).path, "");
    EXPECT_EQ(text(d, 5), "No serial device");
    EXPECT_EQ(portTarget(d, 0).path, "");
    EXPECT_EQ(text(FixedSerialDevices{}, 1), "No serial device");
}

TEST(PortMap, DevicePathOrderIsStrictAndReadsNumbersByValue) {
    EXPECT_TRUE(devicePathBefore("/dev/ttyUSB9", "/dev/ttyUSB10"));
    EXPECT_FALSE(devicePathBefore("/dev/ttyUSB10", "/dev/ttyUSB9"));
    EXPECT_TRUE(devicePathBefore("/dev/ttyS1", "/dev/ttyS1a"));
    EXPECT_TRUE(devicePathBefore("/dev/ttyACM1", "/dev/ttyS0"));
    // Equal by value, still ordered one way only.
    EXPECT_NE(devicePathBefore("/dev/tty01", "/dev/tty1"), devicePathBefore("/dev/tty1", "/dev/tty01"));
    EXPECT_FALSE(devicePathBefore("/dev/ttyS0", "/dev/ttyS0"));
}

TEST(PortMap, TheOperatorsChoiceComesFirstAndDoesNotShiftTheCount) {
    FixedSerialDevices d;
    d.present = {{"/dev/ttyUSB0", "USB serial adapter"}, {"/dev/ttyUSB1", "Second adapter"}};
    d.chosen[1] = "/dev/ttyUSB1";
    d.chosen[2] = "sim:ORX-Beta,KBM-R05";
    d.chosen[4] = "/tmp/orbus-com4";
    EXPECT_EQ(text(d, 1), "/dev/ttyUSB1  Second adapter");
    EXPECT_EQ(text(d, 2), "sim:ORX-Beta,KBM-R05");
    EXPECT_EQ(portTarget(d, 2).path, "sim:ORX-Beta,KBM-R05");
    EXPECT_EQ(text(d, 3), "No serial device");
    EXPECT_EQ(text(d, 4), "/tmp/orbus-com4");
}
