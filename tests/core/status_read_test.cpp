// The status read: which inquiries go on the wire per model, the guards,
// the two retry styles and their error codes.
#include <gtest/gtest.h>

#include <algorithm>

#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

std::vector<std::string> blocksAndSingles(const std::vector<std::string>& sent) {
    std::vector<std::string> out;
    for (const auto& s : sent) {
        if (s.find(" 09 06 1") == std::string::npos) out.push_back(s);  // drop the pan-tilt inquiries
    }
    return out;
}

struct ReadTest : ::testing::Test {
    std::unique_ptr<Rig> rig;
    std::vector<std::string> read(const std::vector<std::string>& models) {
        rig = std::make_unique<Rig>(models);
        EXPECT_TRUE(rig->startUp());
        const auto mark = rig->mark();
        rig->readStatus();
        return rig->packetsSince(mark);
    }
};

}  // namespace

TEST_F(ReadTest, InquiriesOnTheWirePerModel) {
    EXPECT_EQ(blocksAndSingles(read({"ORX-Alpha"})), std::vector<std::string>{});
    EXPECT_EQ(blocksAndSingles(read({"ORX-Gamma"})),
              (std::vector<std::string>{"81 09 7E 7E 00 FF", "81 09 7E 7E 01 FF", "81 09 7E 7E 02 FF"}));
    EXPECT_EQ(blocksAndSingles(read({"ORX-Beta"})),
              (std::vector<std::string>{"81 09 7E 7E 00 FF", "81 09 7E 7E 01 FF", "81 09 7E 7E 02 FF",
                                        "81 09 7E 7E 03 FF"}));
    EXPECT_EQ(blocksAndSingles(read({"KBM-R05"})),
              (std::vector<std::string>{"81 09 7E 7E 00 FF", "81 09 7E 7E 01 FF", "81 09 7E 7E 02 FF"}));
    const std::vector<std::string> kappa = {"81 09 04 00 FF",    "81 09 7E 7E 00 FF",    "81 09 7E 7E 01 FF",
                                            "81 09 7E 7E 02 FF", "81 09 7E 7E 03 FF",    "81 09 06 06 FF",
                                            "81 09 7E 01 18 FF", "81 09 7E 01 1A FF"};
    EXPECT_EQ(blocksAndSingles(read({"ORX-Kappa"})), kappa);
    EXPECT_TRUE(rig->main().HDACout.enabled());
}

TEST_F(ReadTest, KappaWithoutDsubVideoSystemSkipsTheSyncInquiry) {
    rig = std::make_unique<Rig>(std::vector<std::string>{"ORX-Kappa"});
    rig->chain.camera(0).state().videoSystem = 4;
    ASSERT_TRUE(rig->startUp());
    const auto mark = rig->mark();
    rig->readStatus();
    auto sent = rig->packetsSince(mark);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 7E 01 1A FF"), 0);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 7E 01 18 FF"), 1);
    EXPECT_FALSE(rig->main().HDACout.enabled());
    EXPECT_EQ(rig->main().NTSCorPAL.text(), "NTSC/Letter Box");
}

TEST_F(ReadTest, AlphaBeforeIdentificationSendsOnlyTheVersionInquiry) {
    Rig r({"ORX-Alpha"});
    r.openQuietly();
    r.program->ptw.PTWindow = false;
    const auto mark = r.mark();
    r.readStatus();
    EXPECT_EQ(r.packetsSince(mark), (std::vector<std::string>{"81 09 00 02 FF"}));
}

TEST_F(ReadTest, PanTiltInquiriesOnlyWithTheLargeWindowOpen) {
    auto sent = read({"ORX-Beta"});
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 06 12 FF"), 1);
    rig->program->ptw.PTWSize = false;
    const auto mark = rig->mark();
    rig->readStatus();
    sent = rig->packetsSince(mark);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 06 12 FF"), 0);
}

TEST_F(ReadTest, GuardsRefuseOrSkip) {
    read({"ORX-Gamma"});
    Rig& r = *rig;
    auto mark = r.mark();
    r.linkControl().statusReadStarts();
    EXPECT_FALSE(r.readStatus());
    r.linkControl().statusReadEnds();
    r.linkControl().startupStarts();
    EXPECT_FALSE(r.readStatus());
    r.linkControl().startupEnds();
    r.linkControl().presetStarts(0, 0);
    r.readStatus();
    r.linkControl().presetEnds();
    EXPECT_TRUE(r.packetsSince(mark).empty());
    r.linkControl().skipRefreshes(3);
    for (int i = 0; i < 3; ++i) r.readStatus();
    EXPECT_TRUE(r.packetsSince(mark).empty());
    EXPECT_TRUE(r.readStatus());
    EXPECT_FALSE(r.packetsSince(mark).empty());
    // A command-triggered read happens once.
    r.main().refresh().readOnceAfterCommand();
    ASSERT_TRUE(r.link().RefreshRestart);
    r.main().Timer1.setEnabled(true);
    r.main().Timer1.setInterval(7000);
    r.readStatus();
    EXPECT_FALSE(r.main().Timer1.enabled());
    EXPECT_EQ(r.main().Timer1.interval(), 2000);
    EXPECT_FALSE(r.link().RefreshRestart);
    // The end of every read: echo and receive events back on.
    EXPECT_TRUE(r.link().EchoSent);
    EXPECT_EQ(r.port.rThreshold(), 1);
    EXPECT_FALSE(r.link().StatusReading);
}

