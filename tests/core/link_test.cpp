// Sending, waiting and reply classification of the camera link.
#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "link/reply.h"
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

TEST(Classify, EachFrameIsToldByTheBytesInFrontOfItsTerminator) {
    using link::Reply;
    using K = Reply::Kind;
    struct Case {
        Bytes frame;
        K kind;
        int camera, socket, code;
        bool finished, bufferFull;
    };
    const Case cases[] = {
        {{0x90, 0x41, 0xFF}, K::Acknowledge, 1, 1, -1, false, false},
        {{0xA0, 0x52, 0xFF}, K::Completion, 2, 2, -1, true, false},
        {{0x90, 0x61, 0x41, 0xFF}, K::Error, 1, 1, 0x41, true, false},
        {{0x90, 0x60, 0x03, 0xFF}, K::Error, 1, 0, 0x03, true, true},
        {{0x90, 0x61, 0x03, 0xFF}, K::Error, 1, 1, 0x03, true, false},
        {{0x90, 0x50, 0x02, 0xFF}, K::Answer, 1, 0, -1, true, false},
        {{0x88, 0x30, 0x04, 0xFF}, K::Other, 0, 0, -1, true, false},     // address set back
        {{0x88, 0x01, 0x00, 0x01, 0xFF}, K::Other, 0, 0, -1, true, false},  // interface clear back
        {{0x90, 0x38, 0xFF}, K::Other, 1, 0, -1, false, false},           // network change
        {{0x80, 0x41, 0xFF}, K::Other, 0, 0, -1, false, false},           // no camera's header
        {{0x12, 0x34}, K::Other, 0, 0, -1, false, false},                  // no terminator
        {{}, K::Other, 0, 0, -1, false, false},
        // Garbage in front of a reply does not hide it; its first byte names no camera.
        {{0x12, 0x90, 0x51, 0xFF}, K::Completion, 0, 1, -1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(trafficBytes(c.frame));
        const Reply r = link::decodeReply(c.frame);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.camera, c.camera);
        EXPECT_EQ(r.socket, c.socket);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.classes.finished(), c.finished);
        EXPECT_EQ(r.bufferFull, c.bufferFull);
        EXPECT_EQ(r.bytes, c.frame);
    }
    EXPECT_TRUE(link::decodeReply({0x90, 0x38, 0xFF}).classes.networkChange);
    EXPECT_TRUE(link::decodeReply({0x88, 0x30, 0x04, 0xFF}).classes.addressSet);
    EXPECT_TRUE(link::decodeReply({0x88, 0x01, 0x00, 0x01, 0xFF}).classes.ifClear);
}

// Whoever holds the link's state reads its flags; only the link's events
// change them.
static_assert(!std::is_assignable_v<decltype((std::declval<LinkState&>().CamAddress)), int>);
static_assert(!std::is_assignable_v<decltype((std::declval<LinkState&>().PresetBusy)), bool>);
static_assert(!std::is_assignable_v<decltype((std::declval<LinkState&>().RefreshSkipCount)), int>);

TEST_F(LinkTest, CommandDuringAStatusReadGoesOutAtOnce) {
    rig.linkControl().statusReadStarts();
    const auto before = rig.port.written().size();
    EXPECT_EQ(m.SD({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, FrmMain::kCommand), "OK");
    EXPECT_TRUE(rig.link().SendOK);
    EXPECT_EQ(rig.port.written().size(), before + 6);
    EXPECT_EQ(m.SendText.text(), "81 01 04 0B 02 FF \r\n");
    rig.linkControl().statusReadEnds();
}

TEST_F(LinkTest, QuietModeNeverLogsAndCommandModePausesAutoRefresh) {
    rig.linkControl().echoOn();
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
    m.refresh().readOnceAfterCommand();
    ASSERT_TRUE(rig.link().RefreshRestart);
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
    rig.linkControl().presetStarts(0, 0);
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
    rig.linkControl().acknowledgeArrived();  // none of the next preset's yet
    rig.linkControl().presetStarts(0, 0);
    ASSERT_FALSE(L.PresetAcked);
    L.ModelCode = PanTiltModel::Beta;
    rig.linkControl().whiteBalanceStarts();
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

// A second wait while one is under way waits for nothing: it gets no bytes
// (no made-up ones either), is marked busy rather than timed out, and the
// wait under way still gets its answer.
TEST_F(LinkTest, ABusyWaitGivesNothingAndSaysSo) {
    auto first = std::make_shared<Bytes>();
    link::Tasks own;  // started beside the test: it waits while the test goes on
    own.start([](FrmMain& f, std::shared_ptr<Bytes> out) -> link::Async<void> {
        *out = co_await f.WaitReply(4);
    }(m, first));
    ASSERT_TRUE(m.line().waiting());
    Bytes second = m.runToEnd(m.WaitReply(4));
    EXPECT_TRUE(second.empty());
    EXPECT_TRUE(m.lastWaitBusy());
    EXPECT_FALSE(m.lastWaitTimedOut());
    m.SD({0x81, 0x09, 0x04, 0x00, 0xFF}, FrmMain::kQuiet);
    rig.run(0.2);
    EXPECT_EQ(*first, (Bytes{0x90, 0x50, 0x02, 0xFF}));
    EXPECT_FALSE(m.lastWaitTimedOut());
    m.runToEnd(m.WaitReply(0));
    EXPECT_FALSE(m.lastWaitBusy());
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
    rig.linkControl().echoOff();
    receive({0x90, 0x51, 0xFF});
    EXPECT_EQ(rig.windows.messages.size(), 1u);
}
