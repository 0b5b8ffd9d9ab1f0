// A command awaited to its end on a timed simulated chain: how each end is
// told apart, the retries after a refusal, the time limit, a lost port, and
// which reply belongs to which of two awaited commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "link/packet.h"
#include "link/pacer.h"
#include "link/reply.h"
#include "app/testing/rig.h"

using namespace orbus;
using link::CommandEnd;
using orbus::testing::Rig;

namespace {

Bytes bytesOf(const std::string& hex) {
    Bytes b;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        b.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return b;
}

// One awaited command's outcome and when it came.
struct Outcome {
    std::optional<CommandEnd> end;
    double at = -1;
};

link::Async<void> await(link::CameraLink& l, Bytes packet, Outcome& out, const orbus::testing::VirtualLoop& loop) {
    const CommandEnd e = co_await l.commandToEnd(std::move(packet));
    out.end = e;
    out.at = loop.now();
}

struct Chain {
    std::unique_ptr<Rig> rig;
    explicit Chain(std::vector<std::string> models = {"KBM-R05"}) : rig(std::make_unique<Rig>(models)) {
        EXPECT_TRUE(rig->startUp());
        rig->settle();
        rig->driveToEnd(false);
        rig->chain.timed = true;
    }
    link::CameraLink& link() { return rig->main().cameraLink(); }
    // Starts the command beside the test, as a window's routine.
    void start(const std::string& hex, Outcome& out) {
        link().tasks().start(await(link(), bytesOf(hex), out, rig->loop));
    }
    // Lets time pass until the outcome is known (at most `seconds`).
    void runUntilEnded(const Outcome& out, double seconds = 30) {
        const double limit = rig->loop.now() + seconds;
        while (!out.end && rig->loop.now() < limit) rig->run(0.01);
    }
    std::size_t sent(std::size_t mark, const std::string& hex) const {
        const auto all = rig->packetsSince(mark);
        return static_cast<std::size_t>(std::count(all.begin(), all.end(), hex));
    }
};

const std::string kZoomHalf = "81 01 04 47 03 0F 04 00 FF";  // 1.25 s from wide on KBM-R05
const std::string kBackLightOn = "81 01 04 33 02 FF";         // 0.03 s
const std::string kZoomTele = "81 01 04 07 27 FF";            // held until the end of travel
const std::string kFocusFar = "81 01 04 08 02 FF";

// Drives that hold both of camera 1's sockets for seconds.
void holdBothSockets(Chain& c) {
    c.link().SD(bytesOf(kZoomTele), link::kCommand);
    c.link().SD(bytesOf(kFocusFar), link::kCommand);
    c.rig->run(0.05);
}

// The same drives, the zoom first taken to 7000 at once: it reaches tele
// 0.29 s later and frees its socket.
void holdSocketsUntilTele(Chain& c) {
    c.rig->chain.timed = false;
    c.link().SD(bytesOf("81 01 04 47 07 00 00 00 FF"), link::kCommand);
    c.rig->run(0.1);
    c.rig->chain.timed = true;
    holdBothSockets(c);
}

}  // namespace