TEST_F(ReadTest, BlockRetriesSixTimesThenReportsItsCode) {
    read({"ORX-Beta"});
    Rig& r = *rig;
    for (int block = 0; block <= 3; ++block) {
        SCOPED_TRACE(block);
        // Six silent attempts are retried and the seventh succeeds.
        r.chain.packetFaults[{0x09, 0x7E, 0x7E, static_cast<std::uint8_t>(block)}] = {6, 0, 1, 0, 1};
        auto mark = r.mark();
        r.linkControl().refreshGaveUp(-1);
        r.readStatus();
        auto sent = r.packetsSince(mark);
        const std::string inquiry = "81 09 7E 7E 0" + std::to_string(block) + " FF";
        EXPECT_EQ(std::count(sent.begin(), sent.end(), inquiry), 7);
        EXPECT_EQ(r.link().LastRefreshError, -1);
        // Seven rejections give up with the block's code.
        r.chain.packetFaults[{0x09, 0x7E, 0x7E, static_cast<std::uint8_t>(block)}] = {0, 7, 1, 0, 1};
        mark = r.mark();
        r.readStatus();
        sent = r.packetsSince(mark);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), inquiry), 7);
        EXPECT_EQ(r.link().LastRefreshError, block);
        EXPECT_FALSE(r.link().StatusReading);
        r.chain.packetFaults.clear();
    }
}

TEST_F(ReadTest, CountedInquiriesGiveUpAtTheSeventhAttemptWithTheirCode) {
    read({"ORX-Kappa"});
    Rig& r = *rig;
    struct Case {
        Bytes body;
        long code;
    };
    for (const Case& c : {Case{{0x09, 0x06, 0x06}, 966}, Case{{0x09, 0x7E, 0x01, 0x18}, 9953560},
                          Case{{0x09, 0x7E, 0x01, 0x1A}, 9953562}}) {
        SCOPED_TRACE(c.code);
        // Even a good seventh answer is not looked at: six bad ones are enough.
        r.chain.packetFaults[c.body] = {0, 6, 1, 0, 1};
        r.readStatus();
        EXPECT_EQ(r.link().LastRefreshError, c.code);
        r.chain.packetFaults.clear();
        r.linkControl().refreshGaveUp(0);
    }
    // The version inquiry of an identification: code 902.
    r.program->model.VersionRead = false;
    r.chain.packetFaults[{0x09, 0x00, 0x02}] = {7, 0, 1, 0, 1};
    const auto mark = r.mark();
    r.readStatus();
    auto sent = r.packetsSince(mark);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 00 02 FF"), 7);
    EXPECT_EQ(r.link().LastRefreshError, 902);
}

TEST_F(ReadTest, FailedReadDuringAutoRefreshWarnsOnceAndStopsIt) {
    read({"ORX-Gamma"});
    Rig& r = *rig;
    FrmMain& m = r.main();
    if (!m.autoCaption()) m.AutoRefreshed_Click();
    m.Timer1.setEnabled(true);
    m.RefreshOnce.setEnabled(false);
    r.chain.faults.silent = true;
    r.readStatus();
    ASSERT_EQ(r.windows.messages.size(), 1u);
    EXPECT_EQ(r.windows.messages[0].text, "Refresh Action Error !\r\nRefresh Action is Stopped.");
    EXPECT_EQ(r.windows.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(m.AutoRefreshed.caption(), "Stop");
    EXPECT_FALSE(m.Timer1.enabled());
    EXPECT_TRUE(m.RefreshOnce.enabled());
    // With auto refresh off a failed read says nothing.
    r.readStatus();
    EXPECT_EQ(r.windows.messages.size(), 1u);
}

TEST_F(ReadTest, PowerCheckOfASilentCameraKeepsTheTick) {
    read({"ORX-Kappa"});
    Rig& r = *rig;
    r.main().Power.setChecked(true);
    r.chain.packetFaults[{0x09, 0x04, 0x00}] = {100, 0, 1, 0, 1};
    const auto mark = r.mark();
    r.main().runToEnd(r.main().PwCheck());
    EXPECT_EQ(r.packetsSince(mark).size(), 7u);
    EXPECT_TRUE(r.main().Power.checked());
    EXPECT_EQ(r.link().LastRefreshError, 940);
}
