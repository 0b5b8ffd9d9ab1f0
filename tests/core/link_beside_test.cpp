// The link beside the window: waits that hold nothing, replies routed by
// their kind, commands that go out in the middle of a read, a read that
// fails once, and the owner of the refresh state, on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "link/line.h"
#include "link/packet.h"
#include "app/testing/rig.h"
#include "platform/testing/virtual_loop.h"

using namespace orbus;
using orbus::testing::Rig;
using orbus::testing::VirtualLoop;

namespace {

Bytes bytesOf(const std::string& hex) {
    Bytes b;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3) b.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return b;
}

// One wait for an answer on a bare line; the bytes arrive as the case says.
struct RouteCase {
    const char* name;
    std::vector<std::pair<double, std::string>> arrivals;  // (time, bytes)
    int count;
    const char* answer;                   // what the wait gives ("" when it timed out)
    std::vector<std::string> commandReplies;
    const char* toReceivePath;            // what came when no sequence held the line
};

link::Async<void> waitOnce(link::Line& line, int count, link::Answer& out, bool& done) {
    link::Line::Hold hold = co_await line.take();
    out = co_await line.reply(count, true);
    hold.release();
    done = true;
}

}  // namespace

TEST(LineRouting, RepliesGoByTheirKind) {
    const RouteCase cases[] = {
        {"answer alone", {{0.01, "90 50 02 FF"}}, 4, "90 50 02 FF", {}, ""},
        // The start of a command's reply behind the answer is not the
        // answer's: once whole, it goes to the receive path.
        {"a reply begun behind the answer", {{0.01, "90 50 02 FF 90"}, {0.5, "51 FF"}}, 4, "90 50 02 FF", {}, "90 51 FF"},
        {"acknowledge in front", {{0.01, "90 41 FF 90 50 02 FF"}}, 4, "90 50 02 FF", {"90 41 FF"}, ""},
        {"completion right behind", {{0.01, "90 50 02 FF 90 51 FF"}}, 4, "90 50 02 FF", {"90 51 FF"}, ""},
        {"single bytes around the answer",
         {{0.01, "90"}, {0.02, "41"}, {0.03, "FF 90 50"}, {0.04, "02"}, {0.05, "FF 90"}, {0.05, "52 FF"}},
         4, "90 50 02 FF", {"90 41 FF", "90 52 FF"}, ""},
        {"a command's error in front", {{0.01, "90 61 41 FF 90 50 03 FF"}}, 4, "90 50 03 FF", {"90 61 41 FF"}, ""},
        // An error without a command socket is the inquiry's: it fails its check.
        {"error of socket 0 is the answer's", {{0.01, "90 60 02 FF"}}, 4, "90 60 02 FF", {}, ""},
        {"silent", {}, 4, "", {}, ""},
        // Just after the limit: the wait has given up; the bytes stay for
        // the sequence's next exchange, as the input buffer kept them.
        {"answer just after the limit", {{1.001, "90 50 02 FF"}}, 4, "", {}, "90 50 02 FF"},
        // A completion that comes once the sequence has let the line go is
        // the receive path's, which logs and classifies it.
        {"completion after the sequence", {{0.01, "90 50 02 FF"}, {0.5, "90 51 FF"}}, 4, "90 50 02 FF", {}, "90 51 FF"},
    };
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualLoop loop;
        link::Line line(loop);
        std::vector<std::string> commands, unclaimed;
        line.onCommandReply = [&](const Bytes& b) { commands.push_back(packetText(b)); };
        line.onUnclaimed = [&](const Bytes& b) { unclaimed.push_back(packetText(b)); };
        for (const auto& [at, hex] : c.arrivals) {
            const Bytes b = bytesOf(hex);
            loop.post(at, [&line, b] { line.received(b); });
        }
        link::Tasks tasks;
        link::Answer answer;
        bool done = false;
        // Holds the line after the wait, to see what is left for a next exchange.
        link::Line::Hold keep;
        tasks.start(waitOnce(line, c.count, answer, done));
        loop.runFor(0.9);
        loop.runUntil(1.0005);
        // What arrives from now on finds the sequence still holding the line.
        tasks.start([](link::Line& l, link::Line::Hold& k) -> link::Async<void> { k = co_await l.take(); }(line, keep));
        loop.runFor(2);
        ASSERT_TRUE(done);
        EXPECT_EQ(answer.timedOut, std::string(c.answer).empty());
        EXPECT_EQ(answer.timedOut ? std::string() : packetText(answer.bytes), c.answer);
        EXPECT_EQ(commands, c.commandReplies);
        // Leftovers go to the receive path when the line is let go.
        keep.release();
        std::string left;
        for (const std::string& u : unclaimed) left += (left.empty() ? "" : " ") + u;
        EXPECT_EQ(left, c.toReceivePath);
    }
}

