// The "Remote Control" window and the services it switches: a fake pair of
// transports stands for the sockets, the panel runs on the simulated chain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_remote.h"
#include "app/remote_control.h"
#include "app/status_line.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct FakeTransports : net::RemoteTransports {
    std::string start(const net::ListenPlan& p) override {
        plan = p;
        on = true;
        ++starts;
        return problem;
    }
    void stop() override { on = false; }
    bool running() const override { return on; }
    std::vector<std::string> endpoints() const override { return {}; }
    net::ListenPlan plan;
    bool on = false;
    int starts = 0;
    std::string problem;
};

struct RemoteRig {
    RemoteRig() {
        EXPECT_TRUE(rig.startUp());
        rig.program->setRemoteTransports(&controllers);
        rig.program->setApiTransports(&api);
        w.open();
    }
    ~RemoteRig() {
        rig.program->setRemoteTransports(nullptr);
        rig.program->setApiTransports(nullptr);
    }
    Rig rig;
    FakeTransports controllers, api;
    FrmRemote& w = rig.program->frmRemote();
    net::RemoteHub& hub = rig.program->remoteHub();

    void choose(bool udp, bool tcp, bool apiOn, const std::string& address = "127.0.0.1", const std::string& token = "") {
        w.ChkUdp.setValue(udp);
        w.ChkTcp.setValue(tcp);
        w.ChkApi.setValue(apiOn);
        w.TxtAddress.setText(address);
        w.TxtToken.setText(token);
        w.CmdApply.click();
    }
    // A drive of camera 1's pan-tilt by a remote client.
    void drive(net::ClientId c) {
        EXPECT_TRUE(net::accepted(hub.submit(c, 1, {0x81, 0x01, 0x06, 0x01, 0x05, 0x05, 0x01, 0x03, 0xFF})));
        rig.run(0.5);
    }
    void select(net::ClientId c) {
        w.showClients();
        const auto clients = hub.clients();
        for (std::size_t i = 0; i < clients.size(); ++i)
            if (clients[i].id == c) w.Clients.selectedByUser({static_cast<int>(i)});
    }
};

const std::string kPanStop = "81 01 06 01 05 05 03 03 FF";

}  // namespace

TEST(RemoteControl, EachSwitchStartsAndStopsItsOwnService) {
    RemoteRig r;
    const struct {
        bool udp, tcp, api;
    } rows[] = {{true, false, false}, {false, true, false}, {true, true, true}, {false, false, true}, {false, false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.udp) + std::to_string(row.tcp) + std::to_string(row.api));
        r.choose(row.udp, row.tcp, row.api);
        EXPECT_EQ(r.controllers.on, row.udp || row.tcp);
        if (r.controllers.on) {
            EXPECT_EQ(r.controllers.plan.udp, row.udp);
            EXPECT_EQ(r.controllers.plan.tcp, row.tcp);
            EXPECT_FALSE(r.controllers.plan.api);
        }
        EXPECT_EQ(r.api.on, row.api);
        EXPECT_FALSE(r.api.on && (r.api.plan.udp || r.api.plan.tcp));
        EXPECT_EQ(r.rig.program->remoteOn(), row.udp || row.tcp || row.api);
        EXPECT_EQ(r.w.LblMessage.caption(), "");
    }
    // What a transport could not open is said; a port that is no port changes nothing.
    r.controllers.problem = "udp port 52381: address in use";
    r.choose(true, false, false);
    EXPECT_EQ(r.w.LblMessage.caption(), "udp port 52381: address in use");
    // The silence stop reaches the hub.
    r.w.ChkSilence.setValue(1);
    r.choose(true, false, false);
    EXPECT_EQ(r.hub.options().controllerSilence, kControllerSilence);
    r.w.ChkSilence.setValue(0);
    r.choose(true, false, false);
    EXPECT_EQ(r.hub.options().controllerSilence, 0);
    const int starts = r.controllers.starts;
    r.w.TxtTcpPort.setText("70000");
    r.w.CmdApply.click();
    EXPECT_EQ(r.controllers.starts, starts);
    EXPECT_EQ(r.w.LblMessage.caption(), "The TCP first port must be a number from 1 to 65535; nothing was changed.");
}

