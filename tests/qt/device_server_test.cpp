// Cameras behind a serial device server: ser2net on a loopback port in front
// of orbus-camsim on a pseudo-terminal, reached as raw TCP and through the
// Telnet COM-PORT option, and the network port's refusals.
//
// ser2net missing fails these tests under the test command (which sets
// ORBUS_REQUIRE_SER2NET) and skips them, saying why, when the test program
// is run by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pantilt/frm_pantilt.h"
#include "app/qt_machine.h"
#include "platform/qt/qt_network_port.h"
#include "platform/testing/fakes.h"
#include "pty_support.h"
#include "ser2net_support.h"

using namespace orbus;
using orbus::testing::Camsim;
using orbus::testing::RecordingWindows;
using orbus::testing::Ser2net;
using orbus::testing::freePort;
using orbus::testing::ser2netProgram;
using orbus::testing::spin;

namespace {

// The packets orbus-camsim's trace shows in one direction ("<- " from the
// panel, "-> " to it).
std::vector<std::string> traced(const std::string& file, const char* direction) {
    std::ifstream in(file);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(direction, 0) == 0) out.push_back(line.substr(3));
    }
    return out;
}

// The packets the panel wrote, in order, from its command history's lines.
std::vector<std::string> written(const std::string& history) {
    std::vector<std::string> out;
    std::string line;
    for (char c : history) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        if (!line.empty()) out.push_back(line);
        line.clear();
    }
    return out;
}

// Qt's waits, message boxes recorded; when the start-up waits for the port
// dialog (a try failed), the test's step for it runs first. Without one the
// program ends there: a test never hangs on a dialog nobody answers.
class DialogWindows : public RecordingWindows {
public:
    bool waitUntil(const std::function<bool()>& condition) override {
        if (auto step = std::exchange(onWait, nullptr)) step();
        else if (!condition()) endProgram();
        return RecordingWindows::waitUntil(condition);
    }
    std::function<void()> onWait;
};

struct DeviceServer : ::testing::TestWithParam<bool> {
    bool comPort() const { return GetParam(); }
    void SetUp() override {
        if (!ser2netProgram().empty()) return;
        if (qEnvironmentVariableIsSet("ORBUS_REQUIRE_SER2NET"))
            FAIL() << "ser2net is not installed: scripts/install-deps.sh test installs it";
        GTEST_SKIP() << "ser2net is not installed (scripts/install-deps.sh test installs it)";
    }
    void TearDown() override {
        if (!trace.empty()) std::filesystem::remove(trace);
    }
    // orbus-camsim with `models` (and `extra` options) behind ser2net; it
    // writes what it sees to `trace` when a name is given.
    ::testing::AssertionResult serve(const std::string& models, const std::string& traceName,
                                     std::vector<std::string> extra = {}) {
        if (!traceName.empty()) trace = "/tmp/orbus-test-trace-" + traceName + "-" + std::to_string(getpid());
        sim = std::make_unique<Camsim>(models, Camsim::Options{trace, false, std::move(extra)});
        if (!sim->ready()) return ::testing::AssertionFailure() << "orbus-camsim did not start";
        server = std::make_unique<Ser2net>(sim->link(), comPort());
        if (!server->listening()) return ::testing::AssertionFailure() << server->said();
        return ::testing::AssertionSuccess();
    }
    orbus::testing::MemorySettings settings;
    DialogWindows windows;
    std::string trace;
    std::unique_ptr<Camsim> sim;
    std::unique_ptr<Ser2net> server;
};

// Starts the panel through the port dialog's network entry.
FrmMain& startOnNetwork(Program& program, const std::string& address, int speedOption = 0) {
    program.frmMain().tasks().driveEachToEnd([](const std::function<bool()>& ended) { spin(ended, 30000); });
    program.start();
    FrmOpen& o = program.frmOpen();
    o.ComList1.choose(FrmOpen::kNetworkEntry);
    o.TxtAddress.setText(address);
    o.OBrate[speedOption].click();
    o.Command1.click();
    spin([&] { return (program.frmMain().visible() && program.frmMain().linkIdle()) || program.platform.windows.ending(); },
         30000);
    return program.frmMain();
}

}  // namespace

