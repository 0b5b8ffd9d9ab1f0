// Why a serial device did not open: the classification, and the facts read
// from the system (a pseudo-terminal held here, a made-up /proc and lock directory).
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <tuple>

#include "platform/device_check.h"

using namespace orbus;
namespace fs = std::filesystem;
using Kind = OpenFailure::Kind;
using Holders = std::vector<DeviceHolder>;

TEST(DeviceCheck, ClassifiesFromTheFacts) {
    const Holders two = {{42, "term"}, {7, "other"}};
    struct Row {
        OpenRefusal said;
        DeviceFacts facts;
        Kind kind;
        std::string group;
        Holders holders;
    } rows[] = {
        {OpenRefusal::Other, {false, false, "", false, {}}, Kind::Missing, "", {}},
        {OpenRefusal::Missing, {true, false, "", false, two}, Kind::Missing, "", {}},
        {OpenRefusal::Denied, {true, true, "dialout", true, two}, Kind::NotAllowed, "dialout", {}},
        {OpenRefusal::Other, {true, true, "20", true, {}}, Kind::NotAllowed, "20", {}},
        // Joining a group that may not read and write it, or root's, helps nobody.
        {OpenRefusal::Denied, {true, true, "root", false, {}}, Kind::NotAllowed, "", {}},
        {OpenRefusal::Denied, {true, false, "dialout", true, two}, Kind::Busy, "", two},
        {OpenRefusal::Denied, {true, false, "", false, {}}, Kind::Busy, "", {}},  // holder hidden from us
        {OpenRefusal::Other, {true, false, "", false, two}, Kind::Other, "", {}},
    };
    for (const Row& r : rows) {
        const OpenFailure f = classifyOpenFailure("/dev/ttyS0", r.said, "words", r.facts);
        EXPECT_EQ(std::tie(f.kind, f.path, f.system, f.group, f.holders),
                  std::tie(r.kind, "/dev/ttyS0", "words", r.group, r.holders));
    }
    // Without the port layer's words the system's own stand in.
    EXPECT_FALSE(classifyOpenFailure("/dev/ttyS0", OpenRefusal::Denied, "", {}).system.empty());
}

#ifndef _WIN32
// The facts read from the system: symlinks, pseudo-terminals, /proc, lock
// files and fork() are POSIX's; these tests are left out of the Windows
// build, whose own facts are tested at the end.
namespace {

struct TempDir {
    fs::path dir;
    TempDir() {
        std::string t = (fs::temp_directory_path() / "orbus-devcheck-XXXXXX").string();
        if (!::mkdtemp(t.data())) throw std::runtime_error("no temporary directory");
        dir = fs::canonical(t);
    }
    ~TempDir() { fs::remove_all(dir); }
    std::string operator/(const std::string& name) const { return (dir / name).string(); }
};

void write(const std::string& file, const std::string& text) {
    fs::create_directories(fs::path(file).parent_path());
    fs::remove(file);
    std::ofstream(file) << text;
}

void link(const std::string& target, const std::string& at) {
    fs::create_directories(fs::path(at).parent_path());
    fs::create_symlink(target, at);
}

}  // namespace

TEST(DeviceCheck, PathsThatLeadNowhereAreMissing) {
    TempDir t;
    write(t / "file", "x");
    link(t / "gone", t / "dangling");
    for (const std::string& path : {std::string("/nonexistent-orbus/ttyUSB0"), t / "dangling", t / "file/sub",
                                    std::string(), std::string("/dev/null\0x", 11)}) {
        const OpenFailure f = diagnoseOpenFailure(path, OpenRefusal::Denied, "Permission denied");
        EXPECT_EQ(f.kind, Kind::Missing) << path;
        EXPECT_EQ(f.path, path);
    }
    EXPECT_EQ(diagnoseOpenFailure("/dev/null", OpenRefusal::Missing, "").kind, Kind::Missing);
    EXPECT_EQ(diagnoseOpenFailure("/dev/null", OpenRefusal::Other, "Timed out").kind, Kind::Other);
}

