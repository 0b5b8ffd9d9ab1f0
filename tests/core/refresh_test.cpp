// Auto refresh: the three states, the command pause and its watchdog, the
// refresh error, and the alarm check, all on the virtual clock.
#include <gtest/gtest.h>

#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct RefreshTest : ::testing::Test {
    Rig rig{{"ORX-Beta"}};
    FrmMain& m = rig.main();
    void SetUp() override { ASSERT_TRUE(rig.startUp()); }
    int reads() const {
        int n = 0;
        for (const auto& p : rig.chain.received) n += p.size() == 6 && p[1] == 0x09 && p[4] == 0x00 && p[2] == 0x7E;
        return n;
    }
    bool off() const {
        return m.AutoRefreshed.caption() == "Stop" && !m.Timer1.enabled() && m.AutoRefreshed.enabled() &&
               m.RefreshOnce.enabled();
    }
    bool running() const {
        return m.AutoRefreshed.caption() == "Auto" && m.Timer1.enabled() && m.AutoRefreshed.enabled() &&
               !m.RefreshOnce.enabled();
    }
    bool paused() const {
        return m.AutoRefreshed.caption() == "Auto" && !m.Timer1.enabled() && !m.AutoRefreshed.enabled() &&
               !m.RefreshOnce.enabled();
    }
};

}  // namespace

TEST_F(RefreshTest, ButtonTogglesBetweenOffAndRunning) {
    EXPECT_TRUE(off());
    m.AutoRefreshed.click();
    EXPECT_TRUE(running());
    const int before = reads();
    rig.run(4.1);  // two ticks of two seconds
    EXPECT_EQ(reads() - before, 2);
    m.AutoRefreshed.click();
    EXPECT_TRUE(off());
    rig.run(10);
    EXPECT_EQ(reads() - before, 2);
}

TEST_F(RefreshTest, CommandPausesAndItsCompletionResumes) {
    m.AutoRefreshed.click();
    m.Command({0x01, 0x04, 0x0B, 0x02});  // Iris Open
    EXPECT_TRUE(paused());
    EXPECT_TRUE(m.Timer3.enabled());
    rig.run(0.1);
    EXPECT_TRUE(running());
    // The watchdog fires later, finds the refresh running and only stops itself.
    rig.run(6.5);
    EXPECT_FALSE(m.Timer3.enabled());
    EXPECT_TRUE(running());
}

TEST_F(RefreshTest, WatchdogResumesAfterSixSecondsWithoutACompletion) {
    m.AutoRefreshed.click();
    rig.chain.faults.silent = true;
    m.Command({0x01, 0x04, 0x0B, 0x02});  // Iris Open
    rig.run(5.9);
    EXPECT_TRUE(paused());
    rig.chain.faults.silent = false;
    rig.run(0.2);
    EXPECT_TRUE(running());
    EXPECT_EQ(m.Timer3.interval(), 6000);
    EXPECT_FALSE(m.Timer3.enabled());
}

TEST_F(RefreshTest, WatchdogAfterAOnePushWaitsEighteenSeconds) {
    m.AutoRefreshed.click();
    rig.chain.faults.silent = true;
    m.Command({0x01, 0x04, 0x0B, 0x02});  // Iris Open
    rig.linkControl().whiteBalanceStarts();
    m.Timer3.setInterval(18000);
    rig.run(17.5);
    EXPECT_TRUE(paused());
    rig.chain.faults.silent = false;
    rig.run(1.0);
    EXPECT_TRUE(running());
    EXPECT_FALSE(rig.link().WBWait);
    EXPECT_EQ(m.Timer3.interval(), 6000);
}

TEST_F(RefreshTest, WatchdogClearsAStuckPresetHighlight) {
    m.AutoRefreshed.click();
    rig.chain.faults.silent = true;
    // A preset set is under way, its button lit.
    rig.linkControl().presetStarts(0, 2);
    m.PresetSet[2].setValue(true);
    m.Command({0x01, 0x04, 0x3F, 0x01, 0x02});
    EXPECT_TRUE(rig.link().PresetBusy);
    EXPECT_TRUE(m.PresetSet[2].value());
    rig.run(6.1);
    EXPECT_FALSE(rig.link().PresetBusy);
    EXPECT_FALSE(m.PresetSet[2].value());
    EXPECT_TRUE(running());
}

TEST_F(RefreshTest, RefreshOnceDuringAPresetOnlyRaisesTheSkipCount) {
    rig.linkControl().presetStarts(0, 0);
    const auto mark = rig.mark();
    m.RefreshOnce.click();
    EXPECT_EQ(rig.link().RefreshSkipCount, 1);
    EXPECT_TRUE(rig.packetsSince(mark).empty());
    rig.linkControl().presetEnds();
    rig.linkControl().skipRefreshes(0);
    m.RefreshOnce.click();
    EXPECT_FALSE(rig.packetsSince(mark).empty());
}