TEST(CommandEnd, EachEndIsToldApart) {
    struct Case {
        const char* name;
        std::function<void(Chain&)> before;
        std::string packet;
        CommandEnd end;
        double minSeconds, maxSeconds;  // from the send to the routine going on
        std::size_t sends;              // times the packet went out
        std::function<void(Chain&)> during = {};  // right after the send
    };
    const auto losePort = [](Chain& c) {
        c.rig->run(0.3);
        if (c.link().closeLostPort()) c.link().dropLostPort();
    };
    const Case cases[] = {
        // The completion, not the acknowledge, ends it.
        {"completed", {}, kZoomHalf, CommandEnd::Completed, 1.2, 1.4, 1},
        // Its replies are told from the read's answers.
        {"in the middle of a status read",
         [](Chain& c) {
             c.rig->main().AutoRefreshed.click();
             EXPECT_TRUE(c.rig->main().ReadCameraStatus());
             c.rig->run(0.003);
         },
         kZoomHalf, CommandEnd::Completed, 1.2, 1.4, 1},
        {"switched off", [](Chain& c) { c.rig->chain.camera(0).state().power = false; }, kZoomHalf,
         CommandEnd::NotExecutable, 0, 0.1, 1},
        {"unknown to the camera", {}, "81 01 7E 7E 7E FF", CommandEnd::SyntaxError, 0, 0.1, 1},
        // Both sockets held by drives; the zoom reaches tele soon and frees
        // one: the refused command goes out once more and completes.
        {"refused, then a socket frees", holdSocketsUntilTele, kBackLightOn, CommandEnd::Completed, 0.2, 0.4, 2},
        // The drives hold on for seconds: three tries, then the refusal stands.
        {"refused three times", holdBothSockets, kBackLightOn, CommandEnd::BufferFull, 2 * link::CameraLink::kRefusedPause,
         2 * link::CameraLink::kRefusedPause + 0.2, 3},
        {"silent camera", [](Chain& c) { c.rig->chain.faults.silent = true; }, kBackLightOn, CommandEnd::NoReply,
         link::CommandPacer::kCompletionLimit, link::CommandPacer::kCompletionLimit + 0.1, 1},
        {"closed port", [](Chain& c) { c.rig->port.close(); }, kBackLightOn, CommandEnd::NotSent, 0, 0, 0},
        // Only a command to one camera can be awaited.
        {"an inquiry", {}, "81 09 04 00 FF", CommandEnd::NotSent, 0, 0, 0},
        {"a broadcast", {}, "88 01 04 33 02 FF", CommandEnd::NotSent, 0, 0, 0},
        {"a malformed packet", {}, "81 01 04 33 92 FF", CommandEnd::NotSent, 0, 0, 0},
        // The port goes away while the camera works on it, or while a
        // refused command waits to go out again.
        {"port lost meanwhile", {}, kZoomHalf, CommandEnd::NoReply, 0.3, 0.32, 1, losePort},
        {"port lost after a refusal", holdBothSockets, kBackLightOn, CommandEnd::NotSent, 0.3, 0.32, 1, losePort},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Chain c;
        if (k.before) k.before(c);
        const auto mark = c.rig->mark();
        const double t0 = c.rig->loop.now();
        Outcome out;
        c.start(k.packet, out);
        // Not sent: told at once. Sent: the routine never goes on inside
        // the call that sent the packet.
        EXPECT_EQ(out.end.has_value(), k.sends == 0);
        if (k.during) k.during(c);
        c.runUntilEnded(out);
        ASSERT_TRUE(out.end.has_value());
        EXPECT_EQ(*out.end, k.end) << link::commandEndText(*out.end);
        EXPECT_GE(out.at - t0, k.minSeconds - 0.011);
        EXPECT_LE(out.at - t0, k.maxSeconds + 0.011);
        EXPECT_EQ(c.sent(mark, k.packet), k.sends);
        // Nothing tries it again afterwards (the pacer leaves a refusal to
        // the routine that awaited it).
        c.rig->run(5);
        EXPECT_EQ(c.sent(mark, k.packet), k.sends);
        EXPECT_EQ(c.link().tasks().running(), 0u);
    }
}

