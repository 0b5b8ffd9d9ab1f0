// Sending, waiting and reply classification of the camera link.
#include <gtest/gtest.h>

#include "link/classify.h"
#include "link/packet.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct LinkTest : ::testing::Test {
    Rig rig;
    FrmMain& m = rig.main();
    void SetUp() override { rig.openQuietly(); }
    void receive(const Bytes& b) { m.EchoReceived(b); }
    void autoRunning() {
        if (!m.autoCaption()) m.AutoRefreshed_Click();
        m.Timer1.setEnabled(true);
        m.AutoRefreshed.setEnabled(true);
        m.RefreshOnce.setEnabled(false);
    }
};

}  // namespace

TEST(Packet, ToByteArrayRefusesValuesOutsideAByte) {
    Bytes b{1, 2};
    EXPECT_FALSE(ToByteArray({0x81, 256, 0xFF}, b));
    EXPECT_FALSE(ToByteArray({0x81, -1, 0xFF}, b));
    EXPECT_EQ(b, (Bytes{1, 2}));
    EXPECT_TRUE(ToByteArray({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, b));
    EXPECT_EQ(trafficLine(b), "81 01 04 0B 02 FF \r\n");
}

TEST(Packet, LogKeepsItsLastThousandCharacters) {
    std::string exact(1000, 'a');
    trimLog(exact);
    EXPECT_EQ(exact.size(), 1000u);
    std::string over = "b" + std::string(1000, 'a');
    trimLog(over);
    EXPECT_EQ(over, std::string(1000, 'a'));
}

TEST(Classify, PatternsFollowTheReplyForms) {
    EXPECT_TRUE(likeMatch("90 41 FF ", "*[9A-F]0?4??FF*"));
    EXPECT_TRUE(likeMatch("a90 41 ff", "*[9A-F]0?4??FF*"));
    EXPECT_FALSE(likeMatch("80 41 FF ", "*[9A-F]0?4??FF*"));
    EXPECT_TRUE(likeMatch("abc", "a?c"));
    EXPECT_FALSE(likeMatch("abc", "a?"));
    EXPECT_TRUE(likeMatch("", "*"));
    EXPECT_FALSE(likeMatch("x", "[A-"));  // unterminated set matches nothing

    const std::string log = "90 41 FF \r\n90 51 FF ";
    EXPECT_EQ(lastReplyText(log), "FF \r\n90 51 FF ");
    auto c = classifyReply(lastReplyText(log));
    EXPECT_TRUE(c.completion);
    EXPECT_TRUE(c.finished());
    auto a = classifyReply(lastReplyText("90 41 FF "));
    EXPECT_TRUE(a.acknowledge);
    EXPECT_FALSE(a.finished());
    auto e = classifyReply(lastReplyText("90 41 FF \r\n90 61 41 FF "));
    EXPECT_TRUE(e.error);
    EXPECT_TRUE(classifyReply("88 30 04 FF ").addressSet);
    EXPECT_TRUE(classifyReply("88 01 00 01 FF ").ifClear);
    EXPECT_TRUE(classifyReply("FF \r\n90 38 FF ").networkChange);
    EXPECT_EQ(lastReplyText("F"), "F");
    EXPECT_EQ(lastReplyText(""), "");
}

TEST_F(LinkTest, CommandDuringAStatusReadGoesOutAtOnce) {
    rig.link().StatusReading = true;
    const auto before = rig.port.written().size();
    EXPECT_EQ(m.SD({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, FrmMain::kCommand), "OK");
    EXPECT_TRUE(rig.link().SendOK);
    EXPECT_EQ(rig.port.written().size(), before + 6);
    EXPECT_EQ(m.SendText.text(), "81 01 04 0B 02 FF \r\n");
    rig.link().StatusReading = false;
}

TEST_F(LinkTest, QuietModeNeverLogsAndCommandModePausesAutoRefresh) {
    rig.link().EchoSent = true;
    EXPECT_EQ(m.SD({0x81, 0x09, 0x00, 0x02, 0xFF}, FrmMain::kQuiet), "OK");
    EXPECT_EQ(m.SendText.text(), "");
    EXPECT_FALSE(rig.link().EchoSent);

    autoRunning();
    EXPECT_EQ(m.SD({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, FrmMain::kCommand), "OK");
    EXPECT_EQ(m.SendText.text(), "81 01 04 0B 02 FF \r\n");
    EXPECT_TRUE(m.Timer3.enabled());
    EXPECT_FALSE(m.Timer1.enabled());
    EXPECT_FALSE(m.AutoRefreshed.enabled());
    EXPECT_EQ(rig.port.rThreshold(), 1);
    EXPECT_TRUE(rig.link().SendOK);
}

TEST_F(LinkTest, OverflowingValueSendsNothingAndReportsIt) {
    const auto before = rig.port.written().size();
    EXPECT_EQ(m.SendValues({0x81, 0x01, 0x04, 0x07, 0x20 + 300, 0xFF}, FrmMain::kCommand), "ERR");
    EXPECT_FALSE(rig.link().SendOK);
    EXPECT_EQ(rig.port.written().size(), before);
}

TEST_F(LinkTest, WriteToAClosedPortIsNotASuccess) {
    rig.port.close();
    EXPECT_EQ(m.SD({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, FrmMain::kCommand), "NG");
    EXPECT_FALSE(rig.link().SendOK);
}

TEST_F(LinkTest, AcknowledgeThenCompletionResumesAutoRefresh) {
    autoRunning();
    rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
    m.Command({0x01, 0x04, 0x0B, 0x02});
    rig.run(0.02);  // the acknowledge
    EXPECT_EQ(m.RecvText.text(), "90 41 FF \r\n");
    EXPECT_FALSE(m.Timer1.enabled());
    EXPECT_FALSE(m.AutoRefreshed.enabled());
    rig.run(0.1);  // the completion
    EXPECT_EQ(m.RecvText.text(), "90 41 FF \r\n90 51 FF \r\n");
    EXPECT_TRUE(m.Timer1.enabled());
    EXPECT_TRUE(m.AutoRefreshed.enabled());
    EXPECT_EQ(m.Timer1.interval(), 2000);
}

TEST_F(LinkTest, ErrorReplyEndsTheCommandLikeACompletion) {
    autoRunning();
    m.Timer1.setEnabled(false);
    m.AutoRefreshed.setEnabled(false);
    receive({0x90, 0x61, 0x41, 0xFF});
    EXPECT_TRUE(m.Timer1.enabled());
    EXPECT_TRUE(m.AutoRefreshed.enabled());
    EXPECT_TRUE(rig.windows.messages.empty());
}

TEST_F(LinkTest, RestartFlagGivesOneReadAfterTheCompletion) {
    rig.link().RefreshRestart = true;
    receive({0x90, 0x51, 0xFF});
    EXPECT_TRUE(m.Timer1.enabled());
}

TEST_F(LinkTest, NetworkChangeWarnsInTheForeground) {
    receive({0x90, 0x38, 0xFF});
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    const Message& msg = rig.windows.messages[0];
    EXPECT_EQ(msg.title, "Warning");
    EXPECT_EQ(msg.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(msg.foreground);
    EXPECT_EQ(msg.text,
              "Network Change was received.\r\nPlease implement IF_Clear (broadcast), AddressSet command.");
}

TEST_F(LinkTest, PresetEndsOnlyOnACompletionAfterItsAcknowledge) {
    autoRunning();
    auto& L = rig.link();
    L.PresetBusy = true;
    L.ModelCode = PanTiltModel::Kappa;
    m.Timer1.setEnabled(false);
    m.AutoRefreshed.setEnabled(false);
    // A completion without an acknowledge first does not end the preset.
    receive({0x90, 0x51, 0xFF});
    EXPECT_TRUE(L.PresetBusy);
    receive({0x90, 0x41, 0xFF});
    EXPECT_TRUE(L.PresetAcked);
    // An inquiry answer never ends it.
    receive({0x90, 0x50, 0x02, 0xFF});
    EXPECT_TRUE(L.PresetBusy);
    receive({0x90, 0x51, 0xFF});
    EXPECT_FALSE(L.PresetBusy);
    EXPECT_EQ(L.RefreshSkipCount, 1);
    EXPECT_TRUE(m.Timer1.enabled());

    // Any other model skips two reads; a pending one-push keeps the pause.
    L.PresetBusy = true;
    L.PresetAcked = false;
    L.ModelCode = PanTiltModel::Beta;
    L.WBWait = true;
    m.Timer1.setEnabled(false);
    m.AutoRefreshed.setEnabled(false);
    receive({0x90, 0x61, 0x41, 0xFF});
    EXPECT_FALSE(L.PresetBusy);
    EXPECT_EQ(L.RefreshSkipCount, 2);
    EXPECT_FALSE(m.Timer1.enabled());
}

TEST_F(LinkTest, WaitReplyTimesOutWithTheIndexFilledArray) {
    // Three bytes arrive, four are wanted: after a second the filler comes back.
    rig.chain.faults.silent = true;
    m.SD({0x81, 0x09, 0x04, 0x00, 0xFF}, FrmMain::kQuiet);
    rig.port.chain().faults.silent = false;
    m.SD({0x81, 0x01, 0x00, 0x01, 0xFF}, FrmMain::kQuiet);  // answered by 90 50 FF
    const double t0 = rig.loop.now();
    Bytes r = m.runToEnd(m.WaitReply(4));
    EXPECT_EQ(r, (Bytes{0, 1, 2, 3}));
    EXPECT_GE(rig.loop.now() - t0, 1.0);
    EXPECT_LT(rig.loop.now() - t0, 1.1);
    EXPECT_EQ(rig.port.inBufferCount(), 0);
    EXPECT_EQ(rig.port.rThreshold(), 1);
}

TEST_F(LinkTest, WaitReplyReturnsEverythingBufferedOnceEnoughArrived) {
    m.SD({0x81, 0x09, 0x04, 0x00, 0xFF}, FrmMain::kQuiet);
    const double t0 = rig.loop.now();
    Bytes r = m.runToEnd(m.WaitReply(4));
    EXPECT_EQ(r, (Bytes{0x90, 0x50, 0x02, 0xFF}));
    EXPECT_LT(rig.loop.now() - t0, 0.05);
}

TEST_F(LinkTest, StopwatchArmsOnceAndDisarmsOnZero) {
    EXPECT_TRUE(m.WaitCheck(0));
    EXPECT_FALSE(m.WaitCheck(1));
    EXPECT_FALSE(m.WaitCheck(1));
    rig.loop.sleepUntil(rig.loop.now() + 1.0);
    EXPECT_TRUE(m.WaitCheck(1));
    EXPECT_FALSE(m.WaitCheck(1));  // armed again
    EXPECT_TRUE(m.WaitCheck(0));
}

// What leaves the panel and what the history says of it.
TEST_F(LinkTest, OnlyWellFormedPacketsLeaveAndTheBuildingControlIsNamed) {
    Button probe{m, "Probe", "Probe"};
    const struct {
        Bytes packet;
        bool sent;
    } cases[] = {
        {{0x81, 0x01, 0x04, 0x65, 0x7F, 0xFF}, true},  {{0x88, 0x30, 0x01, 0xFF}, true},
        {{0x81, 0x01, 0x04, 0x65, 0xC8, 0xFF}, false}, {{0x81, 0x01, 0x04, 0x65, 0xFF, 0xFF}, false},
        {{0x80, 0x01, 0x04, 0x0B, 0x02, 0xFF}, false}, {{0x89, 0x01, 0x04, 0x0B, 0x02, 0xFF}, false},
        {{0x81, 0x01, 0x04, 0x0B, 0x02}, false},       {{0x81, 0xFF}, false},
    };
    for (const auto& c : cases) {
        probe.onClick = [&] { m.SD(c.packet, FrmMain::kCommand); };
        const auto before = rig.port.written().size();
        const auto told = rig.windows.messages.size();
        probe.click();
        EXPECT_EQ(rig.port.written().size() > before, c.sent) << packetText(c.packet);
        EXPECT_EQ(rig.link().SendOK, c.sent);
        ASSERT_EQ(rig.windows.messages.size(), told + (c.sent ? 0 : 1));
        if (!c.sent) {
            EXPECT_NE(rig.windows.messages.back().text.find(packetText(c.packet)), std::string::npos);
            EXPECT_NE(rig.windows.messages.back().text.find("\"Probe\""), std::string::npos);
        }
    }
}

TEST_F(LinkTest, APacketThePortRefusesIsLoggedAsNotSentAndToldOnce) {
    rig.port.close();
    m.Command({0x01, 0x04, 0x0B, 0x02});
    m.Command({0x01, 0x04, 0x0B, 0x03});
    EXPECT_EQ(m.SendText.text(), "81 01 04 0B 02 FF (not sent)\r\n81 01 04 0B 03 FF (not sent)\r\n");
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_NE(rig.windows.messages[0].text.find("nothing was sent"), std::string::npos);
    // Once the port takes packets again, a later refusal is told again.
    rig.port.open();
    m.Command({0x01, 0x04, 0x0B, 0x02});
    rig.port.close();
    m.Command({0x01, 0x04, 0x0B, 0x02});
    EXPECT_EQ(rig.windows.messages.size(), 2u);
}

TEST_F(LinkTest, OnlyALoggedReplyIsClassified) {
    receive({0x90, 0x38, 0xFF});
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    // A stray completion while the echo is off must not have the network
    // change in the log judged a second time.
    rig.link().EchoSent = false;
    receive({0x90, 0x51, 0xFF});
    EXPECT_EQ(rig.windows.messages.size(), 1u);
}