// Start-up of a three-camera chain, identification, a command and its
// completion, a status read, and every packet across byte for byte, an FF
// in the middle of one included.
TEST_P(DeviceServer, ChainOfThreeWorksAsOnALocalPort) {
    ASSERT_TRUE(serve("ORX-Beta,ORX-Gamma,KBM-R05", "net"));
    qt::QtMachine machine(settings, windows);
    {
        Program program(machine.platform);
        FrmMain& m = startOnNetwork(program, server->address(comPort()));
        ASSERT_TRUE(m.visible()) << program.frmOpen().LblReason.caption();
        EXPECT_EQ(m.StatusPort.caption(), "Com  " + server->address(comPort()) + "  9600 bps");
        EXPECT_TRUE(m.CameraSel[3].enabled());
        EXPECT_FALSE(m.CameraSel[4].enabled());
        EXPECT_EQ(m.ModelVersion.text(), "ORX-Beta");
        m.CameraSel[2].click();
        EXPECT_EQ(m.ModelVersion.text(), "ORX-Gamma");
        m.CameraSel[1].click();

        m.RecvText.setText("");
        m.DirectText.type("8101043903FF\r");
        EXPECT_TRUE(spin([&] { return m.RecvText.text() == "90 41 FF \r\n90 51 FF \r\n"; }, 3000)) << m.RecvText.text();
        m.linkControl().refreshGaveUp(0);  // forget an older failure
        ASSERT_TRUE(m.ReadCameraStatus());
        spin([&] { return m.linkIdle(); }, 10000);
        EXPECT_EQ(program.link.LastRefreshError, 0);
        EXPECT_TRUE(m.Manual.checked());
        // An FF inside what the console sends reaches the camera as one
        // byte: the packet after it is read as a packet of its own.
        const auto pair = [&] {
            const std::vector<std::string> got = traced(trace, "<- ");
            for (std::size_t i = 0; i + 1 < got.size(); ++i) {
                if (got[i] == "81 01 FF" && got[i + 1] == "81 09 00 02 FF") return true;
            }
            return false;
        };
        m.DirectText.type("8101FF81090002FF\r");
        EXPECT_TRUE(spin(pair, 2000));
        EXPECT_TRUE(windows.messages.empty());

        // Everything else the history shows arrived as it was written.
        const std::vector<std::string> got = traced(trace, "<- ");
        for (const std::string& s : written(m.SendText.text())) {
            if (s == "81 01 FF 81 09 00 02 FF") continue;
            EXPECT_NE(std::find(got.begin(), got.end(), s), got.end()) << s;
        }
    }
}

// The speed chosen (38400) reaches a simulator listening at 38400 bps only
// through COM-PORT; over raw TCP the line runs at the server's 9600 bps, no
// other speed is tried, and the dialog says why. At 9600, the COM-PORT
// speed search finds the camera.
TEST_P(DeviceServer, TheSpeedIsSetThroughComPortOnly) {
    ASSERT_TRUE(serve("ORX-Beta", "", {"--baud", "38400"}));
    qt::QtMachine machine(settings, windows);
    Program program(machine.platform);
    std::string reason;
    windows.onWait = [&] {
        FrmOpen& o = program.frmOpen();
        reason = o.LblReason.caption();
        EXPECT_TRUE(o.OBrate[1].value());
        o.unload();
    };
    FrmMain& m = startOnNetwork(program, server->address(comPort()), 1);
    if (!comPort()) {
        EXPECT_FALSE(m.visible());
        EXPECT_EQ(reason.rfind(server->address(false) + " connected, but no camera answered. Over raw TCP the line's "
                                                      "speed is the device server's own setting", 0),
                  0u)
            << reason;
        return;
    }
    ASSERT_TRUE(m.visible()) << reason;
    auto* port = dynamic_cast<qt::QtNetworkPort*>(machine.port.current());
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->serverBaud(), 38400);
    EXPECT_EQ(m.StatusPort.caption(), "Com  " + server->address(true) + "  38400 bps");
}

TEST(DeviceServerSpeed, TheSpeedSearchFindsTheCameraThroughComPort) {
    if (ser2netProgram().empty()) {
        if (qEnvironmentVariableIsSet("ORBUS_REQUIRE_SER2NET"))
            FAIL() << "ser2net is not installed: scripts/install-deps.sh test installs it";
        GTEST_SKIP() << "ser2net is not installed (scripts/install-deps.sh test installs it)";
    }
    Camsim sim("ORX-Beta", {"", false, {"--baud", "38400"}});
    ASSERT_TRUE(sim.ready());
    Ser2net server(sim.link(), true);
    ASSERT_TRUE(server.listening()) << server.said();
    orbus::testing::MemorySettings settings;
    DialogWindows windows;
    qt::QtMachine machine(settings, windows);
    Program program(machine.platform);
    std::string reason;
    windows.onWait = [&] {
        FrmOpen& o = program.frmOpen();
        reason = o.LblReason.caption();
        EXPECT_TRUE(o.OBrate[1].value());
        o.Command1.click();
    };
    FrmMain& m = startOnNetwork(program, server.address(true), 0);
    EXPECT_EQ(reason.rfind("A camera answered at 38400 bps on " + server.address(true) + " (none at 9600 bps)", 0), 0u)
        << reason;
    EXPECT_TRUE(m.visible());
    EXPECT_EQ(m.StatusPort.caption(), "Com  " + server.address(true) + "  38400 bps");
}

