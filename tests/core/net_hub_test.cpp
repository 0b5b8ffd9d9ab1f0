// The hub of remote clients on a simulated timed chain: a client's packet
// reaches the camera it names and hears its own replies; a drive a client
// started is stopped at the camera that moved once the client goes away or
// falls silent; nothing a client sends can flood the line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/api_session.h"
#include "net/remote_hub.h"
#include "net_station.h"

namespace orbus::net {
namespace {

struct HubRig : RemoteStation {
    explicit HubRig(const std::vector<std::string>& models = {"ORX-Beta", "ORX-Beta"},
                    RemoteHub::Options options = {})
        : RemoteStation(models), hub(station.commands(), loop, loop, options) {}
    RemoteHub hub;

    // The packets the chain received since `mark`, as text.
    std::vector<std::string> since(std::size_t mark) const {
        std::vector<std::string> out;
        for (std::size_t i = mark - chain.receivedDropped; i < chain.received.size(); ++i)
            out.push_back(packetText(chain.received[i]));
        return out;
    }
};

Bytes hex(const std::string& text) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3)
        out.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return out;
}

TEST(NetHub, APacketGoesToTheCameraItNamesAndItsRepliesToItsClient) {
    HubRig r;
    const ClientId udp = r.hub.connect(ClientKind::Udp, "127.0.0.1:40312");
    const std::size_t mark = r.chain.receivedTotal();
    std::vector<std::string> command, inquiry;
    EXPECT_EQ(r.hub.submit(udp, 2, hex("81 01 04 3E 02 FF"), into(command)), Submitted::Sent);
    EXPECT_EQ(r.hub.submit(udp, 2, hex("88 09 04 00 FF"), into(inquiry)), Submitted::Sent);
    r.loop.runFor(3);
    EXPECT_EQ(r.since(mark), (std::vector<std::string>{"82 01 04 3E 02 FF", "82 09 04 00 FF"}));
    EXPECT_EQ(command, (std::vector<std::string>{"A0 41 FF", "A0 51 FF"}));
    EXPECT_EQ(inquiry, (std::vector<std::string>{"A0 50 02 FF"}));
    const ClientInfo& info = *r.hub.client(udp);
    EXPECT_EQ(info.name, "udp 127.0.0.1:40312");
    EXPECT_EQ(info.camera, 2);
    EXPECT_EQ(info.lastCommand, "82 09 04 00 FF");
    EXPECT_EQ(info.pending, 0u);
}

TEST(NetHub, RefusesWhatNoCameraTakesAndSendsNothing) {
    HubRig r;
    r.hub.cameraExists([](int n) { return n <= 2; });
    const ClientId c = r.hub.connect(ClientKind::Api, "127.0.0.1:5000");
    const struct {
        const char* what;
        ClientId client;
        int camera;
        std::string packet;
        Submitted expected;
    } rows[] = {
        {"no such client", c + 1, 1, "81 01 04 3E 02 FF", Submitted::UnknownClient},
        {"camera 0", c, 0, "81 01 04 3E 02 FF", Submitted::UnknownCamera},
        {"camera 8", c, 8, "81 01 04 3E 02 FF", Submitted::UnknownCamera},
        {"camera not on the chain", c, 3, "81 01 04 3E 02 FF", Submitted::UnknownCamera},
        {"data above 7F", c, 1, "81 01 04 BE 02 FF", Submitted::Refused},
        {"no FF", c, 1, "81 01 04 3E 02", Submitted::Refused},
        {"a reply", c, 1, "90 41 FF", Submitted::Refused},
        {"neither command nor inquiry", c, 1, "81 30 01 FF", Submitted::Refused},
        // Commands whose replies no command record would match.
        {"interface clear", c, 1, "88 01 00 01 FF", Submitted::Refused},
        {"service memory read", c, 1, "81 01 06 1A 01 00 FF", Submitted::Refused},
        {"a stub of a command", c, 1, "81 01 04 FF", Submitted::Refused},
        {"too long", c, 1, "81 01 04 40 00 00 00 00 00 00 00 00 00 00 00 00 FF", Submitted::Refused},
    };
    const std::size_t mark = r.chain.receivedTotal();
    for (const auto& row : rows) {
        std::vector<std::string> heard;
        EXPECT_EQ(r.hub.submit(row.client, row.camera, hex(row.packet), into(heard)), row.expected) << row.what;
        r.loop.runFor(2);
        EXPECT_TRUE(heard.empty()) << row.what;
    }
    EXPECT_EQ(r.chain.receivedTotal(), mark);
    EXPECT_EQ(r.hub.client(c)->pending, 0u);
    EXPECT_TRUE(r.windows.messages.empty());
}

