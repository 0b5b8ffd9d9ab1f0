// Line faults: a lost port, garbage and network changes during commands.
#include <gtest/gtest.h>

#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

TEST(Faults, LostPortDuringAutoRefreshGivesOneMessageAndNoHang) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    m.AutoRefreshed.click();
    rig.run(2.5);
    rig.port.unplug();
    const double t0 = rig.loop.now();
    rig.run(10);
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_NE(rig.windows.messages[0].text.find("serial port"), std::string::npos);
    EXPECT_EQ(m.AutoRefreshed.caption(), "Stop");
    // Reads and commands on the lost port fail at once instead of waiting.
    const double t1 = rig.loop.now();
    m.RefreshOnce.click();
    EXPECT_LT(rig.loop.now() - t1, 0.01);
    m.Command({0x01, 0x04, 0x0B, 0x02});  // Iris Open
    EXPECT_FALSE(rig.link().SendOK);
    EXPECT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_LT(rig.loop.now() - t0, 10.1);
}

TEST(Faults, BroadcastInterfaceClearOpensTheReturnedPort) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    rig.port.unplug();
    rig.run(0.1);
    rig.port.plugBackIn();
    rig.main().IFClearB.click();
    EXPECT_TRUE(rig.port.isOpen());
    rig.run(0.2);
    EXPECT_NE(rig.main().RecvText.text().find("88 01 00 01 FF"), std::string::npos);
    rig.main().RefreshOnce.click();
    EXPECT_EQ(rig.main().ModelVersion.text(), "ORX-Beta");
}

TEST(Faults, GarbageAndNetworkChangesDuringCommands) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    m.AutoRefreshed.click();
    rig.chain.faults.garbageRate = 0.3;
    for (int i = 0; i < 30; ++i) {
        m.Command({0x01, 0x04, 0x0B, 0x02});  // Iris Open
        rig.run(0.5);
        EXPECT_LE(m.RecvText.text().size(), 1000u);
    }
    rig.chain.faults.garbageRate = 0;
    rig.chain.faults.networkChangeNext = true;
    const auto before = rig.windows.messages.size();
    m.Command({0x01, 0x04, 0x0B, 0x03});  // Iris Close
    rig.run(0.3);
    ASSERT_EQ(rig.windows.messages.size(), before + 1);
    EXPECT_EQ(rig.windows.messages.back().text,
              "Network Change was received.\r\nPlease implement IF_Clear (broadcast), AddressSet command.");
    // Whatever the line did, the refresh is running or comes back by the watchdog.
    rig.run(7);
    EXPECT_TRUE(m.Timer1.enabled() || m.AutoRefreshed.caption() == "Stop");
}
