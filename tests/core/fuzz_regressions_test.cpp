// Faults the fuzz targets found, each kept from coming back.
#include <gtest/gtest.h>

#include "chain.h"
#include "dialogs/camera_settings.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

// A terminator with no header before it made the simulator throw.
TEST(FuzzFound, SimulatorIgnoresALoneTerminator) {
    sim::Chain chain({"ORX-Beta"});
    EXPECT_NO_THROW(chain.receive({0xFF}, 0, chain.baud));
    EXPECT_NO_THROW(chain.receive({0x40, 0xFF, 0x3B, 0xFF, 0xFF}, 0.1, chain.baud));
    EXPECT_TRUE(chain.received.empty());
    // The line still works.
    const auto chunks = chain.receive({0x81, 0x09, 0x00, 0x02, 0xFF}, 0.2, chain.baud);
    EXPECT_FALSE(chunks.empty());
}

// The console's "FF" reached the simulator as a lone terminator; the
// exception it threw lost the command log's line.
TEST(FuzzFound, ConsoleLogsALoneTerminator) {
    Rig rig({"KBM-R05"});
    rig.openQuietly();
    rig.main().DirectText.type("FF\r");
    EXPECT_EQ(rig.main().SendText.text(), "FF \r\n");
}

// A timer answer whose digits were not digits showed a number above 65535.
TEST(FuzzFound, TimerAnswerWithoutDigitsLeavesTheBoxEmpty) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    rig.chain.mutate = [](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
        if (packet.size() > 3 && packet[1] == 0x09 && packet[3] == 0x40) replies = {{0x90, 0x50, 0x7F, 0x00, 0x00, 0x00, 0xFF}};
    };
    PowerOffDialog& d = rig.program->frmAutoPOff();
    rig.windows.script([&] {
        EXPECT_EQ(d.OffTimer.text(), "");
        EXPECT_EQ(d.LblAnswer.caption(), "The camera's answer could not be read.");
        d.Cancel.click();
    });
    rig.main().AutoPowerOff.click();
}

// Long fuzz runs drive one panel for hours: the simulator's packet record
// and the scripted operator's message boxes stay bounded, and a mark taken
// before the oldest entries went still lists exactly what came after it.
TEST(FuzzFound, LongRunsKeepABoundedRecordAndMarksStayRight) {
    Rig rig({"ORX-Beta"});
    rig.openQuietly();
    rig.chain.receivedLimit = 8;
    rig.windows.messagesLimit = 4;
    const std::size_t mark = rig.mark();
    for (int i = 0; i < 20; ++i) {
        rig.main().Command({0x01, 0x04, 0x0B, i % 2 ? 0x02 : 0x03});
        rig.windows.message({MsgIcon::None, "t", std::to_string(i), MsgButtons::Ok, false});
        rig.run(0.1);
        ASSERT_LE(rig.chain.received.size(), 8u);
        ASSERT_LE(rig.windows.messages.size(), 4u);
    }
    EXPECT_EQ(rig.mark() - mark, 20u);
    const auto since = rig.packetsSince(rig.mark() - 3);
    EXPECT_EQ(since, (std::vector<std::string>{"81 01 04 0B 02 FF", "81 01 04 0B 03 FF", "81 01 04 0B 02 FF"}));
    // What the record dropped is gone; the rest is still listed, newest last.
    EXPECT_EQ(rig.packetsSince(mark).size(), rig.chain.received.size());
    EXPECT_EQ(rig.packetsSince(mark).back(), "81 01 04 0B 02 FF");
    EXPECT_EQ(rig.windows.messages.back().text, "19");
}