TEST(RemoteControl, AWideBindNeedsAToken) {
    const struct {
        const char* address;
        const char* token;
        const char* bound;
        bool refused;
    } rows[] = {
        {"0.0.0.0", "", "127.0.0.1", true},
        {"192.168.1.20", "", "127.0.0.1", true},
        {"0.0.0.0", "s3cret", "0.0.0.0", false},
        {"127.0.0.1", "", "127.0.0.1", false},
        {"::1", "", "::1", false},
    };
    RemoteRig r;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.address) + " token '" + row.token + "'");
        r.choose(true, true, true, row.address, row.token);
        EXPECT_EQ(r.controllers.plan.address, row.bound);
        EXPECT_EQ(r.api.plan.address, row.bound);
        EXPECT_EQ(r.api.plan.token, row.token);
        EXPECT_EQ(r.w.LblMessage.caption().find("needs a token") != std::string::npos, row.refused);
        // What runs is what is kept, and shown.
        EXPECT_EQ(r.w.TxtAddress.text(), row.bound);
        EXPECT_EQ(loadRemoteChoice(*r.rig.program).address, row.bound);
    }
}

TEST(RemoteControl, TheChoiceOutlivesTheRunAndTheCommandLineAddsToIt) {
    Rig rig;
    // Nothing stored: every service off.
    EXPECT_EQ(loadRemoteChoice(*rig.program), RemoteChoice{});
    EXPECT_FALSE(RemoteChoice{}.any());
    RemoteChoice c;
    c.udp = c.api = true;
    c.address = "10.0.0.2";
    c.udpBase = 40000;
    c.tcpBase = 41000;
    c.apiPort = 8080;
    c.token = "abc";
    c.rawPackets = true;
    c.silenceStop = true;
    c.allowed = {"10.0.0.7", "10.0.0.8"};
    saveRemoteChoice(*rig.program, c);
    EXPECT_EQ(loadRemoteChoice(*rig.program), c);
    EXPECT_EQ(rig.program->setting("RemoteAllowed", ""), "10.0.0.7, 10.0.0.8");
    // A port the store garbled falls back to the usual one.
    rig.program->saveSetting("RemoteUDPPort", "99999");
    rig.program->saveSetting("RemoteAPIPort", "x");
    EXPECT_EQ(loadRemoteChoice(*rig.program).udpBase, 52381);
    EXPECT_EQ(loadRemoteChoice(*rig.program).apiPort, 8711);

    const struct {
        std::vector<std::string> args;
        bool on;
        const char* address;
        const char* token;
        bool raw;
    } rows[] = {
        {{"orbus-panel"}, false, "127.0.0.1", "", false},
        {{"orbus-panel", "--remote"}, true, "127.0.0.1", "", false},
        {{"orbus-panel", "--remote", "0.0.0.0", "--remote-token", "t"}, true, "0.0.0.0", "t", false},
        {{"orbus-panel", "--remote", "--remote-raw"}, true, "127.0.0.1", "", true},
        {{"orbus-panel", "--remote-token"}, false, "127.0.0.1", "", false},
    };
    for (const auto& row : rows) {
        const RemoteChoice got = withArguments(RemoteChoice{}, row.args);
        EXPECT_EQ(got.udp && got.tcp && got.api, row.on) << row.args.size();
        EXPECT_EQ(got.any(), row.on);
        EXPECT_EQ(got.address, row.address);
        EXPECT_EQ(got.token, row.token);
        EXPECT_EQ(got.rawPackets, row.raw);
    }
    EXPECT_EQ(addressList(" 10.0.0.1,10.0.0.2 ;10.0.0.1 "), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));

    // The window shows what the command line put into effect, and keeps it only on Apply.
    RemoteRig r;
    const RemoteChoice run = withArguments(RemoteChoice{}, {"orbus-panel", "--remote", "0.0.0.0"});
    r.w.unload();
    EXPECT_NE(r.w.applyForThisRun(run).message, "");
    r.w.open();
    EXPECT_TRUE(r.w.ChkUdp.checked() && r.w.ChkTcp.checked() && r.w.ChkApi.checked());
    EXPECT_EQ(r.w.TxtAddress.text(), "127.0.0.1");
    EXPECT_FALSE(loadRemoteChoice(*r.rig.program).any());
}

TEST(RemoteControl, ControlsAreEnabledOnlyWhereTheyWork) {
    RemoteRig r;
    const struct {
        bool udp, tcp, api;
        bool udpPort, allowed, raw, address;  // allowed: the silence stop too
    } rows[] = {
        {false, false, false, false, false, false, false},
        {true, false, false, true, true, false, true},
        {false, true, false, false, true, false, true},
        {false, false, true, false, false, true, true},
    };
    for (const auto& row : rows) {
        r.w.ChkUdp.setValue(row.udp);
        r.w.ChkTcp.setValue(row.tcp);
        r.w.ChkApi.setValue(row.api);
        r.w.enableControls();
        EXPECT_EQ(r.w.TxtUdpPort.enabled(), row.udpPort);
        EXPECT_EQ(r.w.TxtAllowed.enabled(), row.allowed);
        EXPECT_EQ(r.w.ChkSilence.enabled(), row.allowed);
        EXPECT_EQ(r.w.ChkRaw.enabled(), row.raw);
        EXPECT_EQ(r.w.TxtAddress.enabled(), row.address);
        EXPECT_EQ(r.w.TxtToken.enabled(), row.address);
    }
    // Drop wants a selected client, stop-all a running drive.
    EXPECT_FALSE(r.w.CmdDrop.enabled());
    EXPECT_FALSE(r.w.CmdStopAll.enabled());
    const net::ClientId c = r.hub.connect(net::ClientKind::Udp, "127.0.0.1:40312");
    r.drive(c);
    r.select(c);
    EXPECT_TRUE(r.w.CmdDrop.enabled());
    EXPECT_TRUE(r.w.CmdStopAll.enabled());
}

