// The Qt serial path end to end, through a real pseudo-terminal served by
// orbus-camsim.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "app/frm_main.h"
#include "app/frm_open.h"
#include "app/program.h"
#include "platform/qt/form_view.h"
#include "app/qt_machine.h"
#include "platform/qt/qt_serial.h"
#include "platform/testing/fakes.h"
#include "pty_support.h"

using namespace orbus;

using orbus::testing::Camsim;
using orbus::testing::RecordingWindows;
using orbus::testing::spin;
using orbus::testing::startThroughPortDialog;

TEST(SerialPty, InquiryAndCommandRepliesThroughQtSerialPort) {
    Camsim sim("ORX-Beta");
    ASSERT_TRUE(sim.ready());
    qt::QtSerialPort port(sim.link());
    port.setSettings({9600, 'N', 8, 1});
    port.setDTREnable(true);
    ASSERT_TRUE(port.open()) << port.lastError();

    // Without receive events the bytes wait in the buffer until read.
    port.setRThreshold(0);
    ASSERT_TRUE(port.output({0x81, 0x09, 0x00, 0x02, 0xFF}));
    EXPECT_TRUE(spin([&] { return port.inBufferCount() >= 10; }, 2000));
    Bytes r = port.input();
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[0], 0x90);
    EXPECT_EQ(r[1], 0x50);
    EXPECT_EQ(r[3], 0x01);
    EXPECT_EQ(r[4], 0x04);
    EXPECT_EQ(r[5], 0x0E);
    EXPECT_EQ(r[9], 0xFF);
    // Manual exposure, so that the iris below is the operator's.
    ASSERT_TRUE(port.output({0x81, 0x01, 0x04, 0x39, 0x03, 0xFF}));
    EXPECT_TRUE(spin([&] { return port.inBufferCount() >= 6; }, 2000));
    EXPECT_EQ(port.input(), (Bytes{0x90, 0x41, 0xFF, 0x90, 0x51, 0xFF}));

    // Event driven: receive events arrive on the event loop.
    Bytes got;
    port.onComm = [&](int e) {
        if (e == ComEvReceive) {
            Bytes b = port.input();
            got.insert(got.end(), b.begin(), b.end());
        }
    };
    port.setRThreshold(1);
    ASSERT_TRUE(port.output({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}));
    EXPECT_TRUE(spin([&] { return got.size() >= 6; }, 2000));
    EXPECT_EQ(got, (Bytes{0x90, 0x41, 0xFF, 0x90, 0x51, 0xFF}));
    port.close();
}

TEST(SerialPty, WholePanelStartsUpOnThePtyAndUsesTheConsole) {
    Camsim sim("ORX-Beta,KBM-R05");
    ASSERT_TRUE(sim.ready());
    qputenv("ORBUS_COM3", QByteArray::fromStdString(sim.link()));
    orbus::testing::MemorySettings settings;
    qt::QtWindowSystem windows;
    qt::QtMachine machine(settings, windows);
    {
        Program program(machine.platform);
        qt::ViewSet views(program.forms());
        windows.setViews(&views);
        FrmMain& m = startThroughPortDialog(program, 2);
        ASSERT_TRUE(m.visible());
        EXPECT_EQ(machine.port.commPort(), 3);
        EXPECT_TRUE(m.CameraSel[2].enabled());
        EXPECT_FALSE(m.CameraSel[3].enabled());
        // Manual exposure, then the iris it hands to the operator.
        m.DirectText.type("8101043903FF\r");
        EXPECT_TRUE(spin([&] { return m.RecvText.text() == "90 41 FF \r\n90 51 FF \r\n"; }, 2000))
            << m.RecvText.text();
        m.DirectText.type("8101040B02FF\r");
        EXPECT_TRUE(spin([&] { return m.RecvText.text() == "90 41 FF \r\n90 51 FF \r\n90 41 FF \r\n90 51 FF \r\n"; },
                         2000))
            << m.RecvText.text();
        windows.setViews(nullptr);
    }
    qunsetenv("ORBUS_COM3");
}