// A JSON API client hears that its drive moves at the camera's acknowledge:
// the drive's completion comes only after its stop. Its heartbeats keep the
// drive running until it sends that stop, whose answer is complete.
TEST(NetApiSession, ADriveIsAnsweredAtItsAcknowledgeAndRunsUntilItsStop) {
    HubRig r{{"ORX-Beta"}};
    ASSERT_EQ(r.station.runToEnd(r.station.numberChain()), std::optional<int>(1));
    const ClientId c = r.hub.connect(ClientKind::Api, "127.0.0.1:5000");
    std::vector<std::string> told;
    ApiSession session(r.hub, r.station.chain(), c, true, false,
                       [&told](const std::string& text, bool) { told.push_back(text); });
    const auto heartbeats = [&](double seconds) {
        for (double t = 0; t < seconds; t += 0.3) {
            session.received(R"({"heartbeat": true})");
            r.loop.runFor(0.3);
        }
    };
    session.received(R"({"id": 1, "camera": 1, "command": "zoom.tele", "speed": 3})");
    heartbeats(0.6);
    EXPECT_EQ(told, std::vector<std::string>{R"({"id":1,"replies":["90 41 FF"]})"});
    heartbeats(2.4);
    EXPECT_EQ(r.hub.drives(), 1u) << "a client that keeps its heartbeat keeps its drive";
    session.received(R"({"id": 2, "camera": 1, "command": "zoom.stop"})");
    heartbeats(0.6);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1], R"({"id":2,"replies":["90 42 FF","90 52 FF"]})");
    EXPECT_EQ(r.hub.drives(), 0u);
    EXPECT_EQ(session.unanswered(), 0);
}

// A drive a client started, and what happens to it when the client goes.
TEST(NetHub, ADriveLeftRunningIsStoppedAtTheCameraThatMoved) {
    const struct {
        const char* what;
        std::string drive;
        std::string stop;  // as camera 2 receives it
    } drives[] = {
        {"pan-tilt", "81 01 06 01 05 07 01 03 FF", "82 01 06 01 05 07 03 03 FF"},
        {"zoom", "81 01 04 07 25 FF", "82 01 04 07 00 FF"},
        {"digital zoom", "81 01 04 06 32 FF", "82 01 04 06 00 FF"},
        {"focus", "81 01 04 08 02 FF", "82 01 04 08 00 FF"},
    };
    const struct {
        const char* what;
        ClientKind kind;
        std::function<void(HubRig&, ClientId)> meanwhile;
        bool stopped;
    } ends[] = {
        {"client disconnects", ClientKind::Api, [](HubRig& r, ClientId c) { r.hub.disconnect(c); }, true},
        {"heartbeat missed", ClientKind::Web, [](HubRig& r, ClientId) { r.loop.runFor(1.5); }, true},
        {"heartbeat kept", ClientKind::Web,
         [](HubRig& r, ClientId c) {
             for (int i = 0; i < 6; ++i) r.loop.runFor(0.5), r.hub.heard(c);
         },
         false},
        {"stop all remote drives", ClientKind::Udp, [](HubRig& r, ClientId) { r.hub.stopAllDrives(); }, true},
        {"a controller's silence", ClientKind::Udp, [](HubRig& r, ClientId) { r.loop.runFor(3); }, false},
        {"the window takes the axis over", ClientKind::Api,
         [](HubRig& r, ClientId c) {
             // The operator drives the same axis: the drive is the window's now.
             r.station.commands().send({r.chain.received.back(), link::Source::MainWindow});
             r.hub.disconnect(c);
         },
         false},
    };
    for (const auto& d : drives) {
        for (const auto& e : ends) {
            SCOPED_TRACE(std::string(d.what) + ", " + e.what);
            HubRig r;
            const ClientId c = r.hub.connect(e.kind, "10.0.0.9:1234");
            const ClientId other = r.hub.connect(ClientKind::Api, "10.0.0.8:1234");
            ASSERT_TRUE(accepted(r.hub.submit(c, 2, hex(d.drive))));
            r.loop.runFor(0.2);
            EXPECT_EQ(r.hub.drives(), 1u);
            const std::size_t mark = r.chain.receivedTotal();
            r.hub.disconnect(other);  // another client's leaving stops nothing of this one's
            e.meanwhile(r, c);
            r.loop.runFor(0.5);
            const std::vector<std::string> sent = r.since(mark);
            const bool stopSent = std::find(sent.begin(), sent.end(), d.stop) != sent.end();
            EXPECT_EQ(stopSent, e.stopped);
            if (e.stopped) {
                EXPECT_EQ(r.hub.drives(), 0u);
            }
        }
    }
}