TEST_F(RefreshTest, SilentCameraDuringAutoRefreshWarnsOnceAndStops) {
    m.AutoRefreshed.click();
    rig.chain.faults.silent = true;
    rig.run(2.1);  // one tick: seven attempts of the lens block
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_EQ(rig.windows.messages[0].text, "Refresh Action Error !\r\nRefresh Action is Stopped.");
    EXPECT_TRUE(off());
    EXPECT_EQ(rig.port.inBufferCount(), 0);
    rig.run(20);
    EXPECT_EQ(rig.windows.messages.size(), 1u);
}

TEST_F(RefreshTest, HoldGivesOneReadTwoSecondsAfterTheCompletion) {
    const int before = reads();
    m.refresh().readOnceAfterCommand();  // as a hold handler leaves it with auto refresh off
    ASSERT_TRUE(rig.link().RefreshRestart);
    m.Timer1.setEnabled(false);
    m.Command({0x01, 0x04, 0x0B, 0x02});  // Iris Open
    rig.run(0.1);
    EXPECT_TRUE(m.Timer1.enabled());
    rig.run(2.0);
    EXPECT_EQ(reads() - before, 1);
    EXPECT_FALSE(m.Timer1.enabled());
    rig.run(6);
    EXPECT_EQ(reads() - before, 1);
}

TEST_F(RefreshTest, PanTiltWindowIsKeptDockedByTheSecondTimer) {
    m.placedByUser(3000, 300, m.width(), m.height());
    rig.run(0.9);
    EXPECT_EQ(rig.program->frmPanTilt().left(), 3000);
}

TEST_F(RefreshTest, AlarmCheckReadsTheThreeAnswers) {
    auto& cam = rig.chain.camera(0).state();
    cam.alarmActive = true;
    cam.alarmMode = 0x0C;
    cam.dayLevel = 0x812;
    cam.nightLevel = 0x345;
    cam.nowLevel = 0x6A0;
    EXPECT_TRUE(m.runToEnd(m.CheckAlarmStatus()));
    const AlarmState& a = rig.program->alarm;
    EXPECT_TRUE(a.AlarmActive);
    EXPECT_EQ(a.AlarmMode, 0x0C);
    EXPECT_EQ(a.DayLevel, 0x812);
    EXPECT_EQ(a.NightLevel, 0x345);
    EXPECT_EQ(a.NowLevel, 0x6A0);
    EXPECT_TRUE(a.AlarmConfigured);
}

TEST_F(RefreshTest, AlarmCheckGivesUpAndSaysSo) {
    rig.chain.packetFaults[{0x09, 0x04, 0x6C}] = {100, 0, 1, 0, 1};
    const auto mark = rig.mark();
    EXPECT_FALSE(m.runToEnd(m.CheckAlarmStatus()));
    EXPECT_FALSE(rig.program->alarm.AlarmConfigured);
    auto sent = rig.packetsSince(mark);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 04 6C FF"), FrmMain::kAlarmAttempts);
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_EQ(rig.windows.messages[0].title, "Warning");
}

TEST_F(RefreshTest, FailedReadDuringACommandPauseEndsInTheOffState) {
    m.AutoRefreshed.click();
    rig.chain.faults.silent = true;
    m.Command({0x01, 0x04, 0x0B, 0x02});
    EXPECT_TRUE(paused());
    m.CameraSel[1].click();  // a read during the pause; the camera is silent
    EXPECT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_TRUE(off());
    // The watchdog finds nothing to resume.
    rig.run(7);
    EXPECT_TRUE(off());
}

// The main window keeps its word: a refused preset leaves the pending one
// lit, and a read that meets a command's replies in front of its answer hands
// them to the completion check instead of swallowing them.
TEST_F(RefreshTest, APendingPresetStaysLitWhenAnotherIsRefused) {
    rig.chain.faults.silent = true;  // no completion ends the first one
    m.PresetRecall[1].click();
    ASSERT_TRUE(rig.link().PresetBusy);
    const auto mark = rig.mark();
    for (auto* arr : {&m.PresetRecall, &m.PresetSet}) {
        (*arr)[3].click();
        EXPECT_TRUE(m.PresetRecall[1].value());
        EXPECT_FALSE((*arr)[3].value());
    }
    EXPECT_TRUE(rig.packetsSince(mark).empty());
}

TEST(RefreshRead, ACommandsRepliesInFrontOfAnAnswerEndItsPause) {
    Rig rig({"KBM-R05"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    m.AutoRefreshed.click();
    rig.run(2.5);
    const auto mark = rig.mark();
    m.RecallOption[2].click();  // the recall, then at once a read
    EXPECT_EQ(rig.packetsSince(mark, "09 7E 7E 00"), std::vector<std::string>{"81 09 7E 7E 00 FF"});
    EXPECT_NE(m.RecvText.text().find("90 41 FF \r\n90 51 FF \r\n"), std::string::npos);
    EXPECT_TRUE(m.Timer1.enabled());
    EXPECT_TRUE(m.AutoRefreshed.enabled());
}
