// Commands paced by the cameras' command sockets.
#include <gtest/gtest.h>

#include <functional>

#include "link/pacer.h"
#include "app/testing/rig.h"

using orbus::Bytes;
using orbus::link::CommandPacer;
using Kind = CommandPacer::Kind;

namespace {

CommandPacer::Item item(std::uint8_t id, std::uint8_t value, Kind kind = Kind::Value) {
    return {Bytes{0x81, 0x01, 0x04, id, value, 0xFF}, std::string(1, static_cast<char>(id)), kind};
}

// Offers a command as the window does: out now when it need not wait.
void offer(CommandPacer& p, CommandPacer::Item i, std::vector<Bytes>& wire) {
    if (p.mustWait(1)) {
        p.wait(1, std::move(i));
        return;
    }
    wire.push_back(i.packet);
    p.sent(1, std::move(i));
}

// Camera 1's reply (a hexadecimal packet) at `at`.
orbus::link::InFlight::Outcome reply(CommandPacer& p, Bytes bytes, double at = 0) {
    return p.replied(1, orbus::link::decodeReply(std::move(bytes)), at);
}

// A completion, then what waits goes out.
void complete(CommandPacer& p, std::vector<Bytes>& wire) {
    reply(p, {0x90, 0x51, 0xFF});
    while (auto i = p.next(1)) {
        wire.push_back(i->packet);
        p.sent(1, std::move(*i));
    }
}

std::uint8_t valueOf(const Bytes& b) { return b[4]; }

}  // namespace

TEST(Pacer, ADragEndsAtItsLastValueWithNoMoreInFlightThanSockets) {
    CommandPacer p;
    std::vector<Bytes> wire;
    // Forty zoom values and ten gain values in a burst, completions trickling in.
    for (int v = 1; v <= 40; ++v) {
        offer(p, item(0x47, static_cast<std::uint8_t>(v)), wire);
        if (v % 4 == 0) offer(p, item(0x4C, static_cast<std::uint8_t>(v / 4)), wire);
        EXPECT_LE(p.inFlight(1), CommandPacer::kSockets);
        if (v % 10 == 0) complete(p, wire);
    }
    while (p.inFlight(1) > 0) complete(p, wire);
    EXPECT_EQ(p.waiting(1), 0u);
    // The last zoom and gain values sent are the operator's last ones.
    Bytes lastZoom, lastGain;
    for (const Bytes& b : wire) (b[3] == 0x47 ? lastZoom : lastGain) = b;
    EXPECT_EQ(valueOf(lastZoom), 40);
    EXPECT_EQ(valueOf(lastGain), 10);
    EXPECT_LT(wire.size(), 20u);
    EXPECT_GT(p.coalesced(), 30);
}

TEST(Pacer, StopsGoFirstAndDrivesAreNeverReplaced) {
    CommandPacer p;
    std::vector<Bytes> wire;
    offer(p, item(0x47, 1), wire);
    offer(p, item(0x47, 2), wire);
    offer(p, item(0x07, 0x22, Kind::Other), wire);  // tele drive waits
    offer(p, item(0x07, 0x23, Kind::Other), wire);  // a second drive is not merged into it
    offer(p, item(0x47, 3), wire);
    offer(p, item(0x48, 0x10, Kind::Other), wire);  // another command's drive stays
    EXPECT_EQ(p.waiting(1), 4u);
    offer(p, item(0x07, 0x00, Kind::Stop), wire);
    // The stop goes first, and the drives it ends never start.
    EXPECT_EQ(p.waiting(1), 3u);
    complete(p, wire);
    complete(p, wire);
    complete(p, wire);
    ASSERT_EQ(wire.size(), 5u);
    EXPECT_EQ(wire[2], item(0x07, 0x00).packet);
    EXPECT_EQ(wire[3], item(0x47, 3).packet);
    EXPECT_EQ(wire[4], item(0x48, 0x10).packet);
}