// A position for an axis that a drive moves ends that drive only if the
// camera takes it: refused ("syntax error"), the drive runs on and is still
// stopped when its client goes, so every packet of the client ends.
TEST(NetHub, ARefusedPositionLeavesTheDriveToBeStopped) {
    HubRig r;
    const ClientId c = r.hub.connect(ClientKind::Api, "10.0.0.9:1234");
    ASSERT_TRUE(accepted(r.hub.submit(c, 2, hex("81 01 06 01 05 05 01 03 FF"))));
    r.loop.runFor(0.3);
    // A relative move cut short: no camera takes it.
    ASSERT_TRUE(accepted(r.hub.submit(c, 2, hex("81 01 06 03 05 05 03 03 FF"))));
    r.loop.runFor(0.5);
    EXPECT_EQ(r.hub.drives(), 1u);
    const std::size_t mark = r.chain.receivedTotal();
    r.hub.disconnect(c);
    r.loop.runFor(1);
    EXPECT_EQ(r.since(mark), std::vector<std::string>{"82 01 06 01 05 05 03 03 FF"});
    EXPECT_EQ(r.hub.drives(), 0u);
}

TEST(NetHub, AControllersOwnStopEndsItsDriveAndSilenceStopsItWhenAsked) {
    RemoteHub::Options quiet;
    quiet.controllerSilence = 2;
    HubRig r({"ORX-Beta"}, quiet);
    const ClientId c = r.hub.connect(ClientKind::Udp, "127.0.0.1:1");
    r.hub.submit(c, 1, hex("81 01 04 07 02 FF"));
    r.hub.submit(c, 1, hex("81 01 04 07 00 FF"));
    r.loop.runFor(0.5);
    EXPECT_EQ(r.hub.drives(), 0u);
    r.hub.submit(c, 1, hex("81 01 06 01 05 05 01 03 FF"));
    r.loop.runFor(1.5);
    const std::size_t mark = r.chain.receivedTotal();
    EXPECT_EQ(r.hub.drives(), 1u);
    r.loop.runFor(1);
    EXPECT_EQ(r.since(mark), std::vector<std::string>{"81 01 06 01 05 05 03 03 FF"});
}

TEST(NetHub, BoundsClientsAndPacketsUnderWayButAStopAlwaysGoes) {
    RemoteHub::Options small;
    small.maxClients = 2;
    small.maxPending = 3;
    HubRig r({"ORX-Beta"}, small);
    const ClientId a = r.hub.connect(ClientKind::Udp, std::string(500, '1'));
    EXPECT_NE(r.hub.connect(ClientKind::Udp, "b"), 0);
    EXPECT_EQ(r.hub.connect(ClientKind::Udp, "c"), 0);
    EXPECT_EQ(r.hub.client(a)->address.size(), RemoteHub::kMaxAddress);

    const Bytes oneShot = hex("81 01 04 10 05 FF");  // takes its time
    std::vector<Submitted> got;
    for (int i = 0; i < 5; ++i) got.push_back(r.hub.submit(a, 1, oneShot));
    got.push_back(r.hub.submit(a, 1, hex("81 01 04 07 00 FF")));
    EXPECT_EQ(got, (std::vector<Submitted>{Submitted::Sent, Submitted::Sent, Submitted::Waiting, Submitted::Busy,
                                          Submitted::Busy, Submitted::Waiting}));
    r.loop.runFor(30);
    EXPECT_EQ(r.hub.client(a)->pending, 0u);
    EXPECT_EQ(r.station.link().pacer().refusals(1), 0);
    EXPECT_EQ(r.hub.submit(a, 1, oneShot), Submitted::Sent);
}

TEST(NetHub, AClientGoneHearsNothingMore) {
    HubRig r;
    const ClientId c = r.hub.connect(ClientKind::Api, "x");
    std::vector<std::string> heard;
    r.hub.submit(c, 1, hex("81 01 04 3E 02 FF"), into(heard));
    r.hub.disconnect(c);
    r.loop.runFor(2);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(r.hub.submit(c, 1, hex("81 01 04 3E 02 FF")), Submitted::UnknownClient);
}

}  // namespace
}  // namespace orbus::net
