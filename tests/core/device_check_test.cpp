// Why a serial device did not open: the classification, and the facts read
// from the system (a pseudo-terminal this test holds, a made-up /proc and
// lock directory).
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/device_check.h"

using namespace orbus;
namespace fs = std::filesystem;
using Kind = OpenFailure::Kind;

namespace {

struct TempDir {
    fs::path dir;
    TempDir() {
        std::string t = (fs::temp_directory_path() / "orbus-devcheck-XXXXXX").string();
        dir = ::mkdtemp(t.data()) ? fs::canonical(t) : fs::path();
    }
    ~TempDir() { fs::remove_all(dir); }
    std::string operator/(const std::string& name) const { return (dir / name).string(); }
};

void write(const std::string& file, const std::string& text) {
    fs::create_directories(fs::path(file).parent_path());
    std::ofstream(file) << text;
}

std::string ownProgram() {
    std::string name;
    std::getline(std::ifstream("/proc/self/comm"), name);
    return name;
}

// A pseudo-terminal whose slave side this process holds open.
struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    std::string slave;
    int slaveFd = -1;
    Pty() {
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) slave = ::ptsname(master);
        slaveFd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
    }
    ~Pty() {
        ::close(slaveFd);
        ::close(master);
    }
};

}  // namespace

TEST(DeviceCheck, ClassifiesFromTheFacts) {
    const std::vector<DeviceHolder> two = {{42, "term"}, {7, "other"}};
    struct Row {
        OpenRefusal said;
        DeviceFacts facts;
        Kind kind;
        std::string group, holder;
        long pid;
    } rows[] = {
        {OpenRefusal::Other, {false, false, "", {}}, Kind::Missing, "", "", 0},
        {OpenRefusal::Missing, {true, false, "", two}, Kind::Missing, "", "", 0},
        {OpenRefusal::Denied, {true, true, "dialout", two}, Kind::NotAllowed, "dialout", "", 0},
        {OpenRefusal::Other, {true, true, "20", {}}, Kind::NotAllowed, "20", "", 0},
        {OpenRefusal::Denied, {true, false, "dialout", two}, Kind::Busy, "", "term", 42},
        {OpenRefusal::Denied, {true, false, "", {}}, Kind::Busy, "", "", 0},  // holder hidden from us
        {OpenRefusal::Other, {true, false, "", two}, Kind::Other, "", "", 0},
    };
    for (const Row& r : rows) {
        const OpenFailure f = classifyOpenFailure("/dev/ttyS0", r.said, "words", r.facts);
        SCOPED_TRACE(static_cast<int>(r.kind));
        EXPECT_EQ(f.kind, r.kind);
        EXPECT_EQ(f.path, "/dev/ttyS0");
        EXPECT_EQ(f.system, "words");
        EXPECT_EQ(f.group, r.group);
        EXPECT_EQ(f.holder, r.holder);
        EXPECT_EQ(f.holderPid, r.pid);
    }
    // Without the port layer's words the system's own stand in.
    EXPECT_FALSE(classifyOpenFailure("/dev/ttyS0", OpenRefusal::Denied, "", {}).system.empty());
}

TEST(DeviceCheck, PathsThatLeadNowhereAreMissing) {
    TempDir t;
    write(t / "file", "x");
    fs::create_symlink(t / "gone", t / "dangling");
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
    Pty pty;
    ASSERT_GE(pty.slaveFd, 0);
    TempDir t;
    const std::string link = t / "com1";
    fs::create_symlink(pty.slave, link);
    const DeviceHolder self{static_cast<long>(getpid()), ownProgram()};
    EXPECT_EQ(deviceHolders(pty.slave, 0), std::vector<DeviceHolder>{self});
    EXPECT_EQ(deviceHolders(link, 0), std::vector<DeviceHolder>{self});
    EXPECT_TRUE(deviceHolders(pty.slave, self.pid).empty());

    // Another process holding it is named; this one is not.
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        char c;
        ::close(gate[1]);
        _exit(::read(gate[0], &c, 1) < 0);
    }
    ::close(gate[0]);
    const OpenFailure f = diagnoseOpenFailure(link, OpenRefusal::Denied, "Permission denied");
    EXPECT_EQ(f.kind, Kind::Busy);
    EXPECT_EQ(f.holderPid, child);
    EXPECT_EQ(f.holder, self.program);
    EXPECT_EQ(diagnoseOpenFailure(link, OpenRefusal::Other, "I/O error").kind, Kind::Other);
    ::close(gate[1]);
    ::waitpid(child, nullptr, 0);
}

