// Simulated cameras that take their time: two command sockets each, busy
// until the command is carried out, and a refusal when both are taken.
#include <gtest/gtest.h>

#include <cstdio>

#include "chain.h"

using namespace orbus;

namespace {

constexpr double kByte = 10.0 / 9600;

// A reply as the panel hears it, with the time it starts on the line.
struct Heard {
    std::string hex;
    double start;
};

struct Sent {
    std::vector<Heard> replies;
    double arrive;  // the packet's last byte at the cameras
};

std::vector<Heard> heard(const std::vector<sim::Chunk>& chunks) {
    std::vector<Heard> out;
    for (const auto& c : chunks) {
        char buf[4];
        std::string h;
        for (auto b : c.bytes) h += (std::snprintf(buf, sizeof buf, " %02X", b), buf);
        out.push_back({h.substr(1), c.at - static_cast<double>(c.bytes.size()) * kByte});
    }
    return out;
}

// A command or inquiry body to camera 1 at time t.
Sent send(sim::Chain& chain, const std::vector<int>& body, double t) {
    sim::Bytes packet{0x81};
    for (int b : body) packet.push_back(static_cast<std::uint8_t>(b));
    packet.push_back(0xFF);
    return {heard(chain.receive(packet, t, 9600)), t + static_cast<double>(packet.size()) * kByte};
}

std::vector<std::string> texts(const std::vector<Heard>& h) {
    std::vector<std::string> out;
    out.reserve(h.size());
    for (const auto& r : h) out.push_back(r.hex);
    return out;
}

using V = std::vector<std::string>;

}  // namespace

// Two zoom positions fill both sockets; a third is refused and lost; each
// completes after the distance's share of the model's full zoom time, and a
// freed socket takes the next command.
TEST(SimTiming, SocketsFillAndFreeByDistance) {
    struct Row {
        const char* model;
        double fullZoom;  // seconds for 0 .. 7E80
        double scale;
    };
    const Row rows[] = {{"KBM-R05", 2.5, 1.0}, {"ORX-Beta", 3.0, 1.0}, {"ORX-Alpha", 3.5, 1.0}, {"KBM-R05", 2.5, 0.5}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.model) + " scale " + std::to_string(r.scale));
        sim::Chain chain({r.model});
        chain.timed = true;
        chain.executionScale = r.scale;
        chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
        const double half = r.fullZoom * r.scale * 0x3F40 / 0x7E80;

        const Sent a = send(chain, {0x01, 0x04, 0x47, 0x03, 0x0F, 0x04, 0x00}, 1.0);  // to 3F40
        ASSERT_EQ(texts(a.replies), (V{"90 41 FF", "90 51 FF"}));
        EXPECT_NEAR(a.replies[0].start, a.arrive + chain.ackDelay, 1e-6);
        EXPECT_NEAR(a.replies[1].start, a.arrive + half, 1e-6);
        EXPECT_EQ(chain.camera(0).state().zoom, 0x3F40);

        const Sent b = send(chain, {0x01, 0x04, 0x47, 0x07, 0x0E, 0x08, 0x00}, 1.1);  // on to 7E80
        ASSERT_EQ(texts(b.replies), (V{"90 42 FF", "90 52 FF"}));
        EXPECT_NEAR(b.replies[1].start, b.arrive + half, 1e-6);

        const Sent c = send(chain, {0x01, 0x04, 0x47, 0x00, 0x00, 0x00, 0x00}, 1.2);
        EXPECT_EQ(texts(c.replies), (V{"90 60 03 FF"}));
        EXPECT_EQ(chain.camera(0).state().zoom, 0x7E80);
        EXPECT_EQ(chain.camera(0).socketsBusy(1.2), 2);

        // Socket 1 is free once its completion is due; socket 2 is not yet.
        const Sent d = send(chain, {0x01, 0x04, 0x0B, 0x02}, a.replies[1].start + 0.001);
        ASSERT_EQ(texts(d.replies), (V{"90 41 FF", "90 51 FF"}));
        EXPECT_NEAR(d.replies[1].start, d.arrive + 0.03 * r.scale, 1e-6);
    }
}

