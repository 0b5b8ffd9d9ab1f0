// What the port dialog says when a device did not open: the advice on
// access, and the devices and the holders of a busy port, named then counted.
#include <gtest/gtest.h>

#include "app/port_problem.h"
#include "platform/device_check.h"

using namespace orbus;

namespace {

PortTry failed(OpenFailure f) {
    PortTry t;
    t.failure = std::move(f);
    return t;
}

}  // namespace

TEST(PortProblem, AdvisesJoiningOnlyAGroupThatHelps) {
    const std::string joinDialout = "/dev/ttyS0: you may not open this device. It belongs to the group 'dialout'. "
                                    "Add your user to the group 'dialout': sudo usermod -aG dialout $USER, then "
                                    "log in again.";
    const std::string askOwner = "/dev/ttyS0: you may not open this device. Only its owner may read and write it: "
                                 "ask an administrator for access, then try again.";
    struct Row {
        unsigned long gid;
        unsigned mode;
        std::string group;
        const std::string& says;
    } rows[] = {
        {20, 0660, "dialout", joinDialout},
        {20, 0666, "dialout", joinDialout},
        {0, 0660, "root", askOwner},     // the administrators' group, by number
        {0, 0660, "wheel", askOwner},    // by number, whatever its name here
        {42, 0660, "root", askOwner},    // by name, whatever its number here
        {20, 0640, "dialout", askOwner}, // the group may not write it
        {20, 0620, "dialout", askOwner}, // nor read it
        {20, 0600, "dialout", askOwner},
    };
    for (const Row& r : rows) {
        const DeviceFacts facts = deniedDeviceFacts(r.gid, r.mode, r.group);
        const PortTry t = failed(classifyOpenFailure("/dev/ttyS0", OpenRefusal::Denied, "", facts));
        EXPECT_EQ(portTryText(t), r.says) << r.gid << " " << std::oct << r.mode << " " << r.group;
    }
}

TEST(PortProblem, NamesTheFirstDevicesAndHoldersAndCountsTheRest) {
    const std::vector<std::string> devices = {"/dev/ttyS0 (Com 1)", "/dev/ttyS1 (Com 2)", "/dev/ttyS2 (Com 3)",
                                              "/dev/ttyS3 (Com 4)", "/dev/ttyS4 (Com 5)", "/dev/ttyS5 (Com 6)"};
    struct DeviceRow {
        std::size_t present;
        std::string says;
    } deviceRows[] = {
        {0, "No serial device is present."},
        {1, "1 serial device is present: /dev/ttyS0 (Com 1)."},
        {4, "4 serial devices are present: /dev/ttyS0 (Com 1), /dev/ttyS1 (Com 2), /dev/ttyS2 (Com 3), "
            "/dev/ttyS3 (Com 4)."},
        {5, "5 serial devices are present: /dev/ttyS0 (Com 1), /dev/ttyS1 (Com 2), /dev/ttyS2 (Com 3), "
            "/dev/ttyS3 (Com 4) and 1 more."},
        {6, "6 serial devices are present: /dev/ttyS0 (Com 1), /dev/ttyS1 (Com 2), /dev/ttyS2 (Com 3), "
            "/dev/ttyS3 (Com 4) and 2 more."},
    };
    for (const DeviceRow& r : deviceRows) {
        OpenFailure f;
        f.kind = OpenFailure::Kind::Missing;
        PortTry t = failed(f);
        t.comNumber = 9;
        t.devices.assign(devices.begin(), devices.begin() + static_cast<long>(r.present));
        EXPECT_EQ(portTryText(t), "Com 9: there is no such serial device. " + r.says);
    }

    const std::vector<DeviceHolder> holders = {{7, "term"}, {8, ""}, {9, "x"}, {10, "y"}, {11, "z"}};
    const std::string one = ". Close that program, or choose another port.";
    const std::string several = ". Close the one that uses it, or choose another port.";
    struct HolderRow {
        std::size_t holding;
        std::string says;
    } holderRows[] = {
        {0, " (the system does not let us see which)" + one},
        {1, ": term (process 7)" + one},
        {2, ": term (process 7) and process 8" + several},
        {3, ": term (process 7), process 8 and x (process 9)" + several},
        {4, ": term (process 7), process 8, x (process 9) and 1 more" + several},
        {5, ": term (process 7), process 8, x (process 9) and 2 more" + several},
    };
    for (const HolderRow& r : holderRows) {
        OpenFailure f;
        f.kind = OpenFailure::Kind::Busy;
        f.path = "/dev/ttyS0";
        f.holders.assign(holders.begin(), holders.begin() + static_cast<long>(r.holding));
        EXPECT_EQ(portTryText(failed(f)), "/dev/ttyS0 is in use by another program" + r.says);
    }
}