TEST(DeviceCheck, LockFilesNameOnlyALiveHolderAfterTheProcesses) {
    TempDir t;
    const std::string proc = t / "proc", locks = t / "locks", device = t / "dev/com1";
    write(device, "");
    fs::create_symlink(device, t / "alias");
    // Made-up processes: 456 holds the device; the rest hold nothing or are unreadable.
    fs::create_directories(proc + "/abc/fd");
    fs::create_directories(proc + "/123");
    fs::create_directories(proc + "/456/fd");
    fs::create_directories(proc + "/789/fd");
    fs::create_symlink(device, proc + "/456/fd/3");
    write(proc + "/456/comm", "holder\n");
    fs::create_symlink(t / "gone", proc + "/789/fd/0");
    fs::create_symlink(device, proc + "/abc/fd/1");

    const pid_t dead = ::fork();
    if (dead == 0) _exit(0);
    ::waitpid(dead, nullptr, 0);
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const long me = getpid();
    const std::string self = std::to_string(me);
    const DeviceHolder p456{456, "holder"};

    std::string lockName = "LCK.." + device;
    std::replace(lockName.begin(), lockName.end(), '/', '_');
    struct Row {
        std::string content;
        long ownPid;
        std::vector<DeviceHolder> expected;
    } rows[] = {
        {"", 0, {p456}},
        {"garbage\n", 0, {p456}},
        {"0\n", 0, {p456}},
        {"-1\n", 0, {p456}},
        {"99999999999999999999\n", 0, {p456}},
        {std::to_string(dead) + "\napp\n", 0, {p456}},
        {self + "\napp\nelsewhere.invalid\n", 0, {p456}},
        {self + "\napp\n" + host + "\n", 0, {p456, {me, "app"}}},
        {"      " + self + "\n", 456, {{me, ""}}},
        {self + "\napp\n", me, {p456}},
    };
    for (const Row& r : rows) {
        write(locks + "/" + lockName, r.content);
        EXPECT_EQ(deviceHolders(device, r.ownPid, proc, {locks}), r.expected) << r.content;
    }
    // The lock of the device a symlink leads to counts too.
    EXPECT_EQ(deviceHolders(t / "alias", 456, proc, {locks}), (std::vector<DeviceHolder>{{me, "app"}}));
    // A pipe where the lock file should be is not read (it would block).
    fs::remove(locks + "/" + lockName);
    ASSERT_EQ(::mkfifo((locks + "/" + lockName).c_str(), 0600), 0);
    EXPECT_EQ(deviceHolders(device, 0, proc, {locks}), std::vector<DeviceHolder>{p456});
    // Below /dev the lock is named without it.
    write(locks + "/LCK..serial_by-id_x", self + "\n");
    EXPECT_EQ(deviceHolders("/dev/serial/by-id/x", 0, proc, {locks}), (std::vector<DeviceHolder>{{me, ""}}));
    // A process holding the device that also took the lock is named once.
    fs::create_directories(proc + "/" + self + "/fd");
    fs::create_symlink(device, proc + "/" + self + "/fd/4");
    fs::remove(locks + "/" + lockName);
    write(locks + "/" + lockName, self + "\napp\n");
    EXPECT_EQ(deviceHolders(device, 456, proc, {locks}), (std::vector<DeviceHolder>{{me, ""}}));
}
