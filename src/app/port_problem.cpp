#include "app/port_problem.h"

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

std::string devicesText(int n) {
    if (n <= 0) return "No serial device is present.";
    if (n == 1) return "1 serial device is present (Com 1).";
    return std::to_string(n) + " serial devices are present (Com 1 to Com " + std::to_string(n) + ").";
}

std::string deviceName(const PortTry& t) {
    if (!t.simulator.empty()) return "The simulator";
    if (!t.path.empty()) return t.path;
    if (!t.failure.path.empty()) return t.failure.path;
    return "Com " + std::to_string(t.comNumber);
}

std::string notAllowed(const PortTry& t) {
    const OpenFailure& f = t.failure;
    std::string s = deviceName(t) + ": you may not open this device.";
    if (f.group.empty()) return s + " Ask for read and write access to it, then try again.";
    return s + " It belongs to the group '" + f.group + "'. Add your user to the group '" + f.group +
           "': sudo usermod -aG " + f.group + " $USER, then log in again.";
}

std::string busy(const PortTry& t) {
    const OpenFailure& f = t.failure;
    std::string who;
    if (!f.holder.empty() && f.holderPid > 0) who = ": " + f.holder + " (process " + std::to_string(f.holderPid) + ")";
    else if (!f.holder.empty()) who = ": " + f.holder;
    else if (f.holderPid > 0) who = ": process " + std::to_string(f.holderPid);
    else who = " (the system does not let us see which)";
    return deviceName(t) + " is in use by another program" + who + ". Close that program, or choose another port.";
}

std::string missing(const PortTry& t) {
    if (t.failure.path.empty() && t.path.empty())
        return "Com " + std::to_string(t.comNumber) + ": there is no such serial device. " +
               devicesText(t.devicesPresent);
    std::string s = deviceName(t) + " does not exist or was unplugged";
    if (t.fromEnvironment) s += " (ORBUS_COM" + std::to_string(t.comNumber) + " names it)";
    return s + ". " + devicesText(t.devicesPresent);
}

std::string noAnswer(const PortTry& t) {
    std::string s = deviceName(t) + " opened, but no camera answered at " + std::to_string(t.speed) + " bps";
    if (!t.alsoTried.empty()) s += " (nor at " + speedsText(t.alsoTried) + " bps)";
    return s + ". Check the cable, that the camera is powered on, and its speed setting.";
}

}  // namespace

std::string portTryText(const PortTry& t) {
    if (t.answeredAt > 0)
        return "A camera answered at " + std::to_string(t.answeredAt) + " bps on " + deviceName(t) + " (none at " +
               std::to_string(t.speed) + " bps). That speed is selected now: press OK to connect.";
    if (t.addressSetFailed)
        return deviceName(t) + ": the chain answered the interface clear at " + std::to_string(t.speed) +
               " bps but not the address set (" + std::to_string(t.addressSetTries) +
               " tries). Check the cables between the cameras and that every camera is powered on.";
    switch (t.failure.kind) {
    case OpenFailure::Kind::None: return noAnswer(t);
    case OpenFailure::Kind::NotAllowed: return notAllowed(t);
    case OpenFailure::Kind::Busy: return busy(t);
    case OpenFailure::Kind::Missing: return missing(t);
    case OpenFailure::Kind::Other: break;
    }
    std::string s = deviceName(t) + " could not be opened";
    if (!t.failure.system.empty()) s += ": " + t.failure.system;
    return s + ".";
}

}  // namespace orbus