TEST(SerialPty, MissingDeviceFailsToOpenAndGivesNothing) {
    qt::QtSerialPort port("/dev/orbus-no-such-port");
    EXPECT_FALSE(port.open());
    EXPECT_FALSE(port.lastError().empty());
    EXPECT_EQ(port.openFailure().kind, OpenFailure::Kind::Missing);
    EXPECT_EQ(port.openFailure().path, "/dev/orbus-no-such-port");
    EXPECT_FALSE(port.output({0x88, 0x01, 0x00, 0x01, 0xFF}));
    EXPECT_EQ(port.inBufferCount(), 0);
    EXPECT_TRUE(port.input().empty());
}


TEST(SerialPty, ADeviceAnotherPortHoldsIsBusy) {
    Camsim sim("ORX-Beta");
    ASSERT_TRUE(sim.ready());
    qt::QtSerialPort first(sim.link()), second(sim.link());
    ASSERT_TRUE(first.open()) << first.lastError();
    EXPECT_FALSE(second.open());
    EXPECT_EQ(second.openFailure().kind, OpenFailure::Kind::Busy) << second.lastError();
    first.close();
    EXPECT_TRUE(second.open()) << second.lastError();
    EXPECT_EQ(second.openFailure().kind, OpenFailure::Kind::None);
}

TEST(SerialPty, ComNOpensTheNthDevicePresentAndNothingBeyond) {
    Camsim sim("ORX-Beta");
    ASSERT_TRUE(sim.ready());
    qt::QtClock clock;
    qt::QtPoster poster;
    orbus::testing::FixedSerialDevices devices;
    devices.present = {{sim.link(), "Simulated chain"}};
    RoutingPort port(clock, poster, devices, [](const std::string& path) -> std::unique_ptr<SerialPort> {
        return std::make_unique<qt::QtSerialPort>(path);
    });
    port.setCommPort(1);
    ASSERT_TRUE(port.open()) << port.lastError();
    ASSERT_TRUE(port.output({0x81, 0x09, 0x00, 0x02, 0xFF}));
    EXPECT_TRUE(spin([&] { return port.inBufferCount() > 0; }, 2000));
    port.close();
    // Com 2 has no device: the open fails and says why.
    port.setCommPort(2);
    EXPECT_FALSE(port.open());
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastError(), "no serial device for Com 2");
    EXPECT_FALSE(port.output({0x88, 0x01, 0x00, 0x01, 0xFF}));
}

TEST(SerialPty, ChainOfThreeWithAutoRefreshAndTheSimulatorKilled) {
    auto sim = std::make_unique<Camsim>("ORX-Beta,ORX-Gamma,KBM-R05");
    ASSERT_TRUE(sim->ready());
    qputenv("ORBUS_COM4", QByteArray::fromStdString(sim->link()));
    orbus::testing::MemorySettings settings;
    RecordingWindows windows;
    qt::QtMachine machine(settings, windows);
    {
        Program program(machine.platform);
        FrmMain& m = startThroughPortDialog(program, 3);
        ASSERT_TRUE(m.visible());
        EXPECT_TRUE(m.CameraSel[3].enabled());
        EXPECT_FALSE(m.CameraSel[4].enabled());
        // Another camera of the chain, identified on the way.
        m.CameraSel[2].click();
        EXPECT_EQ(m.ModelVersion.text(), "ORX-Gamma");
        m.AddressSet.click();
        EXPECT_NE(m.RecvText.text().find("88 30 04 FF"), std::string::npos);
        m.AutoRefreshed.click();
        spin([] { return false; }, 2500);
        EXPECT_TRUE(windows.messages.empty());
        // The far end goes away in the middle of the refresh.
        sim->stop();
        EXPECT_TRUE(spin([&] { return !windows.messages.empty(); }, 8000));
        spin([] { return false; }, 2500);
        ASSERT_EQ(windows.messages.size(), 1u);
        EXPECT_NE(windows.messages[0].text.find("serial port is gone"), std::string::npos);
        EXPECT_EQ(m.AutoRefreshed.caption(), "Stop");
        QElapsedTimer t;
        t.start();
        m.RefreshOnce.click();
        EXPECT_LT(t.elapsed(), 500);
        EXPECT_EQ(windows.messages.size(), 1u);
    }
    qunsetenv("ORBUS_COM4");
}