// Two routines await commands to the same camera at once: each learns the
// end of its own command, whichever completes first.
TEST(CommandEnd, TwoAwaitedCommandsEachGetTheirOwnEnd) {
    struct Case {
        const char* name;
        std::string first, second;
        CommandEnd firstEnd, secondEnd;
        bool secondEndsFirst;
    };
    const Case cases[] = {
        {"slow then quick", kZoomHalf, kBackLightOn, CommandEnd::Completed, CommandEnd::Completed, true},
        {"quick then slow", kBackLightOn, kZoomHalf, CommandEnd::Completed, CommandEnd::Completed, false},
        {"quick then unknown", kBackLightOn, "81 01 7E 7E 7E FF", CommandEnd::Completed,
         CommandEnd::SyntaxError, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Chain c;
        Outcome a, b;
        c.start(k.first, a);
        // The second once the first is off the wire (the simulated port
        // does not queue the panel's writes).
        c.rig->run(0.015);
        c.start(k.second, b);
        c.runUntilEnded(a);
        c.runUntilEnded(b);
        ASSERT_TRUE(a.end && b.end);
        EXPECT_EQ(*a.end, k.firstEnd);
        EXPECT_EQ(*b.end, k.secondEnd);
        EXPECT_EQ(b.at < a.at, k.secondEndsFirst);
    }
}

// A refused command waits for a socket of its own camera: another camera's
// completion meanwhile does not send it again early, its own camera's does.
TEST(CommandEnd, ARefusedCommandWaitsForItsOwnCamerasSocket) {
    struct Case {
        const char* name;
        std::function<void(Chain&)> holdSockets;  // both of camera 1's sockets
        std::string meanwhile;                    // sent 0.1 s after the awaited command
        std::size_t sendsWithinPause;             // camera 1's packet, before its pause is over
    };
    const Case cases[] = {
        {"camera 2 completes", holdBothSockets, "82 01 04 33 02 FF", 1},
        {"camera 1 completes", holdSocketsUntilTele, "", 2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Chain c({"KBM-R05", "KBM-R05"});
        k.holdSockets(c);
        const auto mark = c.rig->mark();
        Outcome out;
        c.start(kBackLightOn, out);
        c.rig->run(0.1);
        if (!k.meanwhile.empty()) c.link().SD(bytesOf(k.meanwhile), link::kCommand);
        c.rig->run(link::CameraLink::kRefusedPause - 0.15);
        EXPECT_EQ(c.sent(mark, kBackLightOn), k.sendsWithinPause);
        // Camera 2's command did complete within that pause.
        EXPECT_EQ(c.link().pacer().ends(2), k.meanwhile.empty() ? 0 : 1);
        c.runUntilEnded(out);
        EXPECT_TRUE(out.end.has_value());
    }
}

// The link closing while a routine of another owner waits for an end: the
// routine is let go, never resumed, and can be destroyed afterwards.
TEST(CommandEnd, AWaitOutlivingTheLinkIsNeverResumed) {
    Chain c;
    Outcome out;
    link::Tasks own;
    own.start(await(c.link(), bytesOf(kZoomHalf), out, c.rig->loop));
    c.link().close();
    c.rig->run(12);
    EXPECT_FALSE(out.end.has_value());
    EXPECT_EQ(own.running(), 1u);
    own.destroyAll();
}

// The record of commands in flight alone: which command a reply ends, told by socket.
TEST(CommandEnd, RepliesAreMatchedToTheirCommands) {
    struct Step {
        double at;
        int send;           // > 0: a command with this id went out (0: a reply)
        const char* reply;  // the reply, when not a send
        long endsId;        // the awaited command it ends (0: none)
        std::optional<CommandEnd> end;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::optional<CommandEnd> none;
    const Case cases[] = {
        {"completions by socket, not by order",
         {{0, 1, "", 0, none}, {0, 2, "", 0, none}, {0.01, 0, "90 41 FF", 0, none}, {0.01, 0, "90 42 FF", 0, none},
          {0.05, 0, "90 52 FF", 2, CommandEnd::Completed}, {1.2, 0, "90 51 FF", 1, CommandEnd::Completed}}},
        // An error in place of an acknowledge refuses the oldest unanswered
        // command; a socket's error ends the command holding that socket.
        {"errors",
         {{0, 1, "", 0, none}, {0.01, 0, "90 41 FF", 0, none}, {0.02, 2, "", 0, none},
          {0.03, 0, "90 60 03 FF", 2, CommandEnd::BufferFull}, {0.04, 3, "", 0, none},
          {0.05, 0, "90 62 41 FF", 3, CommandEnd::NotExecutable},
          {0.06, 0, "90 61 41 FF", 1, CommandEnd::NotExecutable}}},
        // A command the camera never answered does not take a later one's
        // acknowledge once it is overdue.
        {"an unanswered command is given up",
         {{0, 1, "", 0, none}, {1.5, 2, "", 0, none}, {1.51, 0, "90 41 FF", 0, none},
          {1.6, 0, "90 51 FF", 2, CommandEnd::Completed}}},
        // Another camera's replies and inquiry answers end nothing here.
        {"other cameras and answers",
         {{0, 1, "", 0, none}, {0.01, 0, "A0 41 FF", 0, none}, {0.01, 0, "90 50 02 FF", 0, none},
          {0.02, 0, "A0 51 FF", 0, CommandEnd::Completed}, {0.03, 0, "90 41 FF", 0, none},
          {0.04, 0, "90 51 FF", 1, CommandEnd::Completed}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        link::CommandPacer pacer;
        for (const Step& s : k.steps) {
            if (s.send > 0) {
                pacer.sent(1, {bytesOf(kBackLightOn), "", link::CommandPacer::Kind::Other}, s.at, s.send);
                continue;
            }
            SCOPED_TRACE(s.reply);
            const link::Reply r = link::decodeReply(bytesOf(s.reply));
            const auto m = pacer.replied(r.camera, r, s.at);
            EXPECT_EQ(m.id, s.endsId);
            if (s.endsId != 0) {
                EXPECT_EQ(m.end, s.end);
            }
        }
    }
}