namespace {

struct Beside : ::testing::Test {
    std::unique_ptr<Rig> rig;
    FrmMain* m = nullptr;
    void start(const char* model) {
        rig = std::make_unique<Rig>(std::vector<std::string>{model});
        ASSERT_TRUE(rig->startUp());
        m = &rig->main();
        // From here on routines run beside the test as beside the window.
        rig->driveToEnd(false);
    }
    std::size_t count(const std::vector<std::string>& sent, const std::string& p) const {
        return static_cast<std::size_t>(std::count(sent.begin(), sent.end(), p));
    }
};

const std::string kTeleEnd = "81 01 04 47 04 00 00 00 FF";
const std::string kLensBlock = "81 09 7E 7E 00 FF";
const std::string kPower = "81 09 04 00 FF";

}  // namespace

TEST_F(Beside, AReadRunsBesideTheWindowAndACommandGoesOutInItsMiddle) {
    start("ORX-Kappa");
    m->AutoRefreshed.click();
    const auto mark = rig->mark();
    ASSERT_TRUE(m->ReadCameraStatus());
    // The read has begun and returned: its first inquiry is on the line.
    EXPECT_TRUE(rig->link().StatusReading);
    EXPECT_EQ(rig->packetsSince(mark), std::vector<std::string>{kPower});
    rig->run(0.003);
    // The operator's click goes out now, not after the read.
    m->FarT.click();
    EXPECT_EQ(rig->packetsSince(mark).back(), kTeleEnd);
    EXPECT_TRUE(m->readOvertaken());
    ASSERT_TRUE(rig->settle());
    // The read stopped after its exchange in flight: nothing older than the
    // command is shown, and no block was asked behind it.
    const auto sent = rig->packetsSince(mark);
    EXPECT_EQ(count(sent, kPower), 1u);
    EXPECT_EQ(count(sent, kLensBlock), 0u);
    EXPECT_FALSE(rig->link().StatusReading);
    // Its replies reached the completion check and ended the pause.
    rig->run(0.05);
    EXPECT_NE(m->RecvText.text().find("90 41 FF \r\n90 51 FF \r\n"), std::string::npos);
    EXPECT_TRUE(m->Timer1.enabled());
    EXPECT_TRUE(m->AutoRefreshed.enabled());
    // The refresh reads the camera again two seconds later, to its end.
    rig->run(2.2);
    rig->settle();
    EXPECT_EQ(count(rig->packetsSince(mark), kLensBlock), 1u);
}

TEST_F(Beside, WithAutoRefreshOffAnOvertakenReadIsOwedOnce) {
    start("ORX-Beta");
    const auto mark = rig->mark();
    m->RefreshOnce.click();
    rig->run(0.002);
    m->FarT.click();
    rig->settle();
    EXPECT_EQ(count(rig->packetsSince(mark), kLensBlock), 1u);  // only the one in flight
    // One read follows by itself, then nothing more.
    rig->run(2.5);
    rig->settle();
    rig->run(10);
    const auto sent = rig->packetsSince(mark);
    EXPECT_EQ(count(sent, kLensBlock), 2u);
    EXPECT_EQ(count(sent, "81 09 7E 7E 03 FF"), 1u);
}

TEST_F(Beside, ASilentCameraFailsOnceAndTheOperatorIsNeverHeldBack) {
    start("ORX-Kappa");
    m->AutoRefreshed.click();
    bool readEndedBeforeTheMessage = false;
    rig->windows.onMessage = [&](const Message&) { readEndedBeforeTheMessage = !rig->link().StatusReading; };
    rig->chain.faults.silent = true;
    const auto mark = rig->mark();
    const double t0 = rig->loop.now();
    ASSERT_TRUE(m->ReadCameraStatus());
    rig->run(2.5);
    // In the middle of the failing read the click goes out at once.
    m->FarT.click();
    EXPECT_EQ(rig->packetsSince(mark).back(), kTeleEnd);
    rig->run(20);
    ASSERT_EQ(rig->windows.messages.size(), 1u);
    EXPECT_EQ(rig->windows.messages[0].text, "Refresh Action Error !\r\nRefresh Action is Stopped.");
    EXPECT_TRUE(readEndedBeforeTheMessage);
    // Seven power inquiries, one second each, and the read went no further.
    const auto sent = rig->packetsSince(mark);
    EXPECT_EQ(count(sent, kPower), 7u);
    EXPECT_EQ(count(sent, kLensBlock), 0u);
    EXPECT_EQ(rig->link().LastRefreshError, 940);
    EXPECT_EQ(m->AutoRefreshed.caption(), "Stop");
    EXPECT_GE(rig->loop.now() - t0, 7.0);
}

