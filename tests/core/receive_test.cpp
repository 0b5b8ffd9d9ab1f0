// Receive path, reply classification as bytes arrive, and the console.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "link/packet.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct ReceiveTest : ::testing::Test {
    Rig rig;
    FrmMain& m = rig.main();
    void SetUp() override {
        rig.openQuietly();
        if (!m.autoCaption()) m.AutoRefreshed_Click();
        m.Timer1.setEnabled(false);
        m.AutoRefreshed.setEnabled(false);
    }
};

}  // namespace

TEST_F(ReceiveTest, TwoRepliesInOneBatchAreClassifiedInTurn) {
    // The acknowledge alone would keep the pause; the completion after it ends it.
    m.EchoReceived({0x90, 0x41, 0xFF, 0x90, 0x51, 0xFF});
    EXPECT_EQ(m.RecvText.text(), "90 41 FF \r\n90 51 FF \r\n");
    EXPECT_TRUE(m.Timer1.enabled());
    EXPECT_TRUE(m.Timer3.enabled());  // armed by the acknowledge
}

TEST_F(ReceiveTest, ReplySplitOverTwoBatchesIsClassifiedOnceWhenComplete) {
    m.EchoReceived({0x90, 0x51});
    EXPECT_EQ(m.RecvText.text(), "90 51 ");
    EXPECT_FALSE(m.Timer1.enabled());
    m.EchoReceived({0xFF});
    EXPECT_EQ(m.RecvText.text(), "90 51 FF \r\n");
    EXPECT_TRUE(m.Timer1.enabled());
}

