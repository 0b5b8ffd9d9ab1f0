// Interface clear, address set and camera selection on chains that change.
#include <gtest/gtest.h>

#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

TEST(Addressing, InterfaceClearOfOneCameraAndOfTheChain) {
    Rig rig({"ORX-Beta", "KBM-R05"});
    ASSERT_TRUE(rig.startUp());
    rig.main().CameraSel[2].click();
    auto mark = rig.mark();
    rig.main().IFClear.click();
    rig.main().IFClearB.click();
    EXPECT_EQ(rig.packetsSince(mark), (std::vector<std::string>{"82 01 00 01 FF", "88 01 00 01 FF"}));
    rig.run(0.2);
    EXPECT_EQ(rig.main().RecvText.text(), "A0 50 FF \r\n88 01 00 01 FF \r\n");
}

TEST(Addressing, SelectingACameraDrivesItAndIdentifiesIt) {
    Rig rig({"ORX-Beta", "ORX-Gamma", "ORX-Kappa"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    EXPECT_EQ(m.ModelVersion.text(), "ORX-Beta");
    const auto mark = rig.mark();
    m.CameraSel[3].click();
    EXPECT_EQ(rig.packetsSince(mark).front(), "83 09 00 02 FF");
    EXPECT_EQ(m.ModelVersion.text(), "ORX-Kappa");
    EXPECT_EQ(m.Active.text(), "3");
    EXPECT_TRUE(m.CameraSel[3].checked());
    EXPECT_FALSE(m.CameraSel[1].checked());
    const auto mark2 = rig.mark();
    m.Command({0x01, 0x04, 0x0B, 0x02});  // Iris Open
    EXPECT_EQ(rig.packetsSince(mark2), (std::vector<std::string>{"83 01 04 0B 02 FF"}));
}

TEST(Addressing, AddressSetFollowsAChainThatShrinksAndGrows) {
    Rig rig({"ORX-Beta", "ORX-Gamma", "KBM-R05", "KBM-R01"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    m.CameraSel[4].click();
    // Two cameras leave the chain: camera 4 is gone, camera 1 is driven again.
    rig.chain.removeCamera(3);
    rig.chain.removeCamera(2);
    auto mark = rig.mark();
    m.AddressSet.click();
    auto sent = rig.packetsSince(mark);
    EXPECT_EQ(sent.front(), "88 30 01 FF");
    EXPECT_NE(m.RecvText.text().find("88 30 03 FF \r\n"), std::string::npos);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(m.CameraSel[i].enabled(), i <= 2) << i;
    EXPECT_TRUE(m.CameraSel[1].checked());
    EXPECT_FALSE(m.CameraSel[4].checked());
    EXPECT_EQ(m.Active.text(), "1");
    EXPECT_EQ(rig.link().CamAddress, 1);
    EXPECT_NE(std::find(sent.begin(), sent.end(), "81 09 7E 7E 00 FF"), sent.end());
    // A new camera joins: the menu grows, the selection stays.
    m.CameraSel[2].click();
    rig.chain.addCamera("ORX-Kappa");
    mark = rig.mark();
    m.AddressSet.click();
    EXPECT_TRUE(m.CameraSel[3].enabled());
    EXPECT_TRUE(m.CameraSel[2].checked());
    EXPECT_EQ(rig.packetsSince(mark).size(), 1u);  // no status read
}

TEST(Addressing, UnansweredAddressSetLeavesTheFillerInTheLog) {
    Rig rig({"ORX-Beta", "ORX-Gamma"});
    ASSERT_TRUE(rig.startUp());
    rig.chain.faults.silent = true;
    rig.main().AddressSet.click();
    EXPECT_EQ(rig.main().RecvText.text(), "00 01 02 03 ");
    EXPECT_TRUE(rig.main().CameraSel[2].enabled());
    EXPECT_EQ(rig.port.rThreshold(), 1);
}

TEST(Addressing, AddressSetThePortRefusesLeavesReceiveEventsOn) {
    Rig rig({"ORX-Beta", "ORX-Gamma"});
    ASSERT_TRUE(rig.startUp());
    rig.port.unplug();
    rig.main().AddressSet.click();
    EXPECT_FALSE(rig.link().SendOK);
    EXPECT_EQ(rig.port.rThreshold(), 1);
    EXPECT_TRUE(rig.main().CameraSel[2].enabled());
}

TEST(Addressing, AddressSetPausesAutoRefreshLikeACommand) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    rig.main().AutoRefreshed.click();
    rig.chain.faults.silent = true;
    rig.main().AddressSet.click();
    EXPECT_FALSE(rig.main().Timer1.enabled());
    EXPECT_TRUE(rig.main().Timer3.enabled());
}