TEST(DeviceCheck, FindsTheProcessesHoldingAPseudoTerminal) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const std::string slave = ::ptsname(master);
    const int slaveFd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slaveFd, 0);
    TempDir t;
    link(slave, t / "com1");
    DeviceHolder self{static_cast<long>(getpid()), ""};
    std::getline(std::ifstream("/proc/self/comm"), self.program);
    EXPECT_EQ(deviceHolders(slave, 0), Holders{self});
    EXPECT_EQ(deviceHolders(t / "com1", 0), Holders{self});
    EXPECT_TRUE(deviceHolders(slave, self.pid).empty());
    // Another process holding it is named; this one is not.
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    const pid_t other = ::fork();
    if (other == 0) {  // lives until the gate closes
        ::close(gate[1]);
        _exit(::read(gate[0], &gate[1], 1) < 0);
    }
    const OpenFailure f = diagnoseOpenFailure(t / "com1", OpenRefusal::Denied, "Permission denied");
    EXPECT_EQ(f.kind, Kind::Busy);
    EXPECT_EQ(f.holders, (Holders{{long{other}, self.program}}));
    EXPECT_EQ(diagnoseOpenFailure(t / "com1", OpenRefusal::Other, "I/O error").kind, Kind::Other);
    ::close(gate[0]);
    ::close(gate[1]);
    ::waitpid(other, nullptr, 0);
    ::close(slaveFd);
    ::close(master);
}

TEST(DeviceCheck, LockFilesNameOnlyALiveHolderBeforeTheProcesses) {
    TempDir t;
    const std::string proc = t / "proc", locks = t / "locks", device = t / "dev/com1";
    std::string lock = locks + "/LCK.." + device;
    std::replace(lock.begin() + static_cast<long>(locks.size()) + 1, lock.end(), '/', '_');
    write(device, "");
    link(device, t / "alias");
    // Made-up processes: 456 holds the device; the rest hold nothing or are no processes.
    link(device, proc + "/456/fd/3");
    write(proc + "/456/comm", "holder\n");
    link(t / "gone", proc + "/789/fd/0");
    link(device, proc + "/abc/fd/1");
    fs::create_directories(proc + "/123");
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const long me = getpid();
    const std::string self = std::to_string(me);
    const DeviceHolder p456{456, "holder"};
    struct Row {
        std::string content;
        long ownPid;
        Holders expected;
    } rows[] = {
        {"", 0, {p456}},
        {"garbage\n", 0, {p456}},
        {"0\n", 0, {p456}},
        {"99999999999999999999\n", 0, {p456}},
        {"2147483647\napp\n", 0, {p456}},  // not running
        {self + "\napp\nelsewhere.invalid\n", 0, {p456}},
        {self + "\napp\n" + host + "\n", 0, {{me, "app"}, p456}},  // the one that locked it first
        {"      " + self + "\n", 456, {{me, ""}}},
        {self + "\napp\n", me, {p456}},
    };
    for (const Row& r : rows) {
        write(lock, r.content);
        EXPECT_EQ(deviceHolders(device, r.ownPid, proc, {locks}), r.expected) << r.content;
    }
    // The lock of the device a symlink leads to counts too.
    EXPECT_EQ(deviceHolders(t / "alias", 456, proc, {locks}), (Holders{{me, "app"}}));
    // A pipe where the lock file should be is not read (it would block).
    fs::remove(lock);
    ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0);
    EXPECT_EQ(deviceHolders(device, 0, proc, {locks}), Holders{p456});
    // Below /dev the lock is named without it.
    write(locks + "/LCK..serial_by-id_x", self + "\n");
    EXPECT_EQ(deviceHolders("/dev/serial/by-id/x", 0, proc, {locks}), (Holders{{me, ""}}));
    // A process holding the device that also took the lock is named once.
    link(device, proc + "/" + self + "/fd/4");
    write(lock, self + "\napp\n");
    EXPECT_EQ(deviceHolders(device, 456, proc, {locks}), (Holders{{me, "app"}}));
}
#else
TEST(DeviceCheck, OnWindowsThePortLayersAnswerDecides) {
    struct Row {
        std::string path;
        OpenRefusal said;
        Kind kind;
    } rows[] = {
        {"COM3", OpenRefusal::Denied, Kind::Busy},
        {"\\\\.\\COM12", OpenRefusal::Denied, Kind::Busy},
        {"COM3", OpenRefusal::Missing, Kind::Missing},
        {"COM3", OpenRefusal::Other, Kind::Other},
        {"", OpenRefusal::Denied, Kind::Missing},
        {std::string("COM3\0x", 6), OpenRefusal::Denied, Kind::Missing},
    };
    for (const Row& r : rows) {
        const OpenFailure f = diagnoseOpenFailure(r.path, r.said, "");
        EXPECT_EQ(std::tie(f.kind, f.path, f.group), std::tie(r.kind, r.path, "")) << r.path;
        EXPECT_TRUE(f.holders.empty()) << r.path;
    }
    EXPECT_TRUE(deviceHolders("COM3", 0).empty());
}
#endif
