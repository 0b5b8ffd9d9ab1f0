// Camera profiles end to end on a simulated chain: the chain's cameras
// found, one camera's settings read into a profile, the profile written out
// and read back as a file, applied to other cameras of the chain and
// compared with them, and the cameras' own states agreeing afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/profile_link.h"
#include "app/testing/rig.h"
#include "profile/apply.h"
#include "profile/profile_file.h"

using namespace orbus;
using orbus::testing::Rig;
using profile::Values;

namespace {

using State = sim::CameraState;

// A started panel driving camera 1 of a chain, its refresh off so that
// only the profile's exchanges run.
struct Panel {
    explicit Panel(const std::vector<std::string>& models, bool timed = false) : rig(models) {
        rig.chain.timed = timed;
    }
    Rig rig;
    FrmMain& m() { return rig.main(); }
    Program& prog() { return *rig.program; }
    State& state(int address) { return rig.chain.byAddress(address)->state(); }

    bool start() {
        if (!rig.startUp()) return false;
        m().refresh().switchOff();
        return rig.settle();
    }
    std::vector<ChainCamera> cameras() { return m().runToEnd(chainCameras(prog())); }
    std::optional<Values> read(const ChainCamera& camera, bool withPositions = false) {
        const auto reading = m().runToEnd(readCameraSettings(prog(), camera));
        if (!reading) return std::nullopt;
        return profile::settingsOf(*reading, profile::ModelView(prog().cameras.drivenCamera()), withPositions);
    }
    std::vector<profile::CameraReport> apply(const Values& values, const std::vector<ChainCamera>& chain,
                                             const std::vector<int>& to) {
        PanelApplyLink link(prog(), chain);
        return m().runToEnd(profile::applyProfile(link, values, to, std::make_shared<bool>(false), {}));
    }
};

// Where each setting of a profile lives in a simulated camera.
const std::map<std::string, std::function<int(const State&)>>& stateOf() {
    static const std::map<std::string, std::function<int(const State&)>> fields = {
        {"exposure.mode", [](const State& s) { return s.aeMode; }},
        {"exposure.backLight", [](const State& s) { return int(s.backLight); }},
        {"exposure.slowShutter", [](const State& s) { return int(s.slowShutter); }},
        {"exposure.slowShutterLimit", [](const State& s) { return s.slowShutterLimit; }},
        {"exposure.iris", [](const State& s) { return s.iris; }},
        {"exposure.shutter", [](const State& s) { return s.shutter; }},
        {"exposure.gain", [](const State& s) { return s.gain; }},
        {"exposure.bright", [](const State& s) { return s.bright; }},
        {"exposure.compensation", [](const State& s) { return int(s.expCompOn); }},
        {"exposure.compensationLevel", [](const State& s) { return s.expComp; }},
        {"whiteBalance.mode", [](const State& s) { return s.wbMode; }},
        {"whiteBalance.redGain", [](const State& s) { return s.rGain; }},
        {"whiteBalance.blueGain", [](const State& s) { return s.bGain; }},
        {"aperture", [](const State& s) { return s.aperture; }},
        {"focus.mode", [](const State& s) { return int(s.focusAuto); }},
        {"focus.afMode", [](const State& s) { return s.afMode; }},
        {"focus.afSensitivity", [](const State& s) { return int(s.afSensOn); }},
        {"focus.nearLimit", [](const State& s) { return s.focusNearLimit >> 8; }},
        {"digitalZoom.mode", [](const State& s) { return int(s.dzoomSeparate); }},
        {"digitalZoom.on", [](const State& s) { return int(s.dzoomOn); }},
        {"digitalZoom.limit", [](const State& s) { return s.dzoomLimit; }},
        {"zoom.position", [](const State& s) { return s.zoom; }},
        {"focus.position", [](const State& s) { return s.focus; }},
        {"picture.effect", [](const State& s) { return s.pictureEffect; }},
        {"digital.effect", [](const State& s) { return s.digitalEffect; }},
        {"digital.effectLevel", [](const State& s) { return s.effectLevel; }},
        {"switch.lrReverse", [](const State& s) { return int(s.lrReverse); }},
        {"switch.dataScreen", [](const State& s) { return int(s.dataScreen); }},
        {"switch.titleDisplay", [](const State& s) { return int(s.titleDisplay); }},
        {"switch.keyLock", [](const State& s) { return int(s.keyLock); }},
        {"switch.autoIcr", [](const State& s) { return int(s.autoIcr); }},
        {"switch.infoDisplay", [](const State& s) { return int(s.infoDisplay); }},
        {"sync.dsub", [](const State& s) { return s.dsubSync; }},
        {"power.autoOffMinutes", [](const State& s) { return s.autoPowerOff; }},
        {"power.nightOffMinutes", [](const State& s) { return s.nightPowerOff; }},
        {"alarm.mode", [](const State& s) { return s.alarmMode; }},
        {"alarm.dayLevel", [](const State& s) { return s.dayLevel; }},
        {"alarm.nightLevel", [](const State& s) { return s.nightLevel; }},
    };
    return fields;
}

// What an operator sets by hand on every model that has it: manual
// exposure with its values, manual white balance with its gains, the
// aperture, an effect, switches, timers and alarm.
void setByHand(State& s) {
    s.aeMode = 0x03;
    s.iris = 8;
    s.shutter = 12;
    s.gain = 4;
    s.wbMode = 5;
    s.rGain = 0x9C;
    s.bGain = 0x61;
    s.aperture = 9;
    s.expCompOn = true;
    s.expComp = 10;
    s.pictureEffect = 2;
    s.lrReverse = true;
    s.dataScreen = true;
    s.autoPowerOff = 45;
    s.nightPowerOff = 120;
    s.alarmMode = 3;
    s.dayLevel = 0x3A5;
    s.nightLevel = 0x1C2;
}

// Counts the "buffer full" error replies in what the cameras sent.
int bufferFullReplies(const std::vector<Bytes>& wire) {
    int n = 0;
    for (const Bytes& b : wire) {
        for (std::size_t i = 0; i + 3 < b.size(); ++i) {
            const bool header = b[i] >= 0x90 && (b[i] & 0x0F) == 0;
            n += header && b[i + 1] == 0x60 && b[i + 2] == 0x03 && b[i + 3] == 0xFF;
        }
    }
    return n;
}

link::Async<void> readInto(Program& prog, ChainCamera camera, std::optional<profile::Reading>& out, bool& done) {
    out = co_await readCameraSettings(prog, camera);
    done = true;
}

}  // namespace