// The device server stopped in the middle of the automatic refresh with the
// head moving: told once with its reason; I/F Clear opens it again once it
// is back, and the stop owed goes out at once.
TEST_P(DeviceServer, AServerStoppedAndStartedAgainMidRefresh) {
    ASSERT_TRUE(serve("ORX-Beta", "net-stop"));
    qt::QtMachine machine(settings, windows);
    {
        Program program(machine.platform);
        FrmMain& m = startOnNetwork(program, server->address(comPort()));
        ASSERT_TRUE(m.visible()) << program.frmOpen().LblReason.caption();
        FrmPanTilt& pt = program.frmPanTilt();
        m.AutoRefreshed.click();
        spin([] { return false; }, 2500);
        EXPECT_TRUE(windows.messages.empty());
        KeyEvent right;
        right.key = Key::Right;
        right.focus = &pt.Pan_Tilt_Stop[0];
        ASSERT_TRUE(pt.keyDown(right));
        spin([] { return false; }, 300);

        server->stop();
        EXPECT_TRUE(spin([&] { return !windows.messages.empty(); }, 8000));
        pt.keyUp(right);
        spin([] { return false; }, 2500);
        ASSERT_EQ(windows.messages.size(), 1u);
        EXPECT_NE(windows.messages[0].text.find("serial port is gone"), std::string::npos);
        EXPECT_NE(windows.messages[0].text.find("connection closed by the device server"), std::string::npos)
            << windows.messages[0].text;
        EXPECT_EQ(pt.owedStops(), std::set<int>{1});

        server->start();
        ASSERT_TRUE(server->listening()) << server->said();
        const std::size_t before = traced(trace, "<- ").size();
        m.IFClearB.click();
        EXPECT_TRUE(spin([&] { return pt.owedStops().empty(); }, 3000));
        EXPECT_TRUE(spin(
            [&] {
                const auto got = traced(trace, "<- ");
                return std::find(got.begin() + static_cast<long>(before), got.end(), "81 01 06 01 18 18 03 03 FF") !=
                       got.end();
            },
            3000));
        EXPECT_EQ(windows.messages.size(), 1u);
        m.linkControl().refreshGaveUp(0);  // forget an older failure
        ASSERT_TRUE(m.ReadCameraStatus());
        spin([&] { return m.linkIdle(); }, 10000);
        EXPECT_EQ(program.link.LastRefreshError, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, DeviceServer, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return std::string(i.param ? "ComPort" : "Raw"); });

// What opening says when no device server can be had: nothing listening, a
// name that does not resolve, and a server that holds its port for another
// client. Nothing is left open and nothing is written.
TEST(NetworkPortRefusals, EachIsToldWithItsReason) {
    const std::string ser2net = ser2netProgram();
    Camsim sim("ORX-Beta");
    ASSERT_TRUE(sim.ready());
    std::unique_ptr<Ser2net> server;
    std::unique_ptr<qt::QtNetworkPort> holder;
    if (!ser2net.empty()) {
        server = std::make_unique<Ser2net>(sim.link(), true);
        holder = std::make_unique<qt::QtNetworkPort>(server->address(true));
        ASSERT_TRUE(holder->open()) << holder->lastError();
    } else if (qEnvironmentVariableIsSet("ORBUS_REQUIRE_SER2NET")) {
        FAIL() << "ser2net is not installed: scripts/install-deps.sh test installs it";
    }
    struct Row {
        std::string address;
        std::string says;
    };
    std::vector<Row> rows = {
        {"tcp://127.0.0.1:" + std::to_string(freePort()), "connection refused by 127.0.0.1:"},
        {"rfc2217://no-such-host.invalid:7001", "the host name no-such-host.invalid does not resolve"},
        {"tcp://127.0.0.1:70000", "is no network port (the port number is 1 to 65535, not 70000)"},
    };
    if (server) rows.push_back({server->address(true), "refused the connection: Port already in use"});
    for (const Row& r : rows) {
        SCOPED_TRACE(r.address);
        qt::QtNetworkPort port(r.address);
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(port.open());
        EXPECT_LE(t.elapsed(), qt::QtNetworkPort::kConnectMs + 500);
        EXPECT_FALSE(port.isOpen());
        EXPECT_NE(port.lastError().find(r.says), std::string::npos) << port.lastError();
        EXPECT_EQ(port.openFailure().kind, OpenFailure::Kind::Other);
        EXPECT_EQ(port.openFailure().path, r.address);
        EXPECT_FALSE(port.output({0x88, 0x01, 0x00, 0x01, 0xFF}));
        EXPECT_EQ(port.inBufferCount(), 0);
    }
    // The holder still has the camera.
    if (holder) {
        ASSERT_TRUE(holder->isOpen());
        ASSERT_TRUE(holder->output({0x81, 0x09, 0x00, 0x02, 0xFF}));
        EXPECT_TRUE(spin([&] { return holder->inBufferCount() >= 10; }, 2000));
    }
}
