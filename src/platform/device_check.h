// Why a serial device did not open, told from what the system shows about
// it: whether it exists, whether this user may read and write it, and which
// programs hold it. Plain POSIX (Linux /proc); the device itself is never
// opened, since opening a serial port raises its modem lines on a device
// someone else may be using. On Windows the port layer's answer alone
// decides (see diagnoseOpenFailure).
#pragma once

#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace orbus {

// What the port layer knew when the open failed: no such device, refused
// (not allowed, or held exclusively or through a lock file), anything else.
enum class OpenRefusal { Missing, Denied, Other };

// The system's facts about a device path.
struct DeviceFacts {
    bool exists = true;   // false: no such path, or a symlink to nothing
    bool denied = false;  // this user may not read and write it
    std::string group;    // the group owning it (its number when it has no name); may be empty
    bool groupMayOpen = false;  // that group may read and write it, and is not the administrators' (0)
    std::vector<DeviceHolder> holders;  // other programs holding it, the one to name first
};

// The facts about a device this user may not read and write, owned by group
// number `gid` named `group`, with permission bits `mode`: joining the group
// helps when it may read and write the device and is not the administrators'
// (number 0, or named root).
DeviceFacts deniedDeviceFacts(unsigned long gid, unsigned mode, const std::string& group);

// Why the open of `path` failed, from the facts: Missing when the path does
// not exist or the port layer said so; NotAllowed when this user may not
// read and write it; Busy when the port layer was refused anyway (holder
// named when known); Other otherwise. `path` and `system` are always filled
// (`system` falls back to the system's words for the kind when empty).
OpenFailure classifyOpenFailure(const std::string& path, OpenRefusal said, const std::string& systemText,
                                const DeviceFacts& facts);

// Gathers the facts about `path` for this process and classifies them.
// Looks for holders only when they can be the reason. On Windows nothing
// is looked at: a path is Missing only when empty or when the port layer
// said so, a refusal is Busy with no holder named.
OpenFailure diagnoseOpenFailure(const std::string& path, OpenRefusal said, const std::string& systemText);

// The directories where serial ports' lock files ("LCK..<name>") are kept.
const std::vector<std::string>& serialLockDirs();

// The live holders named by lock files in `lockDirs` (a program that
// locked the port says it uses it), then processes other than `ownPid`
// holding `path` open and not listed yet, found through <procRoot>/<pid>/fd
// (by device and inode, so a symlink to the device finds it too; processes
// we may not read are skipped), by pid.
// Bounded work; anything unreadable or odd is passed over. None on Windows.
std::vector<DeviceHolder> deviceHolders(const std::string& path, long ownPid, const std::string& procRoot = "/proc",
                                        const std::vector<std::string>& lockDirs = serialLockDirs());

}  // namespace orbus
