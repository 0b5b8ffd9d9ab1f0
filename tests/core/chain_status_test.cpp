// The chain's health kept from the traffic, and the "Chain Status" window.
#include <gtest/gtest.h>

#include "app/meaning.h"
#include "link/chain_health.h"
#include "app/frm_chain.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {
std::string state(FrmChain& w, int camera) {
    return w.Cell[(camera - 1) * FrmChain::kColumns + FrmChain::kColumns - 1].caption();
}
std::string cell(FrmChain& w, int camera, int column) {
    return w.Cell[(camera - 1) * FrmChain::kColumns + column].caption();
}
}  // namespace

TEST(ChainStatus, ThreeCamerasOneFailingOneSilent) {
    Rig rig({"ORX-Beta", "KBM-R05", "KBM-R10"});
    ASSERT_TRUE(rig.startUp());
    const ChainHealth& h = rig.program->chain;
    FrmMain& m = rig.main();
    EXPECT_EQ(h.found(), 3);
    // Start-up named every camera the address set found, not only the driven one.
    EXPECT_EQ(h.camera(1).model, "ORX-Beta");
    EXPECT_EQ(h.camera(2).model, "KBM-R05");
    EXPECT_EQ(h.camera(3).model, "KBM-R10");
    EXPECT_EQ(rig.program->cameras.camera(3)->identity.name, "KBM-R10");
    const long camera2Answers = h.camera(2).answers;  // its version at start-up

    // Camera 1 completes a command: counted, with its latency.
    rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
    m.IrisOpen.click();
    rig.run(1);
    EXPECT_EQ(h.camera(1).commands, 1);
    EXPECT_EQ(h.camera(1).completions, 1);
    EXPECT_GT(h.camera(1).lastLatency, 0.0);
    EXPECT_LT(h.camera(1).lastLatency, 0.5);

    // Camera 3 refuses commands with error 41; camera 2 says nothing at all.
    rig.chain.mutate = [](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
        if (packet[0] == 0x82) replies.clear();
        if (packet[0] == 0x83 && packet.size() > 2 && packet[1] == 0x01) replies = {{0xB0, 0x41, 0xFF}, {0xB0, 0x61, 0x41, 0xFF}};
    };
    m.CameraSel[3].click();
    rig.run(3);
    EXPECT_EQ(h.camera(3).model, "KBM-R10");
    m.IrisOpen.click();
    rig.run(1);
    m.IrisClose.click();
    rig.run(1);
    EXPECT_EQ(h.camera(3).commands, 2);
    EXPECT_EQ(h.camera(3).completions, 0);
    ASSERT_EQ(h.camera(3).errors.size(), 1u);
    EXPECT_EQ(h.camera(3).errors.at(0x41), 2);
    EXPECT_EQ(h.state(3, rig.platform.clock.now()), ChainHealth::State::Answering);

    m.CameraSel[2].click();
    // A command camera 2 does not acknowledge is told in the history after a second.
    m.IrisOpen.click();
    rig.run(1.1);
    EXPECT_EQ(h.camera(2).unacknowledged, 1);
    EXPECT_NE(m.SendText.text().find("(no acknowledge from camera 2 within 1 s)"), std::string::npos);
    rig.run(20);
    EXPECT_GT(h.camera(2).timeouts, 0);
    EXPECT_EQ(h.camera(2).answers, camera2Answers);
    EXPECT_EQ(h.state(2, rig.platform.clock.now()), ChainHealth::State::NotAnswering);
    EXPECT_EQ(h.camera(1).timeouts, 0);

    // The window shows it, refreshing only while it is open.
    FrmChain& w = rig.program->frmChain();
    m.ChainStatus.click();
    EXPECT_TRUE(w.visible());
    EXPECT_TRUE(w.Timer1.enabled());
    EXPECT_EQ(w.LblFound.caption(), "The last address set found 3 cameras.");
    EXPECT_EQ(cell(w, 1, 1), "ORX-Beta");
    EXPECT_EQ(state(w, 1), "answering");
    EXPECT_EQ(state(w, 2), "NOT ANSWERING");
    EXPECT_EQ(w.Cell[(2 - 1) * FrmChain::kColumns + FrmChain::kColumns - 1].foreColor(), rgb(192, 0, 0));
    EXPECT_EQ(cell(w, 3, 4), "2 (cannot execute: 2)");
    EXPECT_EQ(cell(w, 2, 6).rfind("1 (no acknowledge: 1, no completion: ", 0), 0u) << cell(w, 2, 6);
    EXPECT_EQ(cell(w, 1, 8).find(" s / "), 4u) << cell(w, 1, 8);  // min / average / max
    EXPECT_EQ(state(w, 4), "not on the chain");
    EXPECT_EQ(state(w, 7), "not on the chain");
    EXPECT_EQ(FrmChain::errorsText({{0x03, 2}, {0x41, 1}, {0x10, 1}}),
              "4 (buffer full: 2, code 10: 1, cannot execute: 1)");
    // Reset: counters start again; what the cameras are stays.
    w.CmdReset.click();
    EXPECT_EQ(cell(w, 3, 4), "0");
    EXPECT_EQ(cell(w, 1, 2), "0");
    EXPECT_EQ(cell(w, 1, 8), "-");
    EXPECT_EQ(cell(w, 1, 1), "ORX-Beta");
    w.CmdClose.click();
    EXPECT_FALSE(w.visible());
    EXPECT_FALSE(w.Timer1.enabled());

    // Camera 2 speaks again (the refresh stopped at its error; the operator
    // reads once): it is answering once more.
    rig.chain.mutate = nullptr;
    m.RefreshOnce.click();
    rig.run(6);
    EXPECT_EQ(h.state(2, rig.platform.clock.now()), ChainHealth::State::Answering);
    EXPECT_GT(h.camera(2).answers, 0);
}

