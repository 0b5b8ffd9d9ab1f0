// Which device "Com n" opens, and what the port dialog shows of it.
#include <gtest/gtest.h>

#include <optional>

#include "platform/serial_devices.h"
#include "app/testing/rig.h"

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
    d.chosen[5] = "/tmp/gone";
    d.others = {"/tmp/orbus-com4"};
    EXPECT_EQ(text(d, 1), "/dev/ttyUSB1  Second adapter");
    EXPECT_EQ(text(d, 2), "sim:ORX-Beta,KBM-R05");
    EXPECT_EQ(portTarget(d, 2).path, "sim:ORX-Beta,KBM-R05");
    EXPECT_EQ(text(d, 3), "No serial device");
    EXPECT_EQ(text(d, 4), "/tmp/orbus-com4");
    // A path that leads nowhere says so before anything is tried.
    EXPECT_EQ(text(d, 5), "/tmp/gone  (not present)");
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

namespace {

using orbus::testing::UnopenablePort;

// What the dialog showed when it came back after one OK.
struct Back {
    bool shown = false;
    std::string error, reason;
    int speedOption = -1;
};

// Presses OK on the entry and speed given; records the dialog when it comes
// back and closes it there (the program ends).
Back tryOnce(Rig& rig, int entry, int speedOption = 0) {
    Back b;
    rig.windows.script([&] {
        FrmOpen& o = rig.open();
        b.shown = o.visible();
        b.error = o.LblDBG0.caption();
        b.reason = o.LblReason.caption();
        for (int i = 0; i < 3; ++i) {
            if (o.OBrate[i].value()) b.speedOption = i;
        }
        o.unload();
    });
    rig.program->start();
    rig.open().ComList1.choose(entry);
    rig.open().OBrate[speedOption].click();
    rig.open().Command1.click();
    rig.settle();
    return b;
}

OpenFailure failure(OpenFailure::Kind kind, std::string path, std::string group = "",
                    std::vector<DeviceHolder> holders = {}) {
    OpenFailure f;
    f.kind = kind;
    f.path = std::move(path);
    f.group = std::move(group);
    f.holders = std::move(holders);
    f.system = "refused";
    return f;
}

}  // namespace

