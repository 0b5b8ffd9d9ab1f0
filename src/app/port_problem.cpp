#include "app/port_problem.h"

#include <algorithm>

#include "platform/net_address.h"

namespace orbus {

namespace {

std::string speedsText(const std::vector<int>& speeds) {
    std::string s;
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        if (i > 0) s += i + 1 == speeds.size() ? " or " : ", ";
        s += std::to_string(speeds[i]);
    }
    return s;
}

std::string devicesText(const std::vector<std::string>& devices) {
    constexpr std::size_t kNamed = 4;
    if (devices.empty()) return "No serial device is present.";
    std::string s = devices.size() == 1 ? "1 serial device is present: "
                                        : std::to_string(devices.size()) + " serial devices are present: ";
    for (std::size_t i = 0; i < devices.size() && i < kNamed; ++i) s += (i ? ", " : "") + devices[i];
    if (devices.size() > kNamed) s += " and " + std::to_string(devices.size() - kNamed) + " more";
    return s + ".";
}

// What was tried, as the middle of a sentence names it.
std::string deviceName(const PortTry& t) {
    if (!t.simulator.empty()) return "the simulator";
    if (!t.path.empty()) return t.path;
    if (!t.failure.path.empty()) return t.failure.path;
    return "Com " + std::to_string(t.comNumber);
}

// The same, starting a sentence.
std::string DeviceName(const PortTry& t) {
    std::string s = deviceName(t);
    // A network address is written as it is typed.
    if (looksLikeNetAddress(s)) return s;
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

std::string notAllowed(const PortTry& t) {
    const OpenFailure& f = t.failure;
    std::string s = DeviceName(t) + ": you may not open this device.";
    if (f.group.empty()) return s + " Only its owner may read and write it: ask an administrator for access, then try again.";
    return s + " It belongs to the group '" + f.group + "'. Add your user to the group '" + f.group +
           "': sudo usermod -aG " + f.group + " $USER, then log in again.";
}

// The first three holders by name, the rest counted: "a, b and c", or
// "a, b, c and 2 more".
std::string busy(const PortTry& t) {
    constexpr std::size_t kNamed = 3;
    const std::vector<DeviceHolder>& holders = t.failure.holders;
    const std::size_t named = std::min(holders.size(), kNamed);
    const bool more = holders.size() > kNamed;
    std::string who;
    for (std::size_t i = 0; i < named; ++i) {
        const DeviceHolder& h = holders[i];
        who += i == 0 ? ": " : i + 1 == named && !more ? " and " : ", ";
        if (h.program.empty()) who += "process " + std::to_string(h.pid);
        else who += h.program + " (process " + std::to_string(h.pid) + ")";
    }
    if (more) who += " and " + std::to_string(holders.size() - kNamed) + " more";
    if (holders.empty()) who = " (the system does not let us see which)";
    const char* close = holders.size() > 1 ? ". Close the one that uses it" : ". Close that program";
    return DeviceName(t) + " is in use by another program" + who + close + ", or choose another port.";
}

std::string missing(const PortTry& t) {
    if (t.failure.path.empty() && t.path.empty())
        return "Com " + std::to_string(t.comNumber) + ": there is no such serial device. " + devicesText(t.devices);
    std::string s = DeviceName(t) + " does not exist or was unplugged";
    if (t.fromEnvironment) s += " (ORBUS_COM" + std::to_string(t.comNumber) + " names it)";
    return s + ". " + devicesText(t.devices);
}

// The address tried, when it is a network port.
bool networkAddress(const PortTry& t, NetAddress& a) {
    return t.simulator.empty() && parseNetAddress(deviceName(t), a);
}

std::string noAnswer(const PortTry& t) {
    NetAddress a;
    if (networkAddress(t, a) && a.kind == NetAddress::Kind::Raw)
        return DeviceName(t) + " connected, but no camera answered. Over raw TCP the line's speed is the device "
                               "server's own setting, not the one chosen here: set it there to the camera's speed "
                               "(or use rfc2217://, which sets it from here). Check the cable from the server to the "
                               "camera and that the camera is powered on.";
    std::string s = DeviceName(t) + (networkAddress(t, a) ? " connected" : " opened") +
                    ", but no camera answered at " + std::to_string(t.speed) + " bps";
    if (!t.alsoTried.empty()) s += " (nor at " + speedsText(t.alsoTried) + " bps)";
    return s + ". Check the cable, that the camera is powered on, and its speed setting.";
}

// A device server that could not be reached, with what to check.
std::string notConnected(const PortTry& t) {
    const std::string& words = t.failure.system;
    std::string s = DeviceName(t) + ": no connection";
    if (!words.empty()) s += ": " + words;
    if (words.find("refused the connection") != std::string::npos)
        return s + ". Another program holds the camera's port on the server: close it, then try again.";
    if (words.find("refused") != std::string::npos)
        return s + ". Check the port number and that the device server runs.";
    if (words.find("does not resolve") != std::string::npos)
        return s + ". Check the host name, or write the server's IP address.";
    if (words.find("is no network port") != std::string::npos) return s + ".";
    return s + ". Check the address, the network and that the device server runs.";
}

}  // namespace

std::string portTryText(const PortTry& t) {
    if (t.answeredAt > 0)
        return "A camera answered at " + std::to_string(t.answeredAt) + " bps on " + deviceName(t) + " (none at " +
               std::to_string(t.speed) + " bps). That speed is selected now: press OK to connect.";
    if (t.addressSetFailed)
        return DeviceName(t) + ": the chain answered the interface clear at " + std::to_string(t.speed) +
               " bps but not the address set (" + std::to_string(t.addressSetTries) +
               " tries). Check the cables between the cameras and that every camera is powered on.";
    switch (t.failure.kind) {
    case OpenFailure::Kind::None: return noAnswer(t);
    case OpenFailure::Kind::NotAllowed: return notAllowed(t);
    case OpenFailure::Kind::Busy: return busy(t);
    case OpenFailure::Kind::Missing: return missing(t);
    case OpenFailure::Kind::Other: break;
    }
    if (t.simulator.empty() && looksLikeNetAddress(deviceName(t))) return notConnected(t);
    std::string s = DeviceName(t) + " could not be opened";
    if (!t.failure.system.empty()) s += ": " + t.failure.system;
    return s + ".";
}

}  // namespace orbus