// The other rows of the execution table, each on a fresh camera.
TEST(SimTiming, ExecutionTimes) {
    struct Row {
        const char* model;
        std::vector<std::vector<int>> before;  // run untimed first (a preset stored, the head moved)
        std::vector<int> body;
        double seconds;
    };
    const Row rows[] = {
        {"KBM-R05", {}, {0x01, 0x04, 0x48, 0x06, 0x08, 0x00, 0x00}, 1.5 * 0x5800 / 0xB000},
        {"ORX-Alpha", {}, {0x01, 0x04, 0x48, 0x0C, 0x00, 0x00, 0x00}, 2.0},
        {"KBM-R05", {}, {0x01, 0x04, 0x46, 0x00, 0x00, 0x0E, 0x0B}, 0.3},
        {"KBM-R05", {}, {0x01, 0x04, 0x10, 0x05}, 0.4},
        {"KBM-R05", {}, {0x01, 0x04, 0x18, 0x01}, 0.6},
        {"KBM-R05", {}, {0x01, 0x04, 0x39, 0x03}, 0.03},
        // Pan 0x300 at speed 8 (128 units/s), tilt 0x100 at speed 2 (32 units/s).
        {"ORX-Beta", {}, {0x01, 0x06, 0x02, 0x08, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}, 8.0},
        {"ORX-Beta",
         {{0x01, 0x06, 0x02, 0x08, 0x08, 0x00, 0x04, 0x00, 0x00, 0x0F, 0x0F, 0x0F, 0x0F}},
         {0x01, 0x06, 0x03, 0x08, 0x08, 0x0F, 0x0F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01},
         0x100 / 128.0},
        // Preset 5 at zoom 7E80 and pan 0x800, recalled from 0, 0: the head
        // (0x800 at 24 x 16 units/s) outlasts the zoom (3 s).
        {"ORX-Beta",
         {{0x01, 0x04, 0x47, 0x07, 0x0E, 0x08, 0x00},
          {0x01, 0x06, 0x02, 0x01, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
          {0x01, 0x04, 0x3F, 0x01, 0x05},
          {0x01, 0x04, 0x47, 0x00, 0x00, 0x00, 0x00},
          {0x01, 0x06, 0x02, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
         {0x01, 0x04, 0x3F, 0x02, 0x05},
         0x800 / 384.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.model) + " seconds " + std::to_string(r.seconds));
        sim::Chain chain({r.model});
        for (const auto& b : r.before) EXPECT_EQ(send(chain, b, 0.5).replies.size(), 2u);
        chain.timed = true;
        Sent s = send(chain, r.body, 1.0);
        const auto held = heard(chain.advance(100));  // a head move holds its socket
        s.replies.insert(s.replies.end(), held.begin(), held.end());
        ASSERT_EQ(texts(s.replies), (V{"90 41 FF", "90 51 FF"}));
        EXPECT_NEAR(s.replies[1].start, s.arrive + r.seconds, 1e-6);
    }
}

// A drive holds its socket until a stop for its axis (which completes the
// drive at once and itself shortly after) or until the end of its travel.
TEST(SimTiming, DrivesHoldTheirSocket) {
    struct Row {
        const char* model;
        std::vector<int> drive, stop;
        double toEnd;                            // seconds from the drive to the end of travel
        int sim::CameraState::* position;
        int end;                                 // the position there
    };
    const Row rows[] = {
        // Zoom tele at speed 7: the whole range in 2.5 s.
        {"KBM-R05", {0x01, 0x04, 0x07, 0x27}, {0x01, 0x04, 0x07, 0x00}, 2.5, &sim::CameraState::zoom, 0x7E80},
        // Focus far at the standard speed (3): 1.5 s x 8 / 4.
        {"KBM-R05", {0x01, 0x04, 0x08, 0x02}, {0x01, 0x04, 0x08, 0x00}, 3.0, &sim::CameraState::focus, 0xC000},
        // Pan right at speed 16 (256 units/s) from 0 to 0x880.
        {"ORX-Beta", {0x01, 0x06, 0x01, 0x10, 0x10, 0x02, 0x03}, {0x01, 0x06, 0x01, 0x00, 0x00, 0x03, 0x03},
         0x880 / 256.0, &sim::CameraState::panPos, 0x880},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.model + std::string(" drive ") + std::to_string(r.drive[2]));
        for (bool stopped : {true, false}) {
            sim::Chain chain({r.model});
            chain.timed = true;
            const Sent drive = send(chain, r.drive, 1.0);
            EXPECT_EQ(texts(drive.replies), (V{"90 41 FF"}));
            EXPECT_NEAR(chain.nextDue(), drive.arrive + r.toEnd, 1e-6);
            const int from = chain.camera(0).state().*r.position;
            if (stopped) {
                // Half way: the drive completes right behind the stop's acknowledge.
                EXPECT_TRUE(chain.advance(drive.arrive + r.toEnd / 2).empty());
                const Sent stop = send(chain, r.stop, drive.arrive + r.toEnd / 2);
                ASSERT_EQ(texts(stop.replies), (V{"90 42 FF", "90 51 FF", "90 52 FF"}));
                EXPECT_NEAR(stop.replies[1].start, stop.replies[0].start + 3 * kByte, 1e-6);
                EXPECT_NEAR(stop.replies[2].start, stop.arrive + 0.03, 1e-6);
                EXPECT_EQ(chain.nextDue(), -1);
                EXPECT_NEAR(chain.camera(0).state().*r.position, (from + r.end) / 2.0, (r.end - from) / 50.0);
                EXPECT_EQ(chain.camera(0).socketsBusy(stop.arrive + 0.031), 0);
                continue;
            }
            EXPECT_TRUE(chain.advance(drive.arrive + r.toEnd - 0.01).empty());
            const auto done = heard(chain.advance(drive.arrive + r.toEnd + 0.01));
            ASSERT_EQ(texts(done), (V{"90 51 FF"}));
            EXPECT_NEAR(done[0].start, drive.arrive + r.toEnd, 1e-6);
            // An inquiry (no socket) moves the state on to its time.
            send(chain, {0x09, 0x7E, 0x7E, 0x00}, drive.arrive + r.toEnd + 0.1);
            EXPECT_EQ(chain.camera(0).state().*r.position, r.end);
            EXPECT_FALSE(chain.camera(0).state().zoomMoving);
        }
    }
}

// A command a camera cannot carry out takes no socket; without timing the
// cameras answer as they always did.
TEST(SimTiming, PowerOffAndUntimed) {
    sim::Chain chain({"KBM-R05"});
    chain.timed = true;
    chain.camera(0).state().power = false;
    for (double t : {1.0, 1.01, 1.02}) {
        const Sent s = send(chain, {0x01, 0x04, 0x47, 0x01, 0x00, 0x00, 0x00}, t);
        EXPECT_EQ(texts(s.replies), (V{"90 61 41 FF"}));
    }
    EXPECT_EQ(chain.camera(0).state().zoom, 0);
    EXPECT_EQ(chain.camera(0).socketsBusy(1.03), 0);
    EXPECT_EQ(texts(send(chain, {0x01, 0x04, 0x00, 0x02}, 1.1).replies), (V{"90 41 FF", "90 51 FF"}));

    sim::Chain instant({"KBM-R05"});
    for (double t : {1.0, 1.001, 1.002}) {
        const Sent s = send(instant, {0x01, 0x04, 0x47, 0x07, 0x0E, 0x08, 0x00}, t);
        EXPECT_EQ(texts(s.replies), (V{"90 41 FF", "90 51 FF"}));
    }
    const Sent first = send(instant, {0x01, 0x04, 0x07, 0x27}, 5.0);
    EXPECT_NEAR(first.replies[0].start, first.arrive + instant.ackDelay, 1e-9);
    EXPECT_NEAR(first.replies[1].start, first.arrive + instant.completionDelay, 1e-9);
    EXPECT_EQ(instant.nextDue(), -1);
    instant.camera(0).state().power = false;
    EXPECT_EQ(texts(send(instant, {0x01, 0x04, 0x07, 0x27}, 6.0).replies), (V{"90 60 41 FF"}));
}
