// Every controller reaches the cameras through the one command interface:
// the observers, the traffic record and Chain Status name who sent each
// packet; the auxiliary windows and the pan-tilt drive still go out at once
// whatever the camera's sockets; what no camera can take is refused as it
// always was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/frm_chain.h"
#include "app/profile_link.h"
#include "app/testing/rig.h"
#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "link/send_mode.h"
#include "net/remote_hub.h"
#include "pantilt/frm_pantilt.h"

using namespace orbus;
using orbus::testing::Rig;
using link::SendOutcome;
using link::Source;

namespace {

using Told = std::pair<Source, SendOutcome>;

struct CommandSources : ::testing::Test {
    Rig rig{{"ORX-Beta"}};
    FrmMain& m = rig.main();
    Program& p = *rig.program;
    std::vector<Told> told;

    void SetUp() override {
        ASSERT_TRUE(rig.startUp());
        m.refresh().switchOff();
        ASSERT_TRUE(rig.settle());
        m.commands().observe([this](const link::Command& c, SendOutcome o) { told.emplace_back(c.source, o); });
    }

    // The source column of the rows sent from row `from` of the record on.
    std::vector<std::string> sentSources(std::size_t from) const {
        std::vector<std::string> out;
        for (std::size_t i = from; i < p.traffic.size(); ++i) {
            if (p.traffic.at(i).direction == TrafficDirection::Sent) out.push_back(trafficSource(p.traffic.at(i)));
        }
        return out;
    }
    std::string chainStatusLastCommand(int camera) {
        FrmChain& c = p.frmChain();
        c.showHealth();
        return c.Cell[(camera - 1) * FrmChain::kColumns + FrmChain::kColumns - 2].caption();
    }
    std::string sendDialog(const Bytes& packet) {
        return p.dialogHost().sendValues(std::vector<int>(packet.begin(), packet.end()), link::kCommand);
    }
    std::string sendDialogOwn(const Bytes& packet) {
        return dialogs::DialogSD(p.context(), packet, link::kCommand, {});
    }
    Bytes exchangeDialog(const Bytes& packet) { return m.runToEnd(p.dialogHost().exchange(packet, 4, true)); }
};

const Bytes kExpCompOn{0x81, 0x01, 0x04, 0x3E, 0x02, 0xFF};
const Bytes kExpCompOff{0x81, 0x01, 0x04, 0x3E, 0x03, 0xFF};
const Bytes kPowerInquiry{0x81, 0x09, 0x04, 0x00, 0xFF};

TEST_F(CommandSources, EachControllersPacketsNameItsSource) {
    struct Case {
        const char* name;
        std::function<void()> send;
        std::optional<Source> source;  // nothing: the panel's own, told to no observer
        bool command;                  // a command (Chain Status names its source), not an inquiry
    };
    const Case cases[] = {
        {"main window",
         [&] {
             rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
             m.IrisOpen.click();
         },
         Source::MainWindow, true},
        {"dialog", [&] { EXPECT_EQ(sendDialog(kExpCompOn), "OK"); }, Source::Dialog, true},
        {"dialog", [&] { EXPECT_EQ(sendDialogOwn(kExpCompOff), "OK"); }, Source::Dialog, true},
        {"dialog", [&] { EXPECT_EQ(exchangeDialog(kPowerInquiry).size(), 4u); }, Source::Dialog, false},
        {"pan-tilt drive", [&] { p.frmPanTilt().Pan_Tilt_Stop[0].click(); }, Source::PanTiltKeys, true},
        {"console", [&] { m.DirectText.type("8101043E02FF\r"); }, Source::Console, true},
        {"profile",
         [&] {
             PanelApplyLink apply(p, {});
             EXPECT_EQ(m.runToEnd(apply.command(1, {0x01, 0x04, 0x3E, 0x03})), link::CommandEnd::Completed);
         },
         Source::Profile, true},
        {"panel", [&] { EXPECT_TRUE(rig.readStatus()); }, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t rows = p.traffic.size();
        const std::size_t toldBefore = told.size();
        const std::string lastCommand = chainStatusLastCommand(1);
        c.send();
        rig.run(1);
        const std::vector<std::string> sources = sentSources(rows);
        ASSERT_FALSE(sources.empty());
        for (const std::string& s : sources) EXPECT_EQ(s, c.name);
        EXPECT_EQ(chainStatusLastCommand(1), c.command ? c.name : lastCommand);
        if (!c.source) {
            EXPECT_EQ(told.size(), toldBefore);
            continue;
        }
        ASSERT_GT(told.size(), toldBefore);
        for (std::size_t i = toldBefore; i < told.size(); ++i) EXPECT_EQ(told[i], Told(*c.source, SendOutcome::Sent));
    }
}

TEST_F(CommandSources, DialogsAndThePanTiltDriveAreNotPacedBySockets) {
    // Two main-window commands take camera 1's two sockets; a third waits.
    auto mainWindow = [&](const Bytes& packet) {
        return m.commands().send({packet, Source::MainWindow, link::CommandPacer::Kind::Other});
    };
    ASSERT_EQ(mainWindow({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}), SendOutcome::Sent);
    ASSERT_EQ(mainWindow({0x81, 0x01, 0x04, 0x0C, 0x02, 0xFF}), SendOutcome::Sent);
    ASSERT_EQ(mainWindow({0x81, 0x01, 0x04, 0x0B, 0x03, 0xFF}), SendOutcome::Waiting);
    const struct {
        const char* name;
        std::function<void()> send;
        Source source;
        const char* packet;
    } cases[] = {
        {"dialog", [&] { EXPECT_EQ(sendDialog(kExpCompOn), "OK"); }, Source::Dialog, "81 01 04 3E 02 FF"},
        {"dialog's own", [&] { EXPECT_EQ(sendDialogOwn(kExpCompOff), "OK"); }, Source::Dialog, "81 01 04 3E 03 FF"},
        {"pan-tilt drive", [&] { p.frmPanTilt().Pan_Tilt_Stop[1].click(); }, Source::PanTiltKeys,
         "81 01 06 01 18 17 03 01 FF"},
        {"pan-tilt stop", [&] { p.frmPanTilt().Pan_Tilt_Stop[0].click(); }, Source::PanTiltKeys,
         "81 01 06 01 18 18 03 03 FF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // No time passes: the sockets stay busy.
        const std::size_t rows = p.traffic.size();
        c.send();
        ASSERT_EQ(p.traffic.size(), rows + 1);
        EXPECT_EQ(trafficHex(p.traffic.at(rows)), c.packet);
        EXPECT_EQ(told.back(), Told(c.source, SendOutcome::Sent));
    }
    EXPECT_EQ(m.pacer().waiting(1), 1u);
}

// Two network clients keep the driven camera's sockets busy with zoom
// positions that take it hundreds of milliseconds each: the operator's click
// goes out as soon as the camera frees a socket, ahead of the clients'
// waiting packets, and the auto refresh goes on reading the camera.
TEST(RemoteFlood, NeitherHoldsTheOperatorsClickBackNorStopsTheReads) {
    Rig rig{{"ORX-Beta"}};
    ASSERT_TRUE(rig.startUp());
    rig.chain.timed = true;
    FrmMain& m = rig.main();
    if (!m.autoCaption()) m.AutoRefreshed.click();
    net::RemoteHub& hub = rig.program->remoteHub();
    const net::ClientId clients[] = {hub.connect(net::ClientKind::Api, "127.0.0.1:1"),
                                     hub.connect(net::ClientKind::Api, "127.0.0.1:2")};
    const std::size_t mark = rig.mark();
    const double start = rig.platform.clock.now();
    double clicked = -1, onWire = -1;
    for (int tick = 0; rig.platform.clock.now() - start < 12; ++tick) {
        for (const net::ClientId c : clients) {
            hub.heard(c);
            // Far apart, turn about; never the tele end the operator asks for.
            const std::uint8_t position = tick % 2 ? 0x03 : 0x00;
            hub.submit(c, 1, {0x81, 0x01, 0x04, 0x47, position, 0x00, 0x00, 0x00, 0xFF});
        }
        if (tick == 100) {
            clicked = rig.platform.clock.now();
            m.FarT.click();
        }
        rig.run(0.05);
        if (clicked >= 0 && onWire < 0) {
            for (const std::string& sent : rig.packetsSince(mark, "01 04 47"))
                if (sent == "81 01 04 47 04 00 00 00 FF") onWire = rig.platform.clock.now();
        }
    }
    ASSERT_GE(clicked, 0);
    ASSERT_GE(onWire, 0) << "the click never reached the camera";
    // No longer than the longest zoom move the clients asked for.
    EXPECT_LT(onWire - clicked, 2.0);
    // A whole read starts with the first status block: about one every two
    // seconds, but for the pause after the operator's click.
    int reads = 0;
    for (const std::string& sent : rig.packetsSince(mark)) reads += sent == "81 09 7E 7E 00 FF";
    EXPECT_GE(reads, 4);
}

TEST_F(CommandSources, WhatNoCameraTakesIsRefusedAsBefore) {
    const std::string refusal =
        "This packet was not sent: no camera can take it.\r\n81 01 04 90 FF\r\nIt was built by the panel.";
    const Bytes bad{0x81, 0x01, 0x04, 0x90, 0xFF};
    const struct {
        const char* name;
        std::function<void()> send;
    } dialogCases[] = {
        {"dialog", [&] { EXPECT_EQ(sendDialog(bad), "NG"); }},
        {"dialog's own", [&] { EXPECT_EQ(sendDialogOwn(bad), "NG"); }},
        {"dialog's exchange", [&] { exchangeDialog(bad); }},
    };
    for (const auto& c : dialogCases) {
        SCOPED_TRACE(c.name);
        const std::size_t rows = p.traffic.size();
        rig.windows.messages.clear();
        c.send();
        EXPECT_EQ(sentSources(rows), std::vector<std::string>{});
        ASSERT_EQ(rig.windows.messages.size(), 1u);
        EXPECT_EQ(rig.windows.messages[0].text, refusal);
        EXPECT_EQ(told.back(), Told(Source::Dialog, SendOutcome::Malformed));
    }

    // The console refuses an odd count of digits itself, in its note.
    const std::size_t rows = p.traffic.size();
    const std::size_t toldBefore = told.size();
    m.DirectText.type("810\r");
    EXPECT_EQ(m.DirectNote.caption(), "Not sent: 3 digits; a byte takes two");
    EXPECT_EQ(p.traffic.size(), rows);
    EXPECT_EQ(told.size(), toldBefore);
}

}  // namespace