// The panel's own controllers go before the network's clients that wait;
// each side keeps its order, and a stop from anyone goes first.
TEST(Pacer, ThePanelsCommandsGoBeforeWaitingRemoteOnes) {
    using orbus::link::Source;
    CommandPacer p;
    std::vector<Bytes> wire;
    const auto from = [](std::optional<Source> source, std::uint8_t id, Kind kind = Kind::Other) {
        CommandPacer::Item i = item(id, 0x02, kind);
        i.source = source;
        return i;
    };
    for (std::uint8_t id : {0x10, 0x11, 0x12, 0x13}) offer(p, from(Source::Remote, id), wire);
    offer(p, from(Source::MainWindow, 0x20), wire);
    offer(p, from(Source::Remote, 0x14), wire);
    offer(p, from(Source::Gamepad, 0x21), wire);
    offer(p, from(std::nullopt, 0x22), wire);  // the panel's own
    offer(p, from(Source::Remote, 0x15, Kind::Stop), wire);
    while (p.inFlight(1) > 0) complete(p, wire);
    std::vector<int> order;
    for (const Bytes& b : wire) order.push_back(b[3]);
    EXPECT_EQ(order, (std::vector<int>{0x10, 0x11, 0x15, 0x20, 0x21, 0x22, 0x12, 0x13, 0x14}));

    // A remote packet refused while the panel's wait goes in front of them
    // again; a later command of the panel's still comes after its earlier ones.
    wire.clear();
    offer(p, from(Source::Remote, 0x30), wire);
    offer(p, from(Source::MainWindow, 0x40), wire);
    offer(p, from(Source::MainWindow, 0x41), wire);
    offer(p, from(Source::MainWindow, 0x42), wire);
    reply(p, {0x90, 0x60, 0x03, 0xFF});  // camera 1 refuses the remote packet
    offer(p, from(Source::MainWindow, 0x43), wire);
    while (p.inFlight(1) > 0 || p.waiting(1) > 0) complete(p, wire);
    order.clear();
    for (const Bytes& b : wire) order.push_back(b[3]);
    EXPECT_EQ(order, (std::vector<int>{0x30, 0x40, 0x30, 0x41, 0x42, 0x43}));
}

TEST(Pacer, ARefusedCommandGoesAgainAfterTheNextCompletionUnlessANewerValueWaits) {
    struct Row {
        const char* what;
        bool newerWaits;
        std::uint8_t resent;
    } rows[] = {{"alone", false, 5}, {"a newer value waits", true, 9}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        CommandPacer p;
        std::vector<Bytes> wire;
        offer(p, item(0x48, 1), wire);
        reply(p, {0x90, 0x41, 0xFF});
        offer(p, item(0x47, 5), wire);  // the camera is busy elsewhere: refused
        reply(p, {0x90, 0x60, 0x03, 0xFF});
        EXPECT_EQ(p.refusals(1), 1);
        EXPECT_TRUE(p.mustWait(1));  // held until a completion
        EXPECT_FALSE(p.next(1));
        if (r.newerWaits) offer(p, item(0x47, 9), wire);
        wire.clear();
        complete(p, wire);
        ASSERT_EQ(wire.size(), 1u);
        EXPECT_EQ(valueOf(wire[0]), r.resent);
    }
    // A camera that stopped answering frees its sockets; the port gone drops all.
    CommandPacer p;
    std::vector<Bytes> wire;
    for (std::uint8_t v = 1; v <= 3; ++v) offer(p, item(0x47, v), wire);
    p.forgetInFlight(1);
    EXPECT_EQ(p.next(1)->packet, item(0x47, 3).packet);
    p.wait(1, item(0x47, 4));
    p.clear();
    EXPECT_EQ(p.waiting(1), 0u);
    EXPECT_FALSE(p.mustWait(1));
}

namespace {

using orbus::FrmMain;
using orbus::Slider;
using orbus::testing::Rig;

// Replies on the wire that say "buffer full", since the mark.
int refusalsOnWire(const std::vector<orbus::Bytes>& replies) {
    int n = 0;
    for (const orbus::Bytes& r : replies) n += r.size() == 4 && r[1] == 0x60 && r[2] == 0x03;
    return n;
}

}  // namespace