TEST(PortDialog, SaysWhyNoCameraWasReachedAndWhatToDo) {
    const std::vector<SerialDevice> two = {{"/dev/ttyUSB0", "USB serial adapter"}, {"/dev/ttyS0", ""}};
    struct Row {
        const char* what;
        std::optional<OpenFailure> device;  // the device does not open, for this reason; none: it opens
        int entry;
        std::vector<std::string> says;
        const char* com1 = "";  // ORBUS_COM1
    };
    const std::vector<Row> rows = {
        {"not allowed", failure(OpenFailure::Kind::NotAllowed, "/dev/ttyS0", "dialout"), 0,
         {"/dev/ttyS0: you may not open this device. It belongs to the group 'dialout'. Add your user to the group "
          "'dialout': sudo usermod -aG dialout $USER, then log in again."}},
        {"not allowed, no group helps", failure(OpenFailure::Kind::NotAllowed, "/dev/ttyS0"), 0,
         {"you may not open this device. Only its owner may read and write it: ask an administrator"}},
        {"busy", failure(OpenFailure::Kind::Busy, "/dev/ttyS0", "", {{4242, "minicom"}}), 0,
         {"/dev/ttyS0 is in use by another program: minicom (process 4242). Close that program, or choose"}},
        {"busy, several holders",
         failure(OpenFailure::Kind::Busy, "/dev/ttyS0", "", {{7, "term"}, {8, ""}, {9, "x"}, {10, "y"}}), 0,
         {"in use by another program: term (process 7), process 8, x (process 9) and 1 more. Close the one that uses "
          "it"}},
        {"busy, holder hidden", failure(OpenFailure::Kind::Busy, "/dev/ttyS0"), 0,
         {"in use by another program (the system does not let us see which)"}},
        {"unplugged", failure(OpenFailure::Kind::Missing, "/dev/ttyS0"), 0,
         {"/dev/ttyS0 does not exist or was unplugged. 2 serial devices are present: /dev/ttyS0 (Com 1), "
          "/dev/ttyUSB0 (Com 2)."}},
        {"stale ORBUS_COM1", failure(OpenFailure::Kind::Missing, "/tmp/old"), 0,
         {"/tmp/old does not exist or was unplugged (ORBUS_COM1 names it). 2 serial devices are present: "
          "/dev/ttyS0, /dev/ttyUSB0 (Com 2)."},
         "/tmp/old"},
        {"beyond the devices", std::nullopt, 4,
         {"Com 5: there is no such serial device. 2 serial devices are present: /dev/ttyS0 (Com 1), /dev/ttyUSB0 "
          "(Com 2)."}},
        {"other", failure(OpenFailure::Kind::Other, "/dev/ttyS0"), 0, {"/dev/ttyS0 could not be opened: refused."}},
        {"silent camera", std::nullopt, 0,
         {"/dev/ttyS0 opened, but no camera answered at 9600 bps (nor at 38400 or 19200 bps). Check the cable, "
          "that the camera is powered on, and its speed setting."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Rig rig({"ORX-Beta"}, Rig::Routed{});
        rig.devices.present = two;
        if (*row.com1) rig.devices.chosen[1] = row.com1;
        rig.chain.faults.silent = true;
        if (row.device) {
            rig.openDevice = [f = *row.device](const std::string&) { return std::make_unique<UnopenablePort>(f); };
        }
        const Back b = tryOnce(rig, row.entry);
        EXPECT_TRUE(b.shown);
        // The design's error line stays as it was; the reason comes under it.
        EXPECT_EQ(b.error, "IF_Clear Error\r\nPort = " + std::to_string(row.entry + 1));
        for (const std::string& s : row.says) EXPECT_NE(b.reason.find(s), std::string::npos) << b.reason;
        EXPECT_EQ(b.speedOption, 0);
        EXPECT_FALSE(rig.main().visible());
    }
}

TEST(PortDialog, FindsTheCamerasSpeedWithInterfaceClearsOnly) {
    const std::string clear = "88 01 00 01 FF";
    struct Row {
        int cameraBaud, chosenOption;
        int foundOption;   // -1: nobody answered
        int clearsSent;    // before the dialog came back
    };
    const std::vector<Row> rows = {
        {38400, 0, 1, 2},  // 9600 (chosen), 38400: found
        {9600, 1, 0, 2},   // 38400 (chosen), 9600: found
        {19200, 0, 2, 3},  // 9600, 38400, 19200
        {9600, 2, 0, 2},   // 19200 (chosen), 9600: the dialog's order
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.cameraBaud) + " chosen option " + std::to_string(row.chosenOption));
        Rig rig;
        rig.chain.baud = row.cameraBaud;
        Back b;
        std::size_t sentBefore = 0;
        rig.windows.script([&] {
            FrmOpen& o = rig.open();
            b.reason = o.LblReason.caption();
            b.error = o.LblDBG0.caption();
            for (int i = 0; i < 3; ++i) {
                if (o.OBrate[i].value()) b.speedOption = i;
            }
            sentBefore = rig.port.written().size();
            // The operator accepts the speed found.
            o.Command1.click();
        });
        rig.program->start();
        rig.open().OBrate[row.chosenOption].click();
        rig.open().Command1.click();
        rig.settle();
        EXPECT_EQ(b.error, "IF_Clear Error\r\nPort = 1");
        EXPECT_EQ(b.speedOption, row.foundOption);
        const std::string found = std::to_string(FrmOpen::kSpeeds[static_cast<std::size_t>(row.foundOption)]);
        EXPECT_EQ(b.reason.rfind("A camera answered at " + found + " bps", 0), 0u) << b.reason;
        // Nothing but interface clears went out before the operator chose.
        Bytes clears;
        for (int i = 0; i < row.clearsSent; ++i) clears.insert(clears.end(), {0x88, 0x01, 0x00, 0x01, 0xFF});
        EXPECT_EQ(Bytes(rig.port.written().begin(), rig.port.written().begin() + static_cast<long>(sentBefore)),
                  clears);
        EXPECT_TRUE(rig.main().visible());
        EXPECT_EQ(rig.main().Baudratetxt.text(), found);
    }
}

