// The chain driven and read with no window at all: the station's link, its
// command interface and the chain model over the simulated chain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net_station.h"

namespace orbus {
namespace {

struct WindowFree : WindowFreeChain {
    using WindowFreeChain::WindowFreeChain;

    bool readCamera(int address) { return station.runToEnd(station.read(address)); }
    link::SendOutcome send(const Bytes& packet, link::CommandPacer::Kind kind = link::CommandPacer::Kind::Other) {
        return station.commands().send({packet, link::Source::Script, kind, ""});
    }
};

Bytes zoomTo(int camera, int position) {
    return {static_cast<std::uint8_t>(0x80 + camera), 0x01, 0x04, 0x47,
            static_cast<std::uint8_t>(position >> 12 & 0xF), static_cast<std::uint8_t>(position >> 8 & 0xF),
            static_cast<std::uint8_t>(position >> 4 & 0xF), static_cast<std::uint8_t>(position & 0xF), 0xFF};
}

TEST(ChainModel, DrivesAndReadsEveryCameraOfAMixedChainWithoutAWindow) {
    WindowFree w({"ORX-Kappa", "KBM-R20", "ORX-Alpha"});
    ASSERT_TRUE(w.station.open());
    const auto found = w.station.runToEnd(w.station.numberChain());
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, 3);
    EXPECT_EQ(w.station.chain().length(), 3);

    struct Row {
        int address;
        const char* name;
        bool statusRead;  // the ORX-Alpha answers no status block
    };
    for (const Row& r : {Row{1, "ORX-Kappa", true}, Row{2, "KBM-R20", true}, Row{3, "ORX-Alpha", false}}) {
        SCOPED_TRACE(r.name);
        ASSERT_TRUE(w.readCamera(r.address));
        const model::Camera& c = *w.station.chain().camera(r.address);
        EXPECT_EQ(c.identity.name, r.name);
        EXPECT_EQ(c.status.has_value(), r.statusRead);
        if (!r.statusRead) continue;

        // A zoom sent through the command interface is what the next read shows.
        const int target = 0x1234 * r.address;
        EXPECT_EQ(w.send(zoomTo(r.address, target)), link::SendOutcome::Sent);
        w.loop.runFor(8);
        EXPECT_EQ(w.chain.camera(r.address - 1).state().zoom, target);
        ASSERT_TRUE(w.readCamera(r.address));
        ASSERT_TRUE(c.status && c.status->lens && c.status->lens->zoom);
        EXPECT_EQ(*c.status->lens->zoom, target);
        EXPECT_EQ(c.link.inFlight, 0);
    }
}

TEST(ChainModel, RefusesWhatIsNoCommandToOneCameraAndTellsWhoSentWhat) {
    WindowFree w({"KBM-R20"});
    ASSERT_TRUE(w.station.open());
    std::vector<std::pair<link::Source, link::SendOutcome>> told;
    w.station.commands().observe(
        [&](const link::Command& c, link::SendOutcome o) { told.emplace_back(c.source, o); });
    const std::size_t before = w.chain.receivedTotal();
    const std::vector<Bytes> refused = {
        {},                                   // nothing
        {0x81, 0x01, 0x04, 0x07, 0x02},       // no FF
        {0x81, 0x01, 0x04, 0xFF, 0x02, 0xFF}, // FF inside
        {0x81, 0x01, 0x04, 0x80, 0xFF},       // data above 7F
        {0x88, 0x01, 0x00, 0x01, 0xFF},       // a broadcast
        {0x81, 0x09, 0x04, 0x47, 0xFF},       // an inquiry
        {0x90, 0x01, 0x04, 0x07, 0x02, 0xFF}, // a reply's header
    };
    for (const Bytes& p : refused) EXPECT_EQ(w.send(p), link::SendOutcome::Malformed) << trafficBytes(p);
    w.loop.runFor(1);
    EXPECT_EQ(w.chain.receivedTotal(), before);
    EXPECT_EQ(told.size(), refused.size());

    // The camera's two sockets taken, a third command waits its turn and
    // goes out with the first completion.
    const Bytes irisUp{0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, gainUp{0x81, 0x01, 0x04, 0x0C, 0x02, 0xFF};
    EXPECT_EQ(w.send(irisUp), link::SendOutcome::Sent);
    EXPECT_EQ(w.send(gainUp), link::SendOutcome::Sent);
    EXPECT_EQ(w.send(irisUp), link::SendOutcome::Waiting);
    EXPECT_EQ(told.back(), std::make_pair(link::Source::Script, link::SendOutcome::Waiting));
    w.loop.runFor(2);
    EXPECT_EQ(w.chain.receivedTotal(), before + 3);
}

TEST(ChainModel, TellsSubscribersWhatChangedUntilTheyLetGo) {
    WindowFree w({"ORX-Beta", "KBM-R05"});
    ASSERT_TRUE(w.station.open());
    std::vector<std::pair<int, model::Chain::Aspect>> seen;
    auto subscription = w.station.chain().subscribe([&](int camera, model::Chain::Aspect a) {
        if (a != model::Chain::Aspect::Link) seen.emplace_back(camera, a);
    });
    ASSERT_TRUE(w.station.runToEnd(w.station.numberChain()));
    ASSERT_TRUE(w.readCamera(2));
    using A = model::Chain::Aspect;
    const std::vector<std::pair<int, A>> expected = {{0, A::Chain}, {2, A::Identity}, {2, A::Status}};
    EXPECT_EQ(seen, expected);

    // Another model at the same address: its old values are gone.
    EXPECT_TRUE(w.station.chain().camera(2)->status.has_value());
    model::Identity other = w.station.chain().camera(2)->identity;
    other.blockModel += 1;
    w.station.chain().setIdentity(2, other);
    EXPECT_FALSE(w.station.chain().camera(2)->status.has_value());

    subscription.reset();
    seen.clear();
    ASSERT_TRUE(w.readCamera(1));
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(w.station.chain().camera(1)->capabilities.expandBlock);
    EXPECT_FALSE(w.station.chain().camera(2)->capabilities.panTiltHead);
}

}  // namespace
}  // namespace orbus