namespace {
// The packets the simulator received, in order ("81 01 04 39 03 FF").
std::vector<std::string> receivedCommands(const std::string& traceFile) {
    std::ifstream in(traceFile);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("<- ", 0) == 0 && line.compare(5, 3, " 01") == 0) out.push_back(line.substr(3));
    }
    return out;
}
}  // namespace

TEST(SerialPty, MainWindowCommandsReachTheCameraAndTheReadShowsThem) {
    const std::string trace = "/tmp/orbus-test-trace-" + std::to_string(getpid());
    Camsim sim("ORX-Beta", {trace, false, {}});
    ASSERT_TRUE(sim.ready());
    qputenv("ORBUS_COM5", QByteArray::fromStdString(sim.link()));
    orbus::testing::MemorySettings settings;
    RecordingWindows windows;
    qt::QtMachine machine(settings, windows);
    {
        Program program(machine.platform);
        FrmMain& m = startThroughPortDialog(program, 4);
        ASSERT_TRUE(m.visible());
        LinkState& L = program.link;
        // The operator's clicks come a moment apart; the replies of each are in by the next.
        auto op = [&](const std::function<void()>& act) {
            act();
            spin([] { return false; }, 150);
        };
        const std::size_t before = receivedCommands(trace).size();
        // Exposure, lens, colour, memory and switches, one or two each.
        op([&] { m.Manual.click(); });
        op([&] { m.IrisSlider.scrollTo(4); });
        m.TeleSpeed.setText("3");
        op([&] { m.ZoomTele.mouseDown(); });
        op([&] { m.ZoomTele.mouseUp(); });
        op([&] { m.ManualWB.click(); });
        op([&] { m.RGainSlider.scrollTo(0x40); });
        op([&] { m.Sepia.click(); });
        m.KeyLock.setChecked(false);
        op([&] { m.KeyLock.click(); });
        op([&] { m.PresetSet[1].click(); });
        EXPECT_FALSE(L.PresetBusy);
        const std::vector<std::string> expected = {
            "81 01 04 39 03 FF", "81 01 04 4B 00 00 00 04 FF", "81 01 04 07 23 FF", "81 01 04 07 00 FF",
            "81 01 04 35 05 FF", "81 01 04 43 00 00 04 00 FF", "81 01 04 63 03 FF", "81 01 04 17 02 FF",
            "81 01 04 3F 01 01 FF",
        };
        EXPECT_TRUE(spin([&] { return receivedCommands(trace).size() >= before + expected.size(); }, 3000));
        auto got = receivedCommands(trace);
        EXPECT_EQ(std::vector<std::string>(got.begin() + static_cast<long>(before), got.end()), expected);

        // The panel forgets, then reads the camera back (the preset's end skips two reads).
        m.IrisSlider.setValue(0);
        m.Sepia.setChecked(false);
        m.KeyLock.setChecked(false);
        for (int i = 0; i < 3; ++i) m.RefreshOnce.click();
        EXPECT_TRUE(m.Manual.checked());
        EXPECT_TRUE(m.ManualWB.checked());
        EXPECT_EQ(m.IrisSlider.value(), 4);
        EXPECT_EQ(m.RGainSlider.value(), 0x40);
        EXPECT_TRUE(m.Sepia.checked());
        EXPECT_TRUE(m.KeyLock.checked());
        EXPECT_TRUE(windows.messages.empty());
    }
    qunsetenv("ORBUS_COM5");
    std::filesystem::remove(trace);
}