// The chain's cameras as their version answers name them, an ORX-Kappa
// with its video system; a camera that does not answer has no model; with
// no address set yet, the addresses are asked up to the first silent one.
TEST(ProfileChain, CamerasOfTheChainAreNamedByTheirAnswers) {
    struct Row {
        std::vector<std::string> chain;
        int silent;       // address of a camera that stops answering, 0 for none
        bool addressSet;  // started up (the address set counted the chain)
        std::vector<std::string> models;
    };
    const Row rows[] = {
        {{"ORX-Kappa", "KBM-R16", "ORX-Alpha"}, 0, true, {"ORX-Kappa", "KBM-R16", "ORX-Alpha"}},
        {{"KBM-R20", "KBM-R20", "KBM-R20"}, 2, true, {"KBM-R20", "", "KBM-R20"}},
        {{"ORX-Beta", "ORX-Gamma"}, 0, false, {"ORX-Beta", "ORX-Gamma"}},
        {{"ORX-Beta", "ORX-Gamma", "KBM-R05"}, 2, false, {"ORX-Beta"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.chain.front() + " x" + std::to_string(row.chain.size()) + " silent " +
                     std::to_string(row.silent));
        Panel p(row.chain);
        if (row.chain.front() == "ORX-Kappa") p.rig.chain.camera(0).state().videoSystem = 9;
        if (row.addressSet) {
            ASSERT_TRUE(p.start());
        } else {
            p.rig.openQuietly();
        }
        if (row.silent) p.rig.chain.byAddress(row.silent)->silent = true;
        const std::size_t mark = p.rig.mark();
        const std::string logs = p.m().SendText.text() + "|" + p.m().RecvText.text();
        const std::vector<ChainCamera> cameras = p.cameras();
        std::vector<std::string> models;
        for (std::size_t i = 0; i < cameras.size(); ++i) {
            EXPECT_EQ(cameras[i].address, static_cast<int>(i) + 1);
            models.push_back(cameras[i].model);
        }
        EXPECT_EQ(models, row.models);
        for (const ChainCamera& c : cameras) EXPECT_EQ(c.kappaVideoSystem, c.model == "ORX-Kappa" ? 9 : -1);
        // Only inquiries went out; past a counted chain's end, none; an
        // uncounted chain is asked up to its first silent address.
        const int lastAsked = row.addressSet ? static_cast<int>(row.chain.size()) : static_cast<int>(models.size()) + 1;
        int highest = 0;
        for (const std::string& packet : p.rig.packetsSince(mark)) {
            EXPECT_EQ(packet.substr(3, 2), "09") << packet;
            highest = std::max(highest, packet[1] - '0');
        }
        EXPECT_EQ(highest, lastAsked);
        // Nothing of it was written to the window's logs.
        EXPECT_EQ(p.m().SendText.text() + "|" + p.m().RecvText.text(), logs);
    }
}

// Save on camera 1, write and read the file, apply to camera 2, compare:
// no difference, and the two simulated cameras agree on every setting the
// profile held. One model of each series and label table.
TEST(ProfileFlow, RoundTripThroughAFileLeavesNoDifference) {
    struct Row {
        const char* model;
        std::function<void(State&)> extra;  // what this model has beyond the common settings
        Values held;                        // settings the profile must hold, with their values
        std::vector<std::string> lacks;     // settings the model lacks: never in its profile
        bool positions = false;             // zoom and focus positions saved too
    };
    const Values common = {{"exposure.mode", 0x03}, {"exposure.iris", 8},         {"exposure.shutter", 12},
                           {"exposure.gain", 4},    {"whiteBalance.mode", 5},     {"whiteBalance.redGain", 0x9C},
                           {"whiteBalance.blueGain", 0x61}, {"aperture", 9},       {"picture.effect", 2},
                           {"exposure.compensation", 1}, {"exposure.compensationLevel", 10}};
    auto with = [&common](Values more) {
        more.insert(common.begin(), common.end());
        return more;
    };
    const std::vector<std::string> timersAndAlarm = {"power.autoOffMinutes", "power.nightOffMinutes", "alarm.mode",
                                                     "alarm.dayLevel", "alarm.nightLevel"};
    const std::vector<std::string> alarm = {"alarm.mode", "alarm.dayLevel", "alarm.nightLevel"};
    const Row rows[] = {
        {"ORX-Alpha", {}, {}, {"exposure.mode", "whiteBalance.mode", "power.autoOffMinutes"}},
        {"ORX-Beta", {},
         with({{"switch.lrReverse", 1}, {"switch.dataScreen", 1}, {"power.autoOffMinutes", 45},
               {"power.nightOffMinutes", 120}, {"alarm.mode", 3}, {"alarm.dayLevel", 0x3A5},
               {"alarm.nightLevel", 0x1C2}}),
         {"digital.effect", "sync.dsub"}},
        {"ORX-Gamma", [](State& s) { s.digitalEffect = 3, s.effectLevel = 0x12; },
         with({{"switch.lrReverse", 1}, {"power.autoOffMinutes", 45}, {"digital.effect", 3},
               {"digital.effectLevel", 0x12}}),
         {"power.nightOffMinutes", "alarm.mode"}},
        {"ORX-Kappa",
         // The slow-shutter limit is the camera's own outside full auto: not kept.
         [](State& s) { s.slowShutterLimit = 2, s.dzoomLimit = 1, s.infoDisplay = true, s.dsubSync = 1; },
         with({{"digitalZoom.limit", 1}, {"switch.infoDisplay", 1}, {"sync.dsub", 0}}),
         {"power.autoOffMinutes", "power.nightOffMinutes", "alarm.mode", "alarm.dayLevel", "alarm.nightLevel",
          "exposure.slowShutterLimit"}},
        // Block cameras of each lens class: 10x (PAL, without the alarm), 18x, 25x.
        {"KBM-R13", {}, with({{"switch.lrReverse", 1}, {"power.autoOffMinutes", 45}, {"power.nightOffMinutes", 120}}),
         alarm},
        {"KBM-R20", {}, with({{"switch.lrReverse", 1}, {"power.nightOffMinutes", 120}, {"alarm.mode", 3}}), {}},
        {"KBM-R16", [](State& s) { s.focusAuto = false, s.zoom = 0x2000, s.focus = 0x3000; },
         with({{"alarm.nightLevel", 0x1C2}, {"focus.mode", 0}, {"zoom.position", 0x2000}, {"focus.position", 0x3000}}),
         {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.model);
        Panel p({row.model, row.model});
        ASSERT_TRUE(p.start());
        setByHand(p.state(1));
        if (row.extra) row.extra(p.state(1));
        const std::vector<ChainCamera> chain = p.cameras();
        ASSERT_EQ(chain.size(), 2u);

        const std::string logs = p.m().SendText.text() + "|" + p.m().RecvText.text();
        const std::optional<Values> saved = p.read(chain[0], row.positions);
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(p.m().SendText.text() + "|" + p.m().RecvText.text(), logs);
        for (const auto& [key, value] : row.held) {
            EXPECT_EQ(saved->count(key) ? saved->at(key) : -1, value) << key;
        }
        for (const std::string& key : row.lacks) EXPECT_EQ(saved->count(key), 0u) << key;
        profile::Profile written{row.model, "01.05", "test", "2026-12-10 01:00:00", *saved};
        const profile::Parsed parsed = profile::parseProfile(profile::toJson(written));
        ASSERT_TRUE(parsed.profile.has_value()) << parsed.error;
        EXPECT_EQ(parsed.profile->settings, *saved);
        EXPECT_EQ(profile::checkForModel(*parsed.profile, profile::ModelView(p.prog().cameras.drivenCamera()), 2), "");

        const std::optional<Values> before = p.read(chain[1], row.positions);
        ASSERT_TRUE(before.has_value());
        if (!row.held.empty()) {
            EXPECT_GT(profile::differing(profile::compare(*saved, *before)), 0);
        }

        const std::size_t mark = p.rig.mark();
        const auto reports = p.apply(parsed.profile->settings, chain, {2});
        ASSERT_EQ(reports.size(), 1u);
        const profile::CameraReport& r = reports.front();
        EXPECT_EQ(r.camera, 2);
        EXPECT_EQ(r.completed, r.total);
        EXPECT_TRUE(r.refused.empty()) << r.refused.front();
        EXPECT_TRUE(r.readBack);
        EXPECT_EQ(profile::differing(r.after), 0);
        const std::vector<std::string> commands = p.rig.packetsSince(mark, "01");
        EXPECT_EQ(static_cast<int>(commands.size()), r.total);
        for (const std::string& c : commands) EXPECT_EQ(c.substr(0, 2), "82") << c;
        if (row.held.empty()) {
            EXPECT_TRUE(commands.empty());
        }

        const std::optional<Values> after = p.read(chain[1], row.positions);
        ASSERT_TRUE(after.has_value());
        EXPECT_EQ(profile::differing(profile::compare(*saved, *after)), 0);
        EXPECT_EQ(*after, *saved);
        for (const auto& [key, value] : *saved) {
            const auto field = stateOf().find(key);
            ASSERT_NE(field, stateOf().end()) << key;
            EXPECT_EQ(field->second(p.state(2)), field->second(p.state(1))) << key;
        }
    }
}

// One profile to the other two cameras of a chain of three that take
// their time over each command: every packet waits for its completion, so
// no camera is ever asked past its free sockets, and both end up as
// camera 1 is.
TEST(ProfileFlow, ApplyToTheRestOfAChainOfTimedCameras) {
    struct Row {
        const char* model;
        bool positions;  // with zoom and focus positions: moves that take seconds
    };
    for (const Row& row : {Row{"ORX-Beta", false}, Row{"KBM-R20", true}}) {
        SCOPED_TRACE(row.model);
        Panel p({row.model, row.model, row.model}, true);
        ASSERT_TRUE(p.start());
        setByHand(p.state(1));
        if (row.positions) {
            p.state(1).focusAuto = false;
            p.state(1).zoom = 0x6000;
            p.state(1).focus = 0x9000;
        }
        const std::vector<ChainCamera> chain = p.cameras();
        ASSERT_EQ(chain.size(), 3u);
        const std::optional<Values> saved = p.read(chain[0], row.positions);
        ASSERT_TRUE(saved.has_value());
        ASSERT_GE(saved->size(), 10u);
        EXPECT_EQ(saved->count("zoom.position") + saved->count("focus.position"), row.positions ? 2u : 0u);

        std::vector<Bytes> wire;
        p.rig.chain.trace = [&wire](const char* dir, const Bytes& b) {
            if (std::string(dir) == "->") wire.push_back(b);
        };
        const auto reports = p.apply(*saved, chain, {2, 3});
        ASSERT_EQ(reports.size(), 2u);
        for (const profile::CameraReport& r : reports) {
            SCOPED_TRACE(r.camera);
            EXPECT_EQ(r.completed, r.total);
            EXPECT_TRUE(r.refused.empty()) << r.refused.front();
            EXPECT_TRUE(r.readBack);
            EXPECT_EQ(profile::differing(r.after), 0);
        }
        EXPECT_EQ(bufferFullReplies(wire), 0);
        for (int address : {2, 3}) {
            for (const auto& [key, value] : *saved) {
                EXPECT_EQ(stateOf().at(key)(p.state(address)), stateOf().at(key)(p.state(1))) << address << " " << key;
            }
        }
    }
}

// A read gives nothing rather than part of a camera: not for a camera of
// another model than the window is laid out for (its answers would be
// decoded with the wrong tables; nothing goes out to it), nor for one
// that stops answering, nor when a single inquiry gives up. None of it
// shows in the main window.
TEST(ProfileFlow, ACameraThatCannotBeReadWhollyGivesNothing) {
    struct Row {
        const char* name;
        std::vector<std::string> chain;
        std::function<void(sim::Chain&)> fault;
        bool nothingSent;
    };
    const Row rows[] = {
        {"another model", {"ORX-Beta", "ORX-Kappa"}, {}, true},
        {"silent", {"KBM-R20", "KBM-R20"}, [](sim::Chain& c) { c.byAddress(2)->silent = true; }, false},
        {"alarm levels unanswered", {"KBM-R20", "KBM-R20"},
         [](sim::Chain& c) { c.packetFaults[Bytes{0x09, 0x04, 0x6D}].silentTries = 7; }, false},
        {"lens block garbled", {"ORX-Beta", "ORX-Beta"},
         [](sim::Chain& c) {
             c.packetFaults[Bytes{0x09, 0x7E, 0x7E, 0x00}].corruptTries = 7;
             c.packetFaults[Bytes{0x09, 0x7E, 0x7E, 0x00}].corruptByte = 15;
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Panel p(row.chain);
        ASSERT_TRUE(p.start());
        const std::vector<ChainCamera> chain = p.cameras();
        ASSERT_EQ(chain.size(), 2u);
        if (row.fault) row.fault(p.rig.chain);
        const std::size_t mark = p.rig.mark();
        const std::size_t messages = p.rig.windows.messages.size();
        EXPECT_FALSE(p.read(chain[1]).has_value());
        EXPECT_EQ(p.rig.packetsSince(mark).empty(), row.nothingSent);
        EXPECT_EQ(p.rig.windows.messages.size(), messages);
        EXPECT_EQ(p.prog().link.LastRefreshError, 0);
        // The line is free again for the window's own reads.
        EXPECT_TRUE(p.rig.readStatus());
    }
}

// Reading another camera while the window reads its own, whichever asked
// for the line first: each gets its own camera's answers, and the window
// shows camera 1 as it is.
TEST(ProfileFlow, AReadBesideTheWindowsOwnReadTakesItsTurn) {
    for (const bool profileFirst : {true, false}) {
        SCOPED_TRACE(profileFirst ? "profile read first" : "window's read first");
        Panel p({"ORX-Beta", "ORX-Beta"});
        ASSERT_TRUE(p.start());
        setByHand(p.state(1));
        p.state(2).aeMode = 0x03;
        p.state(2).iris = 3;
        p.state(2).rGain = 0x20;
        const std::vector<ChainCamera> chain = p.cameras();
        ASSERT_EQ(chain.size(), 2u);
        p.rig.driveToEnd(false);
        std::optional<profile::Reading> got;
        bool done = false;
        if (profileFirst) p.m().tasks().start(readInto(p.prog(), chain[1], got, done));
        ASSERT_TRUE(p.m().ReadCameraStatus());
        if (!profileFirst) p.m().tasks().start(readInto(p.prog(), chain[1], got, done));
        ASSERT_TRUE(p.rig.settle());
        ASSERT_TRUE(done);
        ASSERT_TRUE(got.has_value());
        ASSERT_TRUE(got->status.camera.has_value());
        EXPECT_EQ(got->status.camera->iris, 3);
        EXPECT_EQ(got->status.camera->redGain, 0x20);
        EXPECT_EQ(p.m().IrisSlider.value(), 8);
        EXPECT_EQ(p.m().RGainSlider.value(), 0x9C);
        EXPECT_EQ(p.prog().link.LastRefreshError, 0);
    }
}