TEST(RemoteControl, DropAndStopAllEndTheDrives) {
    RemoteRig r;
    const net::ClientId a = r.hub.connect(net::ClientKind::Udp, "127.0.0.1:40312");
    const net::ClientId b = r.hub.connect(net::ClientKind::Tcp, "127.0.0.1:40400");
    r.drive(a);
    r.w.showClients();
    ASSERT_EQ(r.w.Clients.rowCount(), 2);
    EXPECT_EQ(r.w.Clients.cell(0, 0), "127.0.0.1:40312");
    EXPECT_EQ(r.w.Clients.cell(0, 1), "udp");
    EXPECT_EQ(r.w.Clients.cell(0, 2), "81 01 06 01 05 05 01 03 FF");
    EXPECT_EQ(r.w.Clients.cell(0, 3), "1");
    EXPECT_EQ(r.w.Clients.cell(1, 2), "-");

    // Dropping the client that is not driving leaves the drive alone.
    std::size_t mark = r.rig.mark();
    r.select(b);
    r.w.CmdDrop.click();
    r.rig.run(0.5);
    EXPECT_EQ(r.hub.clientCount(), 1u);
    EXPECT_EQ(r.hub.drives(), 1u);
    EXPECT_TRUE(r.rig.packetsSince(mark, "01 06 01").empty());
    // Dropping the driving one stops its drive at the camera.
    r.select(a);
    r.w.CmdDrop.click();
    r.rig.run(0.5);
    EXPECT_EQ(r.hub.clientCount(), 0u);
    EXPECT_EQ(r.rig.packetsSince(mark, "01 06 01"), std::vector<std::string>{kPanStop});
    EXPECT_EQ(r.w.Clients.rowCount(), 0);
    EXPECT_FALSE(r.w.CmdDrop.enabled());

    // Stop-all stops every remote drive and keeps the clients.
    const net::ClientId c = r.hub.connect(net::ClientKind::Api, "127.0.0.1:5000");
    r.drive(c);
    mark = r.rig.mark();
    r.w.CmdStopAll.click();
    r.rig.run(0.5);
    EXPECT_EQ(r.rig.packetsSince(mark, "01 06 01"), std::vector<std::string>{kPanStop});
    EXPECT_EQ(r.w.LblMessage.caption(), "1 drive stopped.");
    EXPECT_EQ(r.hub.clientCount(), 1u);
    EXPECT_FALSE(r.w.CmdStopAll.enabled());
}

TEST(RemoteControl, TheStatusLineCountsClientsWhileAServiceRuns) {
    StatusLineFacts f;
    const struct {
        int clients;
        const char* tail;
    } rows[] = {{-1, "9600 bps"}, {0, "9600 bps  Remote: 0 clients"}, {1, "9600 bps  Remote: 1 client"},
                {2, "9600 bps  Remote: 2 clients"}};
    for (const auto& row : rows) {
        f.remoteClients = row.clients;
        const std::string port = statusLineTexts(f, 0, LocalTime{}).port;
        EXPECT_EQ(port.substr(port.size() - std::string(row.tail).size()), row.tail);
    }

    // In the window: nothing while every service is off, the count once one runs.
    RemoteRig r;
    r.hub.connect(net::ClientKind::Udp, "127.0.0.1:40312");
    r.hub.connect(net::ClientKind::Udp, "127.0.0.1:40313");
    r.rig.run(1.2);
    EXPECT_EQ(r.rig.main().StatusPort.caption().find("Remote"), std::string::npos);
    r.choose(true, false, false);
    r.rig.run(1.2);
    EXPECT_NE(r.rig.main().StatusPort.caption().find("  Remote: 2 clients"), std::string::npos);
    r.choose(false, false, false);
    r.rig.run(1.2);
    EXPECT_EQ(r.rig.main().StatusPort.caption().find("Remote"), std::string::npos);
}