TEST_F(Beside, AnotherCameraChosenInTheMiddleOfAReadIsReadAsItself) {
    rig = std::make_unique<Rig>(std::vector<std::string>{"ORX-Beta", "KBM-R05"});
    ASSERT_TRUE(rig->startUp());
    m = &rig->main();
    rig->driveToEnd(false);
    // In the middle of identifying camera 1 again, camera 2 is chosen: the
    // answer in flight is not laid out as camera 2.
    rig->program->model.VersionRead = false;
    const auto mark = rig->mark();
    ASSERT_TRUE(m->ReadCameraStatus());
    rig->run(0.004);
    m->CameraSel[2].click();
    ASSERT_TRUE(rig->settle());
    const auto sent = rig->packetsSince(mark);
    EXPECT_EQ(count(sent, "81 09 00 02 FF"), 1u);
    EXPECT_EQ(count(sent, kLensBlock), 0u);
    EXPECT_EQ(count(sent, "82 09 00 02 FF"), 1u);
    EXPECT_EQ(count(sent, "82 09 7E 7E 00 FF"), 1u);
    EXPECT_EQ(m->ModelVersion.text(), "KBM-R05");
    EXPECT_FALSE(rig->program->model.IsPanTiltSeries);
}

TEST_F(Beside, SequencesTakeTurnsOnTheLine) {
    start("ORX-Beta");
    // The address set asked for during a read: the read ends after its
    // exchange in flight, then the broadcast has the line to itself; with
    // the camera silent it waits for that one exchange only, and the read
    // tells of no failure.
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent" : "answering");
        rig->chain.faults.silent = silent;
        if (silent != m->autoCaption()) m->AutoRefreshed.click();
        const auto mark = rig->mark();
        const double t0 = rig->loop.now();
        ASSERT_TRUE(m->ReadCameraStatus());
        m->AddressSet.click();
        EXPECT_EQ(rig->packetsSince(mark), std::vector<std::string>{kLensBlock});
        double sentAt = -1;
        while (sentAt < 0 && rig->loop.now() - t0 < 10) {
            rig->run(0.01);
            const auto sent = rig->packetsSince(mark);
            if (sent.size() > 1) {
                EXPECT_EQ(sent[1], "88 30 01 FF");
                sentAt = rig->loop.now() - t0;
            }
        }
        EXPECT_GE(sentAt, 0);
        EXPECT_LE(sentAt, silent ? 1.05 : 0.1);
        ASSERT_TRUE(rig->settle());
        EXPECT_TRUE(rig->windows.messages.empty());
    }
    rig->chain.faults.silent = false;
    // A read asked for while one runs is refused, as before.
    ASSERT_TRUE(m->ReadCameraStatus());
    EXPECT_FALSE(m->ReadCameraStatus());
    rig->settle();
}

TEST_F(Beside, ClosingInTheMiddleOfAReadLeavesNothingBehind) {
    start("ORX-Kappa");
    rig->chain.faults.silent = true;
    ASSERT_TRUE(m->ReadCameraStatus());
    rig->run(0.5);
    EXPECT_FALSE(m->linkIdle());
    // The program goes with the read still waiting: no routine outlives it
    // (the sanitizers would see a leak or a late resume).
    rig->program.reset();
    rig->run(5);
}

