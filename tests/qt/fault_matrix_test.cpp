// What a serial line can do to the panel, through orbus-camsim on a real
// pseudo-terminal: one test per fault. In each, the panel keeps working
// afterwards, keeps what the operator typed, and tells the operator at most
// once. Each prints the longest time the window handled no events.
#include <gtest/gtest.h>

#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/qt_machine.h"
#include "platform/testing/fakes.h"
#include "pty_support.h"

using namespace orbus;
using orbus::testing::Camsim;
using orbus::testing::RecordingWindows;
using orbus::testing::spin;

namespace {

// The longest gap between two turns of the event loop while it runs.
class StallMeter {
public:
    StallMeter() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            if (last_ >= 0) worst_ = std::max(worst_, now - last_);
            last_ = now;
        });
        clock_.start();
        timer_.start();
    }
    double worstSeconds() const { return static_cast<double>(worst_) / 1000.0; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 worst_ = 0;
};

struct Row : ::testing::Test {
    std::unique_ptr<Camsim> sim;
    orbus::testing::MemorySettings settings;
    RecordingWindows windows;
    std::unique_ptr<qt::QtMachine> machine;
    std::unique_ptr<Program> program;
    std::unique_ptr<StallMeter> meter;
    FrmMain* m = nullptr;
    static constexpr const char* kTyped = "8101";

    // The panel on a chain served by orbus-camsim, auto refresh running, a
    // half-typed packet in the console.
    void start(const std::string& models, std::vector<std::string> extra = {}, int camera = 1) {
        sim = std::make_unique<Camsim>(models, Camsim::Options{"", true, std::move(extra)});
        ASSERT_TRUE(sim->ready());
        qputenv("ORBUS_COM6", QByteArray::fromStdString(sim->link()));
        machine = std::make_unique<qt::QtMachine>(settings, windows);
        program = std::make_unique<Program>(machine->platform);
        m = &orbus::testing::startThroughPortDialog(*program, 5);
        ASSERT_TRUE(m->visible());
        if (camera != 1) m->CameraSel[camera].click();
        m->DirectText.type(kTyped);
        m->AutoRefreshed.click();
        meter = std::make_unique<StallMeter>();
    }
    void TearDown() override {
        if (meter) {
            std::printf("[fault] %s: longest stall %.2f s, messages %zu%s%s\n",
                        ::testing::UnitTest::GetInstance()->current_test_info()->name(), meter->worstSeconds(),
                        windows.messages.size(), windows.messages.empty() ? "" : ": ",
                        windows.messages.empty() ? "" : windows.messages[0].text.substr(0, 40).c_str());
        }
        meter.reset();
        program.reset();
        machine.reset();
        sim.reset();
        qunsetenv("ORBUS_COM6");
    }
    void wait(int ms) { spin([] { return false; }, ms); }
    // The panel still reads the camera: a single read runs through without
    // an inquiry given up, and a pan-tilt camera is identified again.
    bool stillReads(const std::string& model) {
        if (m->autoCaption()) m->AutoRefreshed.click();
        m->linkControl().refreshGaveUp(0);
        const bool panTilt = model.rfind("ORX", 0) == 0;
        if (panTilt) {
            m->ModelVersion.setText("");
            program->model.VersionRead = false;
        }
        const bool ran = m->ReadCameraStatus();
        m->waitForEvents([this] { return m->linkIdle(); });
        const bool ok = ran && program->link.LastRefreshError == 0 && (!panTilt || m->ModelVersion.text() == model);
        if (!ok) {
            std::printf("read %s, \"%s\" on camera %d, refresh error %ld\n", ran ? "ran" : "refused",
                        m->ModelVersion.text().c_str(), program->link.CamAddress, program->link.LastRefreshError);
        }
        return ok;
    }
    void keptWhatWasTyped() { EXPECT_EQ(m->DirectText.text(), kTyped); }
};

}  // namespace

TEST_F(Row, SilentCamera) {
    start("ORX-Beta");
    wait(2500);
    sim->send("silent on");
    EXPECT_TRUE(spin([&] { return !windows.messages.empty(); }, 12000));
    wait(3000);
    ASSERT_EQ(windows.messages.size(), 1u);
    EXPECT_EQ(windows.messages[0].text, "Refresh Action Error !\r\nRefresh Action is Stopped.");
    EXPECT_EQ(m->AutoRefreshed.caption(), "Stop");
    sim->send("silent off");
    wait(300);
    EXPECT_TRUE(stillReads("ORX-Beta"));
    keptWhatWasTyped();
}

TEST_F(Row, GarbageBetweenReplies) {
    start("ORX-Beta", {"--garbage", "0.03"});
    wait(8000);
    EXPECT_LE(windows.messages.size(), 1u);
    sim->send("garbage 0");
    wait(300);
    EXPECT_TRUE(stillReads("ORX-Beta"));
    keptWhatWasTyped();
}