// On a mixed chain the block camera chosen after a pan-tilt camera was read
// as that pan-tilt model: asked seven times for the expand block it does not
// have, then "Refresh Action Error !".
TEST(ChainStatus, BlockCameraAfterAPanTiltCameraIsReadAsABlockCamera) {
    Rig rig({"ORX-Beta", "KBM-R10"});
    ASSERT_TRUE(rig.startUp());
    rig.run(3);
    ASSERT_EQ(rig.drivenModel(), PanTiltModel::Beta);
    const auto mark = rig.mark();
    rig.main().CameraSel[2].click();
    rig.run(5);
    EXPECT_EQ(rig.drivenModel(), PanTiltModel::None);
    for (const std::string& p : rig.packetsSince(mark)) EXPECT_NE(p, "82 09 7E 7E 03 FF");
    EXPECT_TRUE(rig.windows.messages.empty()) << rig.windows.messages[0].text;
    EXPECT_EQ(rig.program->chain.camera(2).errorCount(), 0);
    // Back on the pan-tilt camera, it is that model again.
    rig.main().CameraSel[1].click();
    rig.run(5);
    EXPECT_EQ(rig.drivenModel(), PanTiltModel::Beta);
}

// A command to a camera just chosen is built for that camera's model as the
// chain model knows it, never for the camera driven before, even while the
// read that identifies it again still waits for its version answer.
TEST(ChainStatus, ACameraJustChosenIsDrivenAsItsOwnModel) {
    Rig rig({"ORX-Alpha", "ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    rig.main().CameraSel[2].click();
    rig.run(3);
    rig.main().CameraSel[1].click();
    rig.run(3);
    ASSERT_EQ(rig.drivenModel(), PanTiltModel::Alpha);
    struct Case {
        int camera;
        const char* far;  // the focus drive the camera is sent
    };
    for (const Case& c : {Case{2, "82 01 04 08 2"}, Case{1, "81 01 04 08 02 FF"}}) {
        SCOPED_TRACE(c.camera);
        rig.driveToEnd(false);
        const auto mark = rig.mark();
        rig.main().CameraSel[c.camera].click();
        rig.main().Far.mouseDown();
        rig.main().Far.mouseUp();
        rig.run(3);
        rig.driveToEnd(true);
        const auto sent = rig.packetsSince(mark, "01 04 08");
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.front().rfind(c.far, 0), 0u) << sent.front();
    }
}

TEST(ChainStatus, PacketsAreCountedWhateverPiecesTheyArriveIn) {
    ChainHealth h{{&versionModelName, &answerLength}};
    h.sent({0x81, 0x01, 0x04}, 0.0);
    h.sent({0x0B, 0x02, 0xFF}, 0.0);
    h.sent({0x82, 0x09, 0x00, 0x02, 0xFF}, 0.0);
    EXPECT_EQ(h.camera(1).commands, 1);
    EXPECT_EQ(h.camera(2).inquiries, 1);
    // Acknowledge and completion in one read, split across two reads.
    h.received({0x90, 0x41, 0xFF, 0x90}, 0.01);
    h.received({0x51, 0xFF}, 0.05);
    EXPECT_EQ(h.camera(1).acknowledges, 1);
    EXPECT_EQ(h.camera(1).completions, 1);
    EXPECT_DOUBLE_EQ(h.camera(1).lastLatency, 0.05);
    // The version answer names the model.
    h.received({0xA0, 0x50, 0x00, 0x20, 0x04, 0x15, 0x01, 0x00, 0x02, 0xFF}, 0.1);
    EXPECT_EQ(h.camera(2).model, "KBM-R05");
    EXPECT_EQ(h.camera(2).timeouts, 0);
    // Noise: lone terminators, a run with no terminator, replies from no
    // camera address, addresses beyond the chain.
    h.received({0xFF, 0xFF}, 0.2);
    h.received(Bytes(100, 0x90), 0.2);
    h.received({0xFF, 0x85, 0x41, 0xFF, 0x00, 0x41, 0xFF}, 0.2);
    h.sent({0x8F, 0x01, 0xFF, 0x80, 0x01, 0xFF}, 0.2);
    EXPECT_EQ(h.camera(1).acknowledges, 1);
    EXPECT_EQ(h.camera(1).completions, 1);
    // An inquiry without an answer for more than a second is a time-out.
    h.sent({0x81, 0x09, 0x04, 0x00, 0xFF}, 1.0);
    h.settle(1.9);
    EXPECT_EQ(h.camera(1).timeouts, 0);
    h.settle(2.1);
    EXPECT_EQ(h.camera(1).timeouts, 1);
    EXPECT_EQ(h.state(1, 2.1), ChainHealth::State::NotAnswering);
    // A command left without any reply for three seconds marks it too.
    h.received({0x90, 0x50, 0x02, 0xFF}, 3.0);
    EXPECT_EQ(h.state(1, 3.0), ChainHealth::State::Answering);
    h.sent({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, 4.0);
    EXPECT_EQ(h.state(1, 6.9), ChainHealth::State::Answering);
    EXPECT_EQ(h.state(1, 7.1), ChainHealth::State::NotAnswering);
    EXPECT_EQ(h.state(5, 7.1), ChainHealth::State::NoTraffic);
    // The address set finds one camera: camera 2, silent or not, is not there.
    h.sent({0x82, 0x09, 0x04, 0x00, 0xFF}, 8.0);
    h.settle(9.5);
    EXPECT_EQ(h.state(2, 9.5), ChainHealth::State::NotAnswering);
    h.received({0x88, 0x30, 0x02, 0xFF}, 10.0);
    EXPECT_EQ(h.found(), 1);
    EXPECT_EQ(h.state(2, 10.0), ChainHealth::State::NotOnChain);
    EXPECT_EQ(h.state(1, 10.0), ChainHealth::State::NotAnswering);
}

// A reply counts for its camera only when it is well formed; anything else
// is garbled for the line and says nothing of any camera.
TEST(ChainStatus, OnlyWellFormedRepliesCount) {
    const Bytes noise(40, 0x12);
    Bytes noiseThenAck = noise;
    noiseThenAck.insert(noiseThenAck.end(), {0x90, 0x41, 0xFF});
    const struct {
        const char* name;
        Bytes bytes;
        long garbled;
        long answers;
        ChainHealth::State state;
        long timeouts = 1;  // an answer or an error ends the inquiry; anything else leaves it waiting
    } cases[] = {
        {"acknowledge", {0x90, 0x41, 0xFF}, 0, 0, ChainHealth::State::Answering},
        {"completion", {0x90, 0x52, 0xFF}, 0, 0, ChainHealth::State::Answering},
        {"completion, socket 0", {0x90, 0x50, 0xFF}, 0, 0, ChainHealth::State::Answering},
        {"error", {0x90, 0x60, 0x02, 0xFF}, 0, 0, ChainHealth::State::Answering, 0},
        {"network change", {0x90, 0x38, 0xFF}, 0, 0, ChainHealth::State::Answering},
        {"answer", {0x90, 0x50, 0x02, 0xFF}, 0, 1, ChainHealth::State::Answering, 0},
        {"address set back", {0x88, 0x30, 0x02, 0xFF}, 0, 0, ChainHealth::State::NoTraffic},
        {"interface clear back", {0x88, 0x01, 0x00, 0x01, 0xFF}, 0, 0, ChainHealth::State::NoTraffic},
        {"lone FF", {0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"header and FF", {0x90, 0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"no known kind", {0x90, 0x77, 0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"acknowledge too long", {0x90, 0x41, 0x41, 0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"error cut short", {0x90, 0x60, 0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"answer of the wrong length", {0x90, 0x50, 0x01, 0x02, 0x03, 0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"two replies run together", {0x90, 0x41, 0x90, 0x51, 0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"no camera's header", {0x95, 0x41, 0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"address set cut short", {0x88, 0x30, 0xFF}, 1, 0, ChainHealth::State::NoTraffic},
        {"noise without FF", noise, 1, 0, ChainHealth::State::NoTraffic},
        {"noise run into a reply: counted once, the reply read", noiseThenAck, 1, 0, ChainHealth::State::Answering},
    };
    for (const auto& c : cases) {
        ChainHealth h{{&versionModelName, &answerLength}};
        h.sent({0x81, 0x09, 0x04, 0x00, 0xFF}, 0.0);  // power: answered with 4 bytes
        h.received(c.bytes, 0.01);
        EXPECT_EQ(h.garbled(), c.garbled) << c.name;
        EXPECT_EQ(h.camera(1).answers, c.answers) << c.name;
        EXPECT_EQ(h.state(1, 0.01), c.state) << c.name;
        h.settle(2.0);
        EXPECT_EQ(h.camera(1).timeouts, c.timeouts) << c.name;
    }
}

// Camera 2 is silent, but bytes with its address arrive: it stays "NOT
// ANSWERING" and the window counts the garbled replies under the table.
TEST(ChainStatus, GarbageWithASilentCamerasAddressLeavesItNotAnswering) {
    const struct {
        const char* name;
        Bytes garbage;
    } cases[] = {
        {"an answer cut short", {0xA0, 0x50, 0x01, 0xFF}},
        {"a reply of no known kind", {0xA0, 0x77, 0xFF}},
        {"acknowledge and completion run together", {0xA0, 0x41, 0xA0, 0x51, 0xFF}},
        {"noise without an end", Bytes(40, 0xA0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig({"ORX-Beta", "KBM-R05"});
        ASSERT_TRUE(rig.startUp());
        const ChainHealth& h = rig.program->chain;
        ASSERT_EQ(h.garbled(), 0);
        const long answeredAtStartUp = h.camera(2).answers;
        rig.chain.mutate = [&](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
            if (packet[0] == 0x82) replies = {c.garbage};
        };
        rig.main().CameraSel[2].click();
        rig.run(20);
        EXPECT_EQ(h.camera(2).answers, answeredAtStartUp);
        EXPECT_GT(h.camera(2).timeouts, 0);
        EXPECT_GT(h.garbled(), 0);
        EXPECT_EQ(h.state(2, rig.platform.clock.now()), ChainHealth::State::NotAnswering);
        FrmChain& w = rig.program->frmChain();
        rig.main().ChainStatus.click();
        EXPECT_EQ(state(w, 2), "NOT ANSWERING");
        EXPECT_EQ(w.LblGarbled.caption(), "Garbled replies: " + std::to_string(h.garbled()));
    }
}

// The panel found an answer's values impossible after the tap had counted
// it: the answer is taken back and its inquiry waits again.
TEST(ChainStatus, AGarbledAnswerIsTakenBack) {
    const Bytes speedInquiry{0x81, 0x09, 0x06, 0x11, 0xFF};
    const Bytes speedAnswer{0x90, 0x50, 0x00, 0x00, 0xFF};
    ChainHealth h{{&versionModelName, &answerLength}};
    h.sent(speedInquiry, 0.0);
    h.received(speedAnswer, 0.01);
    EXPECT_EQ(h.state(1, 0.01), ChainHealth::State::Answering);
    h.garbledAnswer(1, 0.02);
    EXPECT_EQ(h.garbled(), 1);
    EXPECT_EQ(h.camera(1).answers, 0);
    EXPECT_EQ(h.state(1, 0.02), ChainHealth::State::NoTraffic);
    // Unanswered again since the inquiry went out.
    EXPECT_DOUBLE_EQ(h.camera(1).unansweredSince, 0.0);
    h.settle(1.5);
    EXPECT_EQ(h.camera(1).timeouts, 1);
    EXPECT_EQ(h.state(1, 1.5), ChainHealth::State::NotAnswering);

    // A camera that answered before keeps that answer.
    h.sent(speedInquiry, 2.0);
    h.received({0x90, 0x50, 0x18, 0x14, 0xFF}, 2.01);
    h.sent(speedInquiry, 3.0);
    h.received(speedAnswer, 3.01);
    h.garbledAnswer(1, 3.02);
    EXPECT_EQ(h.camera(1).answers, 1);
    EXPECT_DOUBLE_EQ(h.camera(1).lastReplyAt, 2.01);
    EXPECT_DOUBLE_EQ(h.camera(1).unansweredSince, 3.0);

    // Once anything else passed for the camera, the answer stays counted;
    // the line's count rises all the same, also for no camera.
    h.sent(speedInquiry, 4.0);
    h.received(speedAnswer, 4.01);
    h.received({0x90, 0x41, 0xFF}, 4.02);
    h.garbledAnswer(1, 4.03);
    EXPECT_EQ(h.camera(1).answers, 2);
    h.garbledAnswer(0, 4.04);
    EXPECT_EQ(h.garbled(), 4);
}