// The refresh owner: each event from each state, as the operator sees the
// two buttons and the two timers.
TEST(RefreshOwner, Transitions) {
    struct Look {
        const char* caption;
        bool timer1, button, once, timer3;
    };
    const Look off{"Stop", false, true, true, false};
    const Look running{"Auto", true, true, false, false};
    const Look paused{"Auto", false, false, false, true};
    const Look held{"Auto", false, true, false, false};
    const Look heldLocked{"Auto", false, false, false, false};
    using Step = std::function<void(FrmMain&)>;
    const Step toggle = [](FrmMain& m) { m.AutoRefreshed.click(); };
    const Step command = [](FrmMain& m) { m.Command({0x01, 0x04, 0x0B, 0x02}); };
    // A command whose camera never answers.
    const Step silentCommand = [](FrmMain& m) { m.refresh().commandSent(); };
    struct Row {
        const char* name;
        std::vector<Step> steps;
        double run;
        Look look;
    };
    const Row rows[] = {
        {"start-up leaves it off", {}, 0, off},
        {"the button turns it on", {toggle}, 0, running},
        {"and off again", {toggle, toggle}, 0, off},
        {"a command pauses it", {toggle, silentCommand}, 0, paused},
        {"its completion resumes it", {toggle, command}, 0.2, {"Auto", true, true, false, true}},
        {"the watchdog resumes it when no completion comes", {toggle, silentCommand}, 6.05, running},
        {"an acknowledge pauses it", {toggle, [](FrmMain& m) { m.refresh().acknowledged(); }}, 0, paused},
        {"a dialog holds it", {toggle, [](FrmMain& m) { m.refresh().hold(false); }}, 0, held},
        {"with the button locked", {toggle, [](FrmMain& m) { m.refresh().hold(true); }}, 0, heldLocked},
        {"no completion resumes it behind a dialog",
         {toggle, [](FrmMain& m) { m.refresh().hold(false); }, command}, 7, {"Auto", false, false, false, false}},
        {"the dialog gives it back",
         {toggle, [](FrmMain& m) { m.refresh().hold(true); }, command, [](FrmMain& m) { m.refresh().giveBack(); }},
         0.5, {"Auto", true, true, false, true}},
        {"a slider drag holds it", {toggle, [](FrmMain& m) { m.refresh().dragStarts(); }}, 0, held},
        {"and its release gives it back",
         {toggle, [](FrmMain& m) { m.refresh().dragStarts(); }, [](FrmMain& m) { m.refresh().dragEnds(); }}, 0, running},
        {"a failed read switches it off", {toggle, [](FrmMain& m) { m.refresh().switchOff(); }}, 0, off},
        {"a lost port switches it off and the watchdog too",
         {toggle, silentCommand, [](FrmMain& m) { m.portGone(); }}, 0, off},
        {"off: a command owes one read after its completion",
         {[](FrmMain& m) { m.refresh().readOnceAfterCommand(); }, command}, 0.2, {"Stop", true, true, true, false}},
        {"off: the owed read is read once", {[](FrmMain& m) { m.refresh().readOnceAfterCommand(); }, command}, 4.5, off},
        {"off: an overtaken read is owed", {[](FrmMain& m) { m.refresh().readEnded(true); }}, 0, {"Stop", true, true, true, false}},
        {"on: power on pauses and skips", {toggle, [](FrmMain& m) { m.refresh().poweredOn(6000, 3); }}, 0,
         {"Auto", false, false, false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig({"ORX-Beta"});
        ASSERT_TRUE(rig.startUp());
        FrmMain& m = rig.main();
        for (const Step& s : row.steps) s(m);
        rig.run(row.run);
        rig.settle();
        EXPECT_EQ(m.AutoRefreshed.caption(), row.look.caption);
        EXPECT_EQ(m.Timer1.enabled(), row.look.timer1);
        EXPECT_EQ(m.AutoRefreshed.enabled(), row.look.button);
        EXPECT_EQ(m.RefreshOnce.enabled(), row.look.once);
        EXPECT_EQ(m.Timer3.enabled(), row.look.timer3);
    }
}

// Which commands each camera still owes, as the link's record of commands
// in flight keeps them: a completion or an error ends one, an acknowledge
// does not, and what never came is given up.
TEST(RefreshOwner, OutstandingCommandsPerCamera) {
    Rig rig({"ORX-Beta", "KBM-R05"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    const auto owed = [&m](int camera) { return m.pacer().inFlight(camera); };
    const auto owedByAll = [&owed] {
        int n = 0;
        for (int camera = 1; camera <= 7; ++camera) n += owed(camera);
        return n;
    };
    m.AutoRefreshed.click();
    rig.chain.camera(1).silent = true;
    m.SendValues({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, FrmMain::kCommand);
    m.SendValues({0x82, 0x01, 0x04, 0x0B, 0x02, 0xFF}, FrmMain::kCommand);
    EXPECT_EQ(owed(1), 1);
    EXPECT_EQ(owed(2), 1);
    rig.run(0.1);
    EXPECT_EQ(owed(1), 0);  // acknowledged and completed
    EXPECT_EQ(owed(2), 1);  // its camera is silent
    rig.chain.faults.errorReplies = true;
    m.SendValues({0x81, 0x01, 0x04, 0x0B, 0x03, 0xFF}, FrmMain::kCommand);
    rig.run(0.1);
    EXPECT_EQ(owed(1), 0);  // refused: over as well
    rig.run(6.5);
    EXPECT_EQ(owedByAll(), 0);
}

// A routine that fails hands its failure to the routine awaiting it; one
// started on its own tells it and ends, and the program goes on.
TEST(Routines, AFailureEndsTheRoutineNotTheProgram) {
    struct Failing {
        static link::Async<int> value() {
            throw std::runtime_error("garbled");
            co_return 1;
        }
        static link::Async<void> caller(bool& caught) {
            try {
                (void)co_await value();
            } catch (const std::runtime_error&) {
                caught = true;
            }
        }
        static link::Async<void> alone() {
            (void)co_await value();
        }
    };
    link::Tasks tasks;
    bool caught = false;
    tasks.start(Failing::caller(caught));
    EXPECT_TRUE(caught);
    tasks.start(Failing::alone());
    EXPECT_EQ(tasks.running(), 0u);
}
