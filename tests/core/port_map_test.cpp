// Which device "Com n" opens, and what the port dialog shows of it.
#include <gtest/gtest.h>

#include "platform/serial_devices.h"
#include "platform/testing/rig.h"

using namespace orbus;
using orbus::testing::FixedSerialDevices;
using orbus::testing::Rig;

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
    // Paths equal by value still sort one way only, as sorting needs.
    EXPECT_NE(devicePathBefore("/dev/tty01", "/dev/tty1"), devicePathBefore("/dev/tty1", "/dev/tty01"));
    EXPECT_FALSE(devicePathBefore("/dev/ttyS0", "/dev/ttyS0"));
    EXPECT_TRUE(devicePathBefore("/dev/ttyS1", "/dev/ttyS1a"));
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

TEST(PortMap, PortDialogShowsTheDeviceOfTheSelectedEntry) {
    Rig rig;
    rig.devices.present = {{"/dev/ttyUSB0", "USB serial adapter"}};
    rig.devices.chosen[3] = "sim:ORX-Gamma";
    rig.program->start();
    FrmOpen& o = rig.open();
    EXPECT_EQ(o.LblDevice.caption(), "/dev/ttyUSB0  USB serial adapter");
    o.ComList1.choose(1);
    EXPECT_EQ(o.LblDevice.caption(), "No serial device");
    o.ComList1.choose(2);
    EXPECT_EQ(o.LblDevice.caption(), "sim:ORX-Gamma");
    EXPECT_EQ(o.LblDBG0.caption(), "");
}

TEST(PortMap, PortDialogBackAfterAnErrorShowsTheDevicesPresentThen) {
    Rig rig;
    rig.chain.faults.silent = true;
    rig.program->start();
    FrmOpen& o = rig.open();
    EXPECT_EQ(o.LblDevice.caption(), "No serial device");
    // The operator plugs the adapter in while the first try fails.
    rig.devices.present = {{"/dev/ttyUSB0", "USB serial adapter"}};
    rig.windows.script([&] {
        EXPECT_EQ(o.LblDBG0.caption(), "IF_Clear Error\r\nPort = 1");
        EXPECT_EQ(o.LblDevice.caption(), "/dev/ttyUSB0  USB serial adapter");
        o.unload();
    });
    o.Command1.click();
    EXPECT_TRUE(rig.windows.ending());
}
