#include "platform/device_check.h"

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace orbus {

namespace {

bool hasNul(const std::string& s) { return s.find('\0') != std::string::npos; }

// A device's permission bits for its group.
constexpr unsigned kGroupRead = 040, kGroupWrite = 020;

#ifndef _WIN32
static_assert(S_IRGRP == kGroupRead && S_IWGRP == kGroupWrite);

// Limits that keep a look at a crowded or odd system short.
constexpr std::size_t kMaxProcesses = 1 << 17;
constexpr std::size_t kMaxFdChecks = 1 << 20;
constexpr std::size_t kMaxHolders = 64;
constexpr std::size_t kMaxFileBytes = 4096;
constexpr std::size_t kMaxProgramBytes = 64;

bool allDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A process id in the system's range, or 0.
long pidFrom(const std::string& digits) {
    if (!allDigits(digits) || digits.size() > 10) return 0;
    const long long v = std::strtoll(digits.c_str(), nullptr, 10);
    return v >= 1 && v <= INT_MAX ? static_cast<long>(v) : 0;
}

std::string trimmed(const std::string& s) {
    const char* blanks = " \t\r\n";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// At most kMaxProgramBytes, not cutting a UTF-8 character.
std::string shortName(std::string s) {
    if (s.size() <= kMaxProgramBytes) return s;
    std::size_t end = kMaxProgramBytes;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
    s.resize(end);
    return s;
}

// The first kMaxFileBytes of a regular file. Anything else (a pipe that
// would block, a device, a symlink) is left unopened or unread.
bool readSmallFile(const std::string& file, std::string& out) {
    struct stat named {};
    if (::lstat(file.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat opened {};
    bool ok = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_dev == named.st_dev &&
              opened.st_ino == named.st_ino;
    out.clear();
    char buf[512];
    while (ok && out.size() < kMaxFileBytes) {
        const ssize_t n = ::read(fd, buf, std::min(sizeof buf, kMaxFileBytes - out.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok;
}

std::string programOf(const std::string& procRoot, long pid) {
    std::string comm;
    if (!readSmallFile(procRoot + "/" + std::to_string(pid) + "/comm", comm)) return "";
    return shortName(trimmed(comm));
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool processHolds(const std::string& procRoot, long pid, const struct stat& target, std::size_t& fdBudget) {
    const std::string fdDir = procRoot + "/" + std::to_string(pid) + "/fd";
    DIR* dir = ::opendir(fdDir.c_str());
    if (!dir) return false;  // gone, or not ours to read
    bool holds = false;
    while (!holds && fdBudget > 0) {
        const dirent* e = ::readdir(dir);
        if (!e) break;
        if (!allDigits(e->d_name)) continue;
        --fdBudget;
        struct stat st {};
        holds = ::stat((fdDir + "/" + e->d_name).c_str(), &st) == 0 && sameFile(st, target);
    }
    ::closedir(dir);
    return holds;
}

std::vector<DeviceHolder> processHolders(const std::string& path, long ownPid, const std::string& procRoot) {
    std::vector<DeviceHolder> found;
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) return found;
    DIR* dir = ::opendir(procRoot.c_str());
    if (!dir) return found;
    std::size_t processes = 0, fdBudget = kMaxFdChecks;
    while (processes < kMaxProcesses && fdBudget > 0 && found.size() < kMaxHolders) {
        const dirent* e = ::readdir(dir);
        if (!e) break;
        const long pid = pidFrom(e->d_name);
        if (pid == 0 || pid == ownPid) continue;
        ++processes;
        if (processHolds(procRoot, pid, target, fdBudget)) found.push_back({pid, programOf(procRoot, pid)});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), [](const DeviceHolder& a, const DeviceHolder& b) { return a.pid < b.pid; });
    return found;
}

// The lock file's name for a device path: the path below /dev, or the whole
// path outside it, with '/' made '_' ("/dev/ttyUSB0" gives "LCK..ttyUSB0").
std::string lockFileName(const std::string& path) {
    std::string name = path.rfind("/dev/", 0) == 0 ? path.substr(5) : path;
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

std::string hostName() {
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0) return "";
    return buf;
}

bool running(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

// The holder a lock file names: its first line is the pid, then (when
// written) the program's name and the host. A lock left by a process that
// is gone, or by another host, names nobody.
bool lockHolder(const std::string& file, const std::string& procRoot, DeviceHolder& out) {
    std::string text;
    if (!readSmallFile(file, text)) return false;
    std::vector<std::string> lines;
    for (std::size_t from = 0; from <= text.size() && lines.size() < 3;) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        lines.push_back(trimmed(text.substr(from, end - from)));
        from = end + 1;
    }
    const long pid = pidFrom(lines[0]);
    if (pid == 0) return false;
    if (lines.size() > 2 && !lines[2].empty() && lines[2] != hostName()) return false;
    if (!running(pid)) return false;
    out.pid = pid;
    out.program = programOf(procRoot, pid);
    if (out.program.empty() && lines.size() > 1) out.program = shortName(lines[1]);
    return true;
}

// The group's name, or its number when it has none.
std::string groupName(gid_t gid) {
    const long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<std::size_t>(size) : 1024);
    struct group g {};
    struct group* found = nullptr;
    int rc;
    while ((rc = ::getgrgid_r(gid, &g, buf.data(), buf.size(), &found)) == ERANGE && buf.size() < (1u << 20))
        buf.resize(buf.size() * 2);
    if (rc == 0 && found && found->gr_name && *found->gr_name) return found->gr_name;
    return std::to_string(gid);
}
#endif  // !_WIN32

}  // namespace

DeviceFacts deniedDeviceFacts(unsigned long gid, unsigned mode, const std::string& group) {
    DeviceFacts facts;
    facts.denied = true;
    facts.group = group;
    facts.groupMayOpen = gid != 0 && group != "root" && (mode & kGroupRead) && (mode & kGroupWrite);
    return facts;
}

OpenFailure classifyOpenFailure(const std::string& path, OpenRefusal said, const std::string& systemText,
                                const DeviceFacts& facts) {
    OpenFailure f;
    f.path = path;
    f.system = systemText;
    int fallback = 0;
    if (!facts.exists || said == OpenRefusal::Missing) {
        f.kind = OpenFailure::Kind::Missing;
        fallback = ENOENT;
    } else if (facts.denied) {
        f.kind = OpenFailure::Kind::NotAllowed;
        if (facts.groupMayOpen) f.group = facts.group;
        fallback = EACCES;
    } else if (said == OpenRefusal::Denied) {
        f.kind = OpenFailure::Kind::Busy;
        f.holders = facts.holders;
        fallback = EBUSY;
    } else {
        f.kind = OpenFailure::Kind::Other;
    }
    if (f.system.empty() && fallback != 0) f.system = std::strerror(fallback);
    return f;
}

const std::vector<std::string>& serialLockDirs() {
    static const std::vector<std::string> dirs = {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                                                  "/tmp"};
    return dirs;
}

#ifdef _WIN32
// A serial port here ("COM3", "\\.\COM3") is no file to look at, who may
// open it is no matter of groups, and neither lock files nor a process
// table tell who holds it: the port layer's own answer decides, and a
// refusal means another program has the port.
OpenFailure diagnoseOpenFailure(const std::string& path, OpenRefusal said, const std::string& systemText) {
    DeviceFacts facts;
    facts.exists = !path.empty() && !hasNul(path);
    return classifyOpenFailure(path, said, systemText, facts);
}

std::vector<DeviceHolder> deviceHolders(const std::string&, long, const std::string&, const std::vector<std::string>&) {
    return {};
}
#else
OpenFailure diagnoseOpenFailure(const std::string& path, OpenRefusal said, const std::string& systemText) {
    DeviceFacts facts;
    struct stat st {};
    bool statted = false;
    if (hasNul(path)) {
        facts.exists = false;  // the system would be asked about a shorter path
    } else {
        statted = ::stat(path.c_str(), &st) == 0;
        facts.exists = statted || (errno != ENOENT && errno != ENOTDIR);
    }
    if (!facts.exists || said == OpenRefusal::Missing) return classifyOpenFailure(path, said, systemText, facts);

    if (::access(path.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM)) {
        if (statted) facts = deniedDeviceFacts(st.st_gid, st.st_mode, groupName(st.st_gid));
        else facts.denied = true;
    } else if (said == OpenRefusal::Denied) {
        facts.holders = deviceHolders(path, static_cast<long>(::getpid()));
    }
    return classifyOpenFailure(path, said, systemText, facts);
}

std::vector<DeviceHolder> deviceHolders(const std::string& path, long ownPid, const std::string& procRoot,
                                        const std::vector<std::string>& lockDirs) {
    if (path.empty() || hasNul(path)) return {};
    std::vector<DeviceHolder> holders;

    // A lock may be taken under the name the port was opened by or under the
    // device a symlink leads to.
    std::vector<std::string> names = {lockFileName(path)};
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        if (const std::string r = lockFileName(real); r != names.front()) names.push_back(r);
        std::free(real);
    }
    for (const std::string& dir : lockDirs) {
        for (const std::string& name : names) {
            std::string lockFile = dir;
            lockFile += '/';
            lockFile += name;
            DeviceHolder h;
            if (holders.size() >= kMaxHolders || !lockHolder(lockFile, procRoot, h) || h.pid == ownPid)
                continue;
            const bool listed = std::any_of(holders.begin(), holders.end(),
                                            [&](const DeviceHolder& o) { return o.pid == h.pid; });
            if (!listed) holders.push_back(h);
        }
    }
    for (const DeviceHolder& h : processHolders(path, ownPid, procRoot)) {
        const bool listed = std::any_of(holders.begin(), holders.end(),
                                        [&](const DeviceHolder& o) { return o.pid == h.pid; });
        if (!listed && holders.size() < kMaxHolders) holders.push_back(h);
    }
    return holders;
}
#endif  // !_WIN32

}  // namespace orbus