TEST_F(Row, RepliesInSingleBytes) {
    start("ORX-Beta", {"--split", "1"});
    wait(5000);
    EXPECT_TRUE(windows.messages.empty());
    m->AutoRefreshed.click();
    // Manual exposure first: the iris is then the operator's.
    m->Command({0x01, 0x04, 0x39, 0x03});
    EXPECT_TRUE(spin([&] { return m->RecvText.text().find("90 51 FF") != std::string::npos; }, 2000));
    m->cameraLink().clearLogs();
    m->IrisOpen.click();
    EXPECT_TRUE(spin([&] { return m->RecvText.text() == "90 41 FF \r\n90 51 FF \r\n"; }, 2000)) << m->RecvText.text();
    EXPECT_TRUE(stillReads("ORX-Beta"));
    keptWhatWasTyped();
}

TEST_F(Row, ReplyDelayJustUnderTheLimit) {
    start("ORX-Beta", {"--delay", "0.9"});
    wait(8000);  // a read of slow answers takes about six seconds
    EXPECT_TRUE(windows.messages.empty());
    EXPECT_EQ(m->AutoRefreshed.caption(), "Auto");
    sim->send("delay 0");
    wait(1000);
    EXPECT_TRUE(stillReads("ORX-Beta"));
    keptWhatWasTyped();
}

TEST_F(Row, ReplyDelayJustOverTheLimit) {
    start("ORX-Beta");
    wait(2500);
    sim->send("delay 1.1");
    wait(12000);
    EXPECT_LE(windows.messages.size(), 1u);
    sim->send("delay 0");
    wait(2500);  // late answers drain
    EXPECT_TRUE(stillReads("ORX-Beta"));
    keptWhatWasTyped();
}

TEST_F(Row, NetworkChangeDuringAutoRefresh) {
    start("ORX-Beta");
    wait(2500);
    sim->send("netchange");
    wait(3000);
    // Between two reads it is shown; inside a read it is taken in with the answers.
    EXPECT_LE(windows.messages.size(), 1u);
    if (!windows.messages.empty()) {
        EXPECT_EQ(windows.messages[0].text.rfind("Network Change was received.", 0), 0u);
    }
    EXPECT_TRUE(stillReads("ORX-Beta"));
    keptWhatWasTyped();
}

TEST_F(Row, SimulatorKilledMidRead) {
    start("ORX-Beta,ORX-Gamma,KBM-R05");
    wait(2200);
    sim->stop();
    EXPECT_TRUE(spin([&] { return !windows.messages.empty(); }, 8000));
    wait(2500);
    ASSERT_EQ(windows.messages.size(), 1u);
    EXPECT_NE(windows.messages[0].text.find("serial port is gone"), std::string::npos);
    EXPECT_EQ(m->AutoRefreshed.caption(), "Stop");
    QElapsedTimer t;
    t.start();
    m->RefreshOnce.click();
    EXPECT_LT(t.elapsed(), 500);
    keptWhatWasTyped();
}

TEST_F(Row, AdapterUnpluggedAndPluggedBack) {
    start("ORX-Beta");
    wait(2200);
    sim->send("replug 1.5");
    EXPECT_TRUE(spin([&] { return !windows.messages.empty(); }, 8000));
    wait(2500);
    ASSERT_EQ(windows.messages.size(), 1u);
    EXPECT_NE(windows.messages[0].text.find("serial port is gone"), std::string::npos);
    ASSERT_TRUE(spin([&] { return sim->ready(); }, 3000));
    m->IFClearB.click();  // opens the port again
    EXPECT_EQ(windows.messages.size(), 1u);
    EXPECT_TRUE(stillReads("ORX-Beta"));
    keptWhatWasTyped();
}

TEST_F(Row, CameraPoweredOffByCommand) {
    // The instant camera's refusal while off (60 41) is what this row reads.
    start("ORX-Beta", {"--instant"});
    wait(2500);
    ASSERT_TRUE(m->Power.checked());
    m->Power.click();  // off
    wait(4500);
    EXPECT_FALSE(m->Power.checked());
    m->cameraLink().clearLogs();
    m->IrisOpen.click();  // a camera switched off refuses it
    EXPECT_TRUE(spin([&] { return m->RecvText.text().find("90 60 41 FF") != std::string::npos; }, 2000));
    m->Power.click();  // on again: identified again after its pause
    wait(7000);
    EXPECT_TRUE(m->Power.checked());
    EXPECT_TRUE(windows.messages.empty());
    EXPECT_TRUE(stillReads("ORX-Beta"));
    keptWhatWasTyped();
}

TEST_F(Row, ChainShrinksWhileCameraThreeIsDriven) {
    start("KBM-R05,KBM-R05,KBM-R05", {}, 3);
    wait(2200);
    sim->send("remove 3");
    sim->send("remove 2");
    EXPECT_TRUE(spin([&] { return !windows.messages.empty(); }, 12000));
    wait(2500);
    EXPECT_EQ(windows.messages.size(), 1u);
    // Renumbering finds one camera; it can be driven and read.
    m->AddressSet.click();
    EXPECT_NE(m->RecvText.text().find("88 30 02 FF"), std::string::npos) << m->RecvText.text();
    m->CameraSel[1].click();
    EXPECT_FALSE(m->CameraSel[2].enabled());
    EXPECT_TRUE(stillReads("KBM-R05"));
    EXPECT_EQ(windows.messages.size(), 1u);
    keptWhatWasTyped();
}