TEST(Drag, EverySliderEndsWhereTheOperatorLeftItWithNoRefusal) {
    struct Row {
        const char* slider;
        std::function<Slider&(FrmMain&)> pick;
        std::function<void(FrmMain&)> prepare;  // the mode that lets the slider send
    };
    const std::vector<Row> rows = {
        {"ZoomSlider", [](FrmMain& m) -> Slider& { return m.ZoomSlider; }, {}},
        {"FocusSlider", [](FrmMain& m) -> Slider& { return m.FocusSlider; }, [](FrmMain& m) { m.ManAFMode.click(); }},
        {"IrisSlider", [](FrmMain& m) -> Slider& { return m.IrisSlider; }, [](FrmMain& m) { m.Manual.click(); }},
        {"GainSlider", [](FrmMain& m) -> Slider& { return m.GainSlider; }, [](FrmMain& m) { m.Manual.click(); }},
        {"ShutterSlider", [](FrmMain& m) -> Slider& { return m.ShutterSlider; }, [](FrmMain& m) { m.Manual.click(); }},
        {"BrightSlider", [](FrmMain& m) -> Slider& { return m.BrightSlider; }, [](FrmMain& m) { m.Bright.click(); }},
        {"ExpCompSlider", [](FrmMain& m) -> Slider& { return m.ExpCompSlider; },
         [](FrmMain& m) {
             if (!m.ExpComp.value()) m.ExpComp.click();
         }},
        {"ApertureSlider", [](FrmMain& m) -> Slider& { return m.ApertureSlider; }, {}},
        {"RGainSlider", [](FrmMain& m) -> Slider& { return m.RGainSlider; }, [](FrmMain& m) { m.ManualWB.click(); }},
        {"BGainSlider", [](FrmMain& m) -> Slider& { return m.BGainSlider; }, [](FrmMain& m) { m.ManualWB.click(); }},
        {"DZoomSlider", [](FrmMain& m) -> Slider& { return m.DZoomSlider; }, [](FrmMain& m) { m.DZoomMode[1].click(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.slider);
        Rig rig({"KBM-R20"});
        rig.chain.timed = true;
        ASSERT_TRUE(rig.startUp());
        FrmMain& m = rig.main();
        if (row.prepare) row.prepare(m);
        rig.run(1.0);
        Slider& s = row.pick(m);
        std::vector<orbus::Bytes> replies;
        rig.chain.trace = [&](const char* dir, const orbus::Bytes& b) {
            if (std::string(dir) == "->") replies.push_back(b);
        };
        const std::size_t mark = rig.mark();
        // Forty steps across the range in 0.4 s, then the release.
        m.refresh().switchOff();
        s.mouseDown();
        for (int i = 1; i <= 40; ++i) {
            s.scrollTo(s.min() + (s.max() - s.min()) * i / 41);
            rig.run(0.01);
        }
        s.mouseUp();
        rig.run(8.0);
        const std::vector<std::string> sent = rig.packetsSince(mark, "01");
        ASSERT_FALSE(sent.empty());
        // The last packet of the slider's kind carries the slider's value,
        // whatever was dropped of the drag between: it is the packet the
        // slider sends for the value it shows.
        std::string last;
        for (const std::string& p : sent) {
            if (p.compare(3, 8, sent.back().substr(3, 8)) == 0) last = p;
        }
        std::vector<std::string> released;
        {
            const std::size_t again = rig.mark();
            s.scrollTo(s.value());
            rig.run(3.0);
            released = rig.packetsSince(again, "01");
        }
        ASSERT_FALSE(released.empty());
        EXPECT_EQ(last, released.back());
        EXPECT_EQ(refusalsOnWire(replies), 0);
        EXPECT_EQ(m.pacer().refusals(1), 0);
    }
}

TEST(Drag, ACameraRefusalIsRecoveredAndAStopOvertakesWaitingValues) {
    Rig rig({"KBM-R20"});
    rig.chain.timed = true;
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    m.refresh().switchOff();
    rig.run(1.0);
    // The camera refuses the first zoom position as if a socket were taken
    // by someone else; the panel sends it again after the next completion.
    int refusals = 1;
    rig.chain.mutate = [&refusals](const orbus::Bytes& p, std::vector<orbus::Bytes>& replies) {
        if (refusals > 0 && p.size() == 9 && p[1] == 0x01 && p[3] == 0x47) {
            --refusals;
            replies = {orbus::Bytes{0x90, 0x60, 0x03, 0xFF}};
        }
    };
    const std::size_t mark = rig.mark();
    m.FocusSlider.scrollTo(0x2000);  // (manual focus is not needed: the packet still goes)
    m.ZoomSlider.scrollTo(0x3000);
    rig.run(3.0);
    const std::vector<std::string> zoom = rig.packetsSince(mark, "01 04 47");
    ASSERT_EQ(zoom.size(), 2u);
    EXPECT_EQ(zoom[0], zoom[1]);
    EXPECT_EQ(m.pacer().refusals(1), 1);
    EXPECT_EQ(rig.chain.camera(0).state().zoom, 0x3000);

    // Values wait behind two slow moves; a tele drive's stop goes before them.
    m.ZoomSlider.scrollTo(0x7000);
    m.FocusSlider.scrollTo(0x9000);
    const std::size_t before = rig.mark();
    m.ZoomSlider.scrollTo(0x1000);
    m.ZoomSlider.scrollTo(0x2000);
    m.ZoomTele.mouseDown();
    m.ZoomTele.mouseUp();
    rig.run(5.0);
    const std::vector<std::string> after = rig.packetsSince(before, "01 04");
    // The stop first; the drive it ends never starts; 0x1000 was replaced
    // by 0x2000 while it waited.
    EXPECT_EQ(after, (std::vector<std::string>{"81 01 04 07 00 FF", "81 01 04 47 02 00 00 00 FF"}));
    EXPECT_EQ(rig.chain.camera(0).state().zoom, 0x2000);
}

TEST(Pacer, OverdueCommandsAreGivenUpButAnAcknowledgedDriveKeepsItsSocket) {
    CommandPacer p;
    p.sent(1, item(0x47, 1), 0.0);  // never acknowledged
    p.sent(1, item(0x48, 1), 0.5);
    reply(p, {0x90, 0x41, 0xFF}, 0.5);       // (acknowledges the oldest: the zoom)
    EXPECT_EQ(p.forgetOverdue(1, 1.2), std::make_pair(0, 0));  // the focus has 0.3 s left
    EXPECT_EQ(p.forgetOverdue(1, 1.6), std::make_pair(1, 0));  // not taken by the camera
    EXPECT_EQ(p.inFlight(1), 1);
    EXPECT_EQ(p.forgetOverdue(1, 10.0), std::make_pair(0, 1));  // the zoom never completed
    CommandPacer::Item drive{Bytes{0x81, 0x01, 0x06, 0x01, 0x18, 0x17, 0x03, 0x01, 0xFF}, "", Kind::Other};
    ASSERT_TRUE(CommandPacer::startsDrive(drive.packet));
    p.sent(1, drive, 20.0);
    reply(p, {0x90, 0x42, 0xFF}, 20.1);
    EXPECT_EQ(p.forgetOverdue(1, 60.0), std::make_pair(0, 0));
    EXPECT_EQ(p.inFlight(1), 1);
}

TEST(Drag, ACameraThatNeverCompletesDoesNotHoldTheOperatorsCommandsForEver) {
    Rig rig({"KBM-R20"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    rig.run(1.0);
    // Acknowledges on its two sockets in turn, never completes; auto
    // refresh is off (no watchdog).
    rig.chain.mutate = [socket = 0](const orbus::Bytes& p, std::vector<orbus::Bytes>& replies) mutable {
        if (p.size() > 2 && p[1] == 0x01) {
            replies = {orbus::Bytes{0x90, static_cast<std::uint8_t>(0x41 + socket), 0xFF}};
            socket = 1 - socket;
        }
    };
    const std::size_t mark = rig.mark();
    m.ZoomSlider.scrollTo(0x1000);
    m.ZoomSlider.scrollTo(0x2000);
    m.ZoomSlider.scrollTo(0x3000);  // waits: two in flight
    rig.run(1.0);
    EXPECT_EQ(rig.packetsSince(mark, "01 04 47").size(), 2u);
    rig.run(10.0);
    EXPECT_EQ(rig.packetsSince(mark, "01 04 47").size(), 3u);
    EXPECT_EQ(rig.program->chain.camera(1).incomplete, 2);
}

// Under auto refresh the watchdog gives up, when it ticks, the commands
// whose completion did not come while it counted. A command sent since may
// still be running: its socket stays the camera's, or the camera would be
// sent one command more than it has sockets and refuse it.
TEST(Drag, TheWatchdogKeepsTheSocketsOfCommandsStillRunning) {
    Rig rig({"KBM-R20", "KBM-R05"});
    rig.chain.timed = true;
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    rig.run(1.0);
    std::vector<orbus::Bytes> replies;
    rig.chain.trace = [&](const char* dir, const orbus::Bytes& b) {
        if (std::string(dir) == "->") replies.push_back(b);
    };
    if (!m.refresh().autoOn()) m.AutoRefreshed.click();
    // Camera 2 never completes; its command starts the watchdog's count.
    rig.chain.camera(1).silent = true;
    m.SendValues({0x82, 0x01, 0x04, 0x33, 0x02, 0xFF}, FrmMain::kCommand);
    rig.run(5.0);
    // A second before the tick camera 1 gets three commands of 3 s each.
    rig.chain.executionScale = 100;
    const std::size_t mark = rig.mark();
    m.SendPaced({0x81, 0x01, 0x04, 0x33, 0x02, 0xFF}, "", Kind::Other);
    m.SendPaced({0x81, 0x01, 0x04, 0x42, 0x00, 0x00, 0x00, 0x05, 0xFF}, "", Kind::Other);
    m.SendPaced({0x81, 0x01, 0x04, 0x33, 0x03, 0xFF}, "", Kind::Other);
    rig.run(1.5);
    EXPECT_EQ(m.pacer().inFlight(2), 0);  // its completion never came
    EXPECT_EQ(m.pacer().inFlight(1), 2);  // running
    EXPECT_EQ(m.pacer().waiting(1), 1u);
    rig.run(8.0);
    EXPECT_EQ(rig.packetsSince(mark, "01").size(), 3u);
    EXPECT_EQ(refusalsOnWire(replies), 0);
    EXPECT_EQ(m.pacer().refusals(1), 0);
    EXPECT_EQ(rig.program->chain.camera(1).incomplete, 0);
}

// A refusal followed by silence: with auto refresh off no watchdog runs,
// yet the refused value goes out again within about a second.
TEST(Drag, ARefusalFollowedBySilenceDoesNotHoldTheQueueForEver) {
    Rig rig({"KBM-R20"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    m.refresh().switchOff();
    rig.run(1.0);
    bool refused = false;
    rig.chain.mutate = [&refused](const orbus::Bytes& p, std::vector<orbus::Bytes>& replies) {
        if (p.size() == 9 && p[1] == 0x01 && p[3] == 0x47) {
            replies.clear();
            if (!refused) replies = {orbus::Bytes{0x90, 0x60, 0x03, 0xFF}};
            refused = true;
        }
    };
    const std::size_t mark = rig.mark();
    m.ZoomSlider.scrollTo(0x3000);
    rig.run(0.5);
    EXPECT_EQ(rig.packetsSince(mark, "01 04 47").size(), 1u);
    rig.run(1.0);
    EXPECT_EQ(rig.packetsSince(mark, "01 04 47").size(), 2u);
}

// The record of commands in flight against the camera's replies and the
// panel's overdue checks: which command a reply ends, what keeps a socket,
// and when what waits may go.
TEST(Pacer, EachReplyEndsItsOwnCommandAndWhatWaitsGoesInTime) {
    enum Op { Send, Reply, Overdue, Watchdog };
    struct Step {
        Op op;
        double at;
        Bytes bytes;  // Send: the packet; Reply: the reply
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int inFlight;         // afterwards
        bool waitingGoes;     // a command queued before the steps may go out afterwards
    };
    const Bytes zoomTele{0x81, 0x01, 0x04, 0x07, 0x27, 0xFF};
    const Bytes focusFar{0x81, 0x01, 0x04, 0x08, 0x02, 0xFF};
    const Bytes backLight{0x81, 0x01, 0x04, 0x33, 0x02, 0xFF};
    const Bytes serviceRead{0x81, 0x01, 0x06, 0x1A, 0x00, 0x01, 0xFF};
    const Bytes ack1{0x90, 0x41, 0xFF}, ack2{0x90, 0x42, 0xFF}, done1{0x90, 0x51, 0xFF}, done2{0x90, 0x52, 0xFF};
    const Case cases[] = {
        // Held drives keep both sockets past every limit until their stops.
        {"zoom and focus held for long",
         {{Send, 0, zoomTele}, {Reply, 0.01, ack1}, {Send, 0.02, focusFar}, {Reply, 0.03, ack2},
          {Overdue, 10.05, {}}, {Watchdog, 12, {}}, {Overdue, 30, {}}},
         2, false},
        // The completion of socket 2 ends the command that took socket 2:
        // the drive on socket 1 still runs and holds its socket.
        {"a completion ends its socket's command",
         {{Send, 0, zoomTele}, {Reply, 0.01, ack1}, {Send, 0.02, backLight}, {Reply, 0.03, ack2},
          {Reply, 0.05, done2}, {Overdue, 10.05, {}}},
         1, true},
        // A socket's error ends its command at once; so does one in place
        // of an acknowledge: what waits goes now, not a second later.
        {"an error ends its command at once",
         {{Send, 0, backLight}, {Reply, 0.01, ack1}, {Send, 0.02, backLight}, {Reply, 0.03, ack2},
          {Reply, 0.05, {0x90, 0x61, 0x41, 0xFF}}},
         1, true},
        {"an error in place of an acknowledge",
         {{Send, 0, backLight}, {Reply, 0.01, ack1}, {Send, 0.02, backLight}, {Reply, 0.03, {0x90, 0x60, 0x02, 0xFF}}},
         1, true},
        // A refusal holds what waits until a completion, or a second of silence.
        {"refused, then silence",
         {{Send, 0, backLight}, {Reply, 0.01, {0x90, 0x60, 0x03, 0xFF}}, {Overdue, 0.5, {}}, {Overdue, 1.02, {}}},
         0, true},
        {"refused, not yet a second",
         {{Send, 0, backLight}, {Reply, 0.01, {0x90, 0x60, 0x03, 0xFF}}, {Overdue, 0.5, {}}}, 0, false},
        // Answered like an inquiry, a service memory read takes no socket.
        {"a service memory read", {{Send, 0, serviceRead}, {Send, 0, serviceRead}, {Send, 0, backLight}}, 1, true},
        // A finished command's socket is free: a later error on it belongs
        // to the command that then took it, not to the finished one.
        {"a completion frees its socket",
         {{Send, 0, backLight}, {Reply, 0.01, ack1}, {Reply, 0.02, done1}, {Send, 0.03, zoomTele},
          {Send, 0.04, focusFar}, {Reply, 0.05, ack2}, {Reply, 0.06, {0x90, 0x61, 0x41, 0xFF}}},
         1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CommandPacer p;
        long id = 0;
        for (const Step& s : c.steps) {
            switch (s.op) {
            case Send: p.sent(1, {s.bytes, "", Kind::Other}, s.at, ++id); break;
            case Reply: reply(p, s.bytes, s.at); break;
            case Overdue: p.forgetOverdue(1, s.at); break;
            case Watchdog: p.forgetInFlight(1); break;
            }
        }
        EXPECT_EQ(p.inFlight(1), c.inFlight);
        p.wait(1, item(0x47, 1));
        EXPECT_EQ(p.next(1).has_value(), c.waitingGoes);
    }
}

// Which awaited command each reply ends, seen by the routine awaiting it.
TEST(Pacer, RepliesNameTheAwaitedCommandTheyEnd) {
    const Bytes backLight{0x81, 0x01, 0x04, 0x33, 0x02, 0xFF};
    CommandPacer p;
    p.sent(1, {backLight, "", Kind::Other}, 0, 1);
    EXPECT_EQ(reply(p, {0x90, 0x41, 0xFF}, 0.01).id, 0);
    EXPECT_EQ(reply(p, {0x90, 0x51, 0xFF}, 0.02).id, 1);
    p.sent(1, {backLight, "", Kind::Other}, 0.03, 2);
    // A late error on the finished command's socket, in place of the new
    // command's acknowledge: it refuses the new one, not the finished one.
    const auto late = reply(p, {0x90, 0x61, 0x41, 0xFF}, 0.04);
    EXPECT_EQ(late.id, 2);
    EXPECT_EQ(p.ends(1), 1);
}
