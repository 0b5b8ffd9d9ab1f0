// A remote client's packets through the command interface: each reply the
// camera gives to its own packet comes back to it, or word that none will;
// the records name the client.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/traffic_record.h"
#include "link/packet.h"
#include "net_station.h"

namespace orbus {
namespace {

const Bytes kExpCompOn{0x81, 0x01, 0x04, 0x3E, 0x02, 0xFF};
const Bytes kPowerInquiry{0x81, 0x09, 0x04, 0x00, 0xFF};

TEST(NetReplies, EachPacketHearsItsOwnRepliesOrThatNoneCame) {
    const struct {
        const char* what;
        Bytes packet;
        link::SendOutcome outcome;
        RemoteStation::Heard heard;
    } rows[] = {
        {"a command", kExpCompOn, link::SendOutcome::Sent, {"90 41 FF", "90 51 FF"}},
        {"an inquiry", kPowerInquiry, link::SendOutcome::Sent, {"90 50 02 FF"}},
        {"an inquiry nobody knows", {0x81, 0x09, 0x7F, 0x7F, 0xFF}, link::SendOutcome::Sent, {"90 60 02 FF"}},
        {"a command to no camera", {0x83, 0x01, 0x04, 0x3E, 0x02, 0xFF}, link::SendOutcome::Sent, {"no answer"}},
        {"an inquiry to no camera", {0x83, 0x09, 0x04, 0x00, 0xFF}, link::SendOutcome::Sent, {"no answer"}},
        // Refused at once: the outcome says so and the listener hears nothing.
        {"a broadcast", {0x88, 0x01, 0x00, 0x01, 0xFF}, link::SendOutcome::Malformed, {}},
        {"no packet", {0x81, 0x01, 0x04, 0x8B, 0xFF}, link::SendOutcome::Malformed, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        RemoteStation s;
        RemoteStation::Heard heard;
        EXPECT_EQ(s.send(r.packet, heard), r.outcome);
        s.loop.runFor(12);
        EXPECT_EQ(heard, r.heard);
        // A refused remote packet is no warning for the operator.
        EXPECT_TRUE(s.windows.messages.empty());
    }
}

TEST(NetReplies, AFloodIsPacedByTheSocketsAndEverySenderHearsItsEnd) {
    RemoteStation s;
    std::vector<RemoteStation::Heard> heard(12);
    int waiting = 0;
    for (auto& h : heard) waiting += s.send(kExpCompOn, h) == link::SendOutcome::Waiting;
    EXPECT_EQ(waiting, 10);
    s.loop.runFor(20);
    for (const auto& h : heard) {
        ASSERT_EQ(h.size(), 2u);
        EXPECT_EQ(h[0].substr(0, 4), "90 4");
        EXPECT_EQ(h[1].substr(0, 4), "90 5");
    }
    // Not one "buffer full" came back.
    EXPECT_EQ(s.station.link().pacer().refusals(1), 0);
}

TEST(NetReplies, AnInquiryWaitsItsTurnOfTheLineAndAStopEndsItsWaitingDrive) {
    RemoteStation s({"ORX-Beta"});
    RemoteStation::Heard first, second;
    EXPECT_EQ(s.send(kPowerInquiry, first), link::SendOutcome::Sent);
    EXPECT_EQ(s.send(kPowerInquiry, second), link::SendOutcome::Waiting);
    s.loop.runFor(3);
    EXPECT_EQ(first, RemoteStation::Heard{"90 50 02 FF"});
    EXPECT_EQ(second, RemoteStation::Heard{"90 50 02 FF"});

    // Both sockets busy: a drive waits, and the stop that follows drops it
    // (its sender hears so) and goes out itself.
    const Bytes zoomTele{0x81, 0x01, 0x04, 0x07, 0x02, 0xFF}, zoomStop{0x81, 0x01, 0x04, 0x07, 0x00, 0xFF};
    const Bytes oneShot{0x81, 0x01, 0x04, 0x10, 0x05, 0xFF};  // one-push white balance: takes its time
    RemoteStation::Heard busy1, busy2, drive, stop;
    s.send(oneShot, busy1);
    s.send(oneShot, busy2);
    EXPECT_EQ(s.send(zoomTele, drive), link::SendOutcome::Waiting);
    EXPECT_EQ(s.send(zoomStop, stop, link::CommandPacer::Kind::Stop), link::SendOutcome::Waiting);
    s.loop.runFor(20);
    EXPECT_EQ(drive, RemoteStation::Heard{"no answer"});
    ASSERT_EQ(stop.size(), 2u);
    EXPECT_EQ(stop[1].substr(0, 4), "90 5");
}

TEST(NetReplies, TheRecordsNameTheRemoteClient) {
    TrafficRecord r;
    std::optional<link::Source> writer = link::Source::Remote;
    std::string client = "udp 127.0.0.1:40312";
    r.setWriter([&] { return writer; }, [&] { return std::string_view(client); });
    r.sent(kExpCompOn, 0.1);
    client = "web 192.168.1.20";
    r.sent({0x82, 0x01, 0x04, 0x3E, 0x02, 0xFF}, 0.2);
    writer = link::Source::MainWindow;
    r.sent({0x83, 0x01, 0x04, 0x3E, 0x02, 0xFF}, 0.3);
    // A name longer than a row keeps is cut, not spilled.
    writer = link::Source::Remote;
    client = std::string(200, 'x');
    r.sent({0x84, 0x01, 0x04, 0x3E, 0x02, 0xFF}, 0.4);
    const char* expected[] = {"udp 127.0.0.1:40312", "web 192.168.1.20", "main window"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(trafficSource(r.at(static_cast<std::size_t>(i))), expected[i]);
        EXPECT_EQ(r.lastCommandSource(i + 1), expected[i]);
    }
    EXPECT_EQ(trafficSource(r.at(3)), std::string(TrafficRow::kMaxClient, 'x'));
    EXPECT_NE(trafficExport(r, {0}, TrafficFormat::Csv).find(",udp 127.0.0.1:40312,"), std::string::npos);
}

}  // namespace
}  // namespace orbus
