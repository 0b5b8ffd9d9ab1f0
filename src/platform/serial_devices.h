// Which device "Com n" opens: the serial devices present on the machine and
// the mapping from the port dialog's numbers to them. The listing is a
// platform service (Qt's serial port information, or a fixed list in tests);
// the mapping is plain code shared by the port and the port dialog.
#pragma once

#include <string>
#include <vector>

namespace orbus {

struct SerialDevice {
    std::string path;         // "/dev/ttyUSB0"
    std::string description;  // "USB serial adapter"; may be empty
    std::string manufacturer{};  // the maker the adapter reports; may be empty
    std::string serialNumber{};  // the adapter's serial number; may be empty
};

class SerialDevices {
public:
    virtual ~SerialDevices() = default;
    // The serial devices present now, in any order.
    virtual std::vector<SerialDevice> list() const = 0;
    // What the operator set for "Com n" in the environment variable
    // ORBUS_COM<n>; empty when unset.
    virtual std::string chosenFor(int number) const;
    // Whether something is at this path now (a device, or a link to one).
    virtual bool exists(const std::string& path) const;
};

// What "Com n" opens.
struct PortTarget {
    std::string path;         // a device path or "sim:<models>"; empty: nothing to open
    std::string description;  // the listed device's description, maker and serial number
    bool present = true;      // false: the path ORBUS_COM<n> names leads nowhere now
};

// ORBUS_COM<n> when set; otherwise the n-th device present, counted in
// device-path order; nothing when fewer devices are present.
PortTarget portTarget(const SerialDevices& devices, int number);

// The port dialog's line for a target: "<path>  <description>" (the
// description left out when empty), "<path>  (not present)", or "No serial
// device".
std::string portTargetText(const PortTarget& t);

// The devices present, in the order "Com n" counts them.
std::vector<SerialDevice> devicesInComOrder(const SerialDevices& devices);

// Device paths in the order "Com n" counts them: text by character, runs of
// digits by value, so /dev/ttyUSB2 comes before /dev/ttyUSB10.
bool devicePathBefore(const std::string& a, const std::string& b);

}  // namespace orbus