TEST(PortDialog, DeviceLineFollowsAdaptersPluggedInAndOut) {
    Rig rig;
    rig.program->start();
    FrmOpen& o = rig.open();
    EXPECT_EQ(o.LblDevice.caption(), "No serial device");
    rig.devices.present = {{"/dev/ttyUSB0", "USB serial adapter", "Maker Ltd", "A10K3"}};
    rig.run(1.1);
    EXPECT_EQ(o.LblDevice.caption(), "/dev/ttyUSB0  USB serial adapter, made by Maker Ltd, serial number A10K3");
    rig.devices.present.clear();
    rig.run(1.1);
    EXPECT_EQ(o.LblDevice.caption(), "No serial device");
    // The entries keep their texts.
    EXPECT_EQ(o.ComList1.items().front(), "Com 1");
    EXPECT_EQ(o.ComList1.items()[11], "Com 12");
    // Gone with the dialog: nothing looks at the devices any more.
    o.Command1.click();
    rig.settle();
    EXPECT_FALSE(o.TimerDevices.isEnabled());
}

TEST(PortDialog, SimulatorEntryOpensTheModelsTypedAndRefusesUnknownOnes) {
    Rig rig({"ORX-Beta"}, Rig::Routed{});
    rig.program->start();
    FrmOpen& o = rig.open();
    EXPECT_FALSE(o.TxtModels.visible());
    o.ComList1.choose(FrmOpen::kSimulatorEntry);
    EXPECT_EQ(o.ComList1.currentText(), "Simulator");
    EXPECT_TRUE(o.TxtModels.visible());
    EXPECT_EQ(o.LblDevice.caption(), "Built-in simulated chain: ORX-Kappa, ORX-Beta, KBM-R20");
    const std::size_t before = rig.mark();
    for (const char* bad : {"ORX-Kappa, ORX-Zeta", "", "KBM-R01,KBM-R01,KBM-R01,KBM-R01,KBM-R01,KBM-R01,KBM-R01,KBM-R01"}) {
        SCOPED_TRACE(bad);
        o.TxtModels.setText(bad);
        o.Command1.click();
        EXPECT_TRUE(o.visible());
        EXPECT_FALSE(rig.program->port.PortChosen);
        EXPECT_NE(o.LblReason.caption().find("Known models: ORX-Alpha, "), std::string::npos) << o.LblReason.caption();
    }
    EXPECT_NE(o.LblReason.caption().find("at most 7"), std::string::npos);
    o.TxtModels.setText("ORX-Kappa, ORX-Zeta");
    o.Command1.click();
    EXPECT_NE(o.LblReason.caption().find("\"ORX-Zeta\" is not a camera model"), std::string::npos);
    EXPECT_EQ(rig.mark(), before);
    EXPECT_FALSE(rig.main().isLoaded());

    EXPECT_EQ(o.LblDevice.caption(), "Built-in simulated chain: \"ORX-Zeta\" is not a camera model");
    // The reason is the simulator entry's: another entry chosen, it goes;
    // the error line keeps its caption until the next try.
    o.LblDBG0.setCaption("IF_Clear Error Port = 2");
    o.ComList1.choose(FrmOpen::kSimulatorEntry);
    EXPECT_TRUE(o.LblReason.visible());
    o.ComList1.choose(0);
    EXPECT_FALSE(o.LblReason.visible());
    EXPECT_EQ(o.LblReason.caption(), "");
    EXPECT_EQ(o.LblDBG0.caption(), "IF_Clear Error Port = 2");
    o.ComList1.choose(FrmOpen::kSimulatorEntry);
    EXPECT_FALSE(o.LblReason.visible());
    // Cameras listening at another speed are found like real ones.
    o.TxtModels.setText("ORX-Kappa@38400");
    rig.windows.script([&] {
        EXPECT_EQ(o.LblReason.caption().rfind("A camera answered at 38400 bps on the simulator (none at 9600", 0), 0u)
            << o.LblReason.caption();
        EXPECT_TRUE(o.OBrate[1].value());
        o.TxtModels.setText(FrmOpen::kDefaultModels);
        o.Command1.click();
    });
    o.Command1.click();
    rig.settle();
    ASSERT_TRUE(rig.main().visible());
    EXPECT_TRUE(rig.main().CameraSel[3].enabled());
    EXPECT_FALSE(rig.main().CameraSel[4].enabled());
    ASSERT_NE(rig.routing->chain(std::string("sim:") + FrmOpen::kDefaultModels), nullptr);
    // The rig's own chain (a device) heard nothing; the port number saved stays.
    EXPECT_EQ(rig.chain.receivedTotal(), 0u);
    rig.main().unload();
    EXPECT_EQ(rig.settings.values[std::string(Program::kTitle) + "/Settings/CommPort"], "1");
}