// A command's acknowledge and completion end it whatever becomes of the
// log meanwhile: the socket is free for what waits and the refresh runs again.
TEST_F(ReceiveTest, RepliesAreClassifiedFromTheBytesNotFromTheLog) {
    struct Case {
        const char* name;
        std::function<void(FrmMain&)> meanwhile;  // between the completion's first bytes and its FF
        bool echo;
        const char* log;
    };
    const Case cases[] = {
        {"logged whole", nullptr, true, "90 41 FF \r\n90 51 FF \r\n"},
        {"log emptied in the middle", [](FrmMain& f) { f.cmdClearTxt_Click(); }, true, "FF \r\n"},
        {"echo off", nullptr, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.openQuietly();
        FrmMain& f = r.main();
        if (!f.autoCaption()) f.AutoRefreshed_Click();
        ASSERT_EQ(f.SendPaced({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, "iris", link::CommandPacer::Kind::Other), "OK");
        ASSERT_EQ(f.pacer().inFlight(1), 1);
        ASSERT_FALSE(f.Timer1.enabled());  // paused by the command
        c.echo ? r.linkControl().echoOn() : r.linkControl().echoOff();
        f.RecvText.setText("");
        f.EchoReceived({0x90, 0x41, 0xFF, 0x90, 0x51});
        if (c.meanwhile) c.meanwhile(f);
        f.EchoReceived({0xFF});
        EXPECT_EQ(f.pacer().inFlight(1), 0);
        EXPECT_TRUE(f.Timer1.enabled());
        EXPECT_EQ(f.RecvText.text(), c.log);
    }
}

TEST_F(ReceiveTest, BytesWhileTheEchoIsOffAreNotLogged) {
    rig.linkControl().echoOff();
    m.EchoReceived({0x90, 0x51, 0xFF});
    EXPECT_EQ(m.RecvText.text(), "");
}

TEST_F(ReceiveTest, LongBatchKeepsTheLastThousandCharacters) {
    Bytes b(334, 0x11);  // 1002 characters
    m.RecvText.setText("X");
    m.EchoReceived(b);
    EXPECT_EQ(m.RecvText.text().size(), 1000u);
    EXPECT_EQ(m.RecvText.selStart(), 1000u);
}

TEST_F(ReceiveTest, ReceiveEventsReachTheLogThroughThePort) {
    rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
    m.Command({0x01, 0x04, 0x0B, 0x02});
    rig.run(0.2);
    EXPECT_EQ(m.RecvText.text(), "90 41 FF \r\n90 51 FF \r\n");
    EXPECT_EQ(m.SendText.text(), "81 01 04 0B 02 FF \r\n");
}

TEST_F(ReceiveTest, RepliesSplitByTheLineArriveAsSeveralEvents) {
    rig.chain.faults.splitChunk = 1;
    rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
    m.Command({0x01, 0x04, 0x0B, 0x02});
    rig.run(0.2);
    EXPECT_EQ(m.RecvText.text(), "90 41 FF \r\n90 51 FF \r\n");
    EXPECT_EQ(rig.port.receiveEvents(), 6);
}

// Console ------------------------------------------------------------------

TEST_F(ReceiveTest, TypedPacketIsUpperCasedSentByteByByteAndCleared) {
    const auto before = rig.port.written().size();
    m.DirectText.type("8101040002ff");
    EXPECT_EQ(m.DirectText.text(), "8101040002FF");
    m.DirectText.type("\r");
    EXPECT_EQ(m.DirectText.text(), "");
    EXPECT_EQ(Bytes(rig.port.written().begin() + static_cast<long>(before), rig.port.written().end()),
              (Bytes{0x81, 0x01, 0x04, 0x00, 0x02, 0xFF}));
    EXPECT_EQ(m.SendText.text(), "81 01 04 00 02 FF \r\n");
    // The typed packet pauses auto refresh and arms the watchdog.
    EXPECT_TRUE(m.Timer3.enabled());
}

TEST_F(ReceiveTest, OddLengthSendsNothingAndKeepsTheText) {
    const auto before = rig.port.written().size();
    m.DirectText.type("810\r");
    EXPECT_EQ(m.DirectText.text(), "810");
    EXPECT_EQ(rig.port.written().size(), before);
}

TEST_F(ReceiveTest, EnterInAnEmptyConsoleLogsAnEmptyLine) {
    m.DirectText.type("\r");
    EXPECT_EQ(m.SendText.text(), "\r\n");
}

TEST_F(ReceiveTest, NonHexKeysAreSwallowedAndBackspacePasses) {
    m.DirectText.type("8g1 -a");
    EXPECT_EQ(m.DirectText.text(), "81A");
    m.DirectText.type("\b");
    EXPECT_EQ(m.DirectText.text(), "81");
}

TEST_F(ReceiveTest, PastedTextIsFilteredLikeTypedKeys) {
    m.DirectText.setText("81 01 04 0b 02 ff\n");
    EXPECT_EQ(m.DirectText.text(), "8101040B02FF");
    m.DirectText.setText("zz");
    EXPECT_EQ(m.DirectText.text(), "");
}

TEST_F(ReceiveTest, ClearEmptiesBothLogs) {
    m.SendText.setText("a");
    m.RecvText.setText("b");
    m.cmdClearTxt.click();
    EXPECT_EQ(m.SendText.text(), "");
    EXPECT_EQ(m.RecvText.text(), "");
}

TEST_F(ReceiveTest, ConsoleLogStaysBoundedOverManyPackets) {
    for (int i = 0; i < 100; ++i) m.DirectText.type("8101040B02FF\r");
    EXPECT_LE(m.SendText.text().size(), 1000u);
}

// Random streams of valid and broken replies, split anywhere: the log stays
// within bounds, each completed reply gets exactly one line end (it was
// classified once, right after its terminator), nothing breaks.
TEST_F(ReceiveTest, RandomStreamsSplitAnywhere) {
    std::mt19937 rng(20261208);
    const std::vector<Bytes> kinds = {
        {0x90, 0x41, 0xFF},        {0x90, 0x51, 0xFF},       {0x90, 0x61, 0x41, 0xFF},
        {0xA0, 0x50, 0x02, 0xFF},  {0x88, 0x30, 0x04, 0xFF}, {0x88, 0x01, 0x00, 0x01, 0xFF},
        {0x90, 0x50, 0x01, 0x02},  {0x12, 0x34},             {0xFF},
        {0x90, 0x38, 0xFF},
    };
    for (int round = 0; round < 400; ++round) {
        m.cmdClearTxt.click();
        Bytes stream;
        for (int n = 0; n < 15; ++n) {
            Bytes k = kinds[rng() % kinds.size()];
            if (rng() % 7 == 0 && k.size() > 1) k.erase(k.begin() + static_cast<long>(rng() % k.size()));
            stream.insert(stream.end(), k.begin(), k.end());
        }
        std::size_t pos = 0;
        while (pos < stream.size()) {
            std::size_t len = std::min<std::size_t>(1 + rng() % 9, stream.size() - pos);
            m.EchoReceived(Bytes(stream.begin() + static_cast<long>(pos),
                                 stream.begin() + static_cast<long>(pos + len)));
            pos += len;
            ASSERT_LE(m.RecvText.text().size(), 1000u);
        }
        const std::string& t = m.RecvText.text();
        std::size_t lines = 0;
        for (std::size_t i = 0; (i = t.find("\r\n", i)) != std::string::npos; i += 2) ++lines;
        EXPECT_EQ(lines, static_cast<std::size_t>(std::count(stream.begin(), stream.end(), 0xFF)));
        EXPECT_EQ(t.size(), stream.size() * 3 + lines * 2);
    }
    // Network changes among them were reported, each in one message.
    EXPECT_FALSE(rig.windows.messages.empty());
}
