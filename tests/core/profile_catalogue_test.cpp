// The setting catalogue of camera profiles: what a model's profile keeps,
// the order an apply sends it in, the comparison, and the apply run's
// cancel and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>

#include "panel/commands.h"
#include "platform/text.h"
#include "app/testing/rig.h"
#include "profile/apply.h"

using namespace orbus;
using namespace orbus::profile;
using orbus::testing::Rig;

namespace {

std::string hex(const std::vector<int>& body) {
    std::string out;
    for (int b : body) out += (out.empty() ? "" : " ") + hex2(static_cast<std::uint8_t>(b));
    return out;
}

std::vector<std::string> planText(const Values& v) {
    std::vector<std::string> out;
    for (const Step& s : applyPlan(v)) out.push_back((s.pauseBefore > 0 ? "(pause) " : "") + hex(s.body));
    return out;
}

// A reading in which every block was answered.
Reading fullReading() {
    Reading r;
    status::CameraBlockStatus c;
    c.exposureMode = 0x03;
    c.iris = 9;
    c.gain = 4;
    c.shutter = 8;
    c.bright = 20;
    c.whiteBalanceMode = 0;
    c.redGain = 0x90;
    c.aperture = 7;
    c.backLight = true;
    r.status.camera = c;
    status::LensStatus l;
    l.autoFocus = false;
    l.zoom = 0x1234;
    l.focus = 0x5000;
    l.focusNearLimit = 0x2000;
    l.afSubMode = 1;
    r.status.lens = l;
    r.status.other = status::OtherBlockStatus{};
    r.status.kappaExpand = status::KappaExpandStatus{1, 2, std::nullopt};
    r.status.infoDisplay = true;
    r.autoPowerOff = 30;
    r.alarmMode = 0x0C;
    r.alarmDayLevel = 0xABC;
    r.alarmNightLevel = 0x123;
    return r;
}

}  // namespace

TEST(ProfileCatalogue, ApplyOrderSetsModesBeforeTheValuesTheyEnable) {
    const Values manual = {{"whiteBalance.blueGain", 0x12}, {"exposure.iris", 9},       {"exposure.gain", 4},
                           {"exposure.mode", 0x03},          {"whiteBalance.mode", 5},  {"whiteBalance.redGain", 0xA0},
                           {"exposure.compensation", 1},     {"exposure.compensationLevel", 10},
                           {"zoom.position", 0x1234},        {"switch.keyLock", 0}};
    EXPECT_EQ(planText(manual), (std::vector<std::string>{
                                    "01 04 39 03", "01 04 35 05",                      // modes
                                    "01 04 3E 02", "01 04 17 00",                      // switches
                                    "01 04 4B 00 00 00 09", "01 04 4C 00 00 00 04",    // values
                                    "01 04 4E 00 00 00 0A", "01 04 43 00 00 0A 00", "01 04 44 00 00 01 02",
                                    "01 04 47 01 02 03 04"}));                         // positions last
    // Bright is entered from full auto after a second to settle; the iris
    // of a profile in bright mode is the camera's own and is not sent.
    EXPECT_EQ(planText({{"exposure.mode", 0x0D}, {"exposure.bright", 20}, {"exposure.iris", 3}}),
              (std::vector<std::string>{"01 04 39 00", "(pause) 01 04 39 0D", "01 04 4D 00 00 01 04"}));
    // Packets the dialogs send: the power-off timer and the alarm, mode before levels.
    EXPECT_EQ(planText({{"alarm.nightLevel", 0x123}, {"alarm.dayLevel", 0xABC}, {"alarm.mode", 0x0C},
                        {"power.autoOffMinutes", 300}}),
              (std::vector<std::string>{"01 04 6C 0C", "01 04 40 00 01 02 0C", "01 04 6D 0A 0B 0C 01 02 03"}));
}

// Each choice of each choice setting sends the packet of the control it
// names, as the main window's command table holds it, and no two choices
// of one setting send the same packet.
TEST(ProfileCatalogue, EveryChoiceSendsItsOwnControlsPacket) {
    const auto tableBodies = [](const ControlRef& control) {
        std::vector<std::string> out;
        for (const panel::CommandRow& row : panel::commandTable()) {
            if (row.event == panel::Event::Click && row.control == control.member && row.index == control.index)
                out.push_back(hex(std::vector<int>(row.body.begin(), row.body.end())));
        }
        return out;
    };
    // The choice alone, or with the one other choice that puts it in force.
    const auto inForce = [](const SettingDef& s, int code) {
        Values v{{s.key, code}};
        if (s.inForce(v)) return v;
        for (const SettingDef& other : catalogue()) {
            for (const ChoiceDef& c : other.choices) {
                if (&other == &s) continue;
                Values with = v;
                with[other.key] = c.code;
                if (s.inForce(with)) return with;
            }
        }
        return v;
    };
    int checked = 0;
    for (const SettingDef& s : catalogue()) {
        std::map<std::string, std::string> sentBy;  // packet -> the choice that sends it
        for (const ChoiceDef& c : s.choices) {
            const std::string what = std::string(s.key) + " " + c.name;
            std::string last;
            for (const Step& step : applyPlan(inForce(s, c.code)))
                if (step.setting == &s) last = hex(step.body);
            const std::vector<std::string> rows = tableBodies(c.control);
            ASSERT_FALSE(rows.empty()) << what << ": its control sends nothing";
            EXPECT_NE(std::find(rows.begin(), rows.end(), last), rows.end())
                << what << " sends \"" << last << "\", its control \"" << rows.front() << "\"";
            const auto [at, fresh] = sentBy.emplace(last, c.name);
            EXPECT_TRUE(fresh) << what << " sends the packet of " << at->second << ": " << last;
            ++checked;
        }
    }
    EXPECT_GT(checked, 40);
}

TEST(ProfileCatalogue, AProfileKeepsWhatTheModelHasAndItsModesHandOver) {
    struct Case {
        const char* model;
        std::vector<const char*> kept, left;
    };
    const Case cases[] = {
        // The ORX-Kappa has no auto slow shutter, alarm or power-off timer;
        // it has the slow-shutter limit and the information display.
        // Its slow-shutter limit is the camera's own outside full auto.
        {"ORX-Kappa", {"exposure.mode", "exposure.iris", "exposure.gain", "exposure.shutter", "switch.infoDisplay", "digitalZoom.limit"},
         {"exposure.slowShutter", "alarm.mode", "power.autoOffMinutes", "focus.afMode", "exposure.bright", "exposure.backLight", "zoom.position", "exposure.slowShutterLimit"}},
        // The ORX-Beta has the alarm, the timers and the AF modes (those of
        // auto focus only: this one focuses by hand).
        {"ORX-Beta", {"alarm.mode", "alarm.dayLevel", "alarm.nightLevel", "power.autoOffMinutes", "focus.mode"},
         {"exposure.slowShutterLimit", "switch.infoDisplay", "whiteBalance.redGain", "digital.effectLevel", "focus.afMode"}},
        // A block model whose layout disables the alarm's menu item lacks the alarm.
        {"KBM-R13", {"exposure.mode", "exposure.iris"}, {"alarm.mode", "alarm.dayLevel"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        Rig rig({c.model});
        ASSERT_TRUE(rig.startUp());
        const ModelView model(rig.program->cameras.drivenCamera());
        EXPECT_EQ(model.model(), c.model);
        const Values v = settingsOf(fullReading(), model, false);
        for (const char* k : c.kept) EXPECT_EQ(v.count(k), 1u) << k;
        for (const char* k : c.left) EXPECT_EQ(v.count(k), 0u) << k;
        // Positions only when asked; focus only in manual focus (as read).
        EXPECT_EQ(settingsOf(fullReading(), model, true).count("zoom.position"), 1u);
        EXPECT_EQ(settingsOf(fullReading(), model, true).count("focus.position"), 1u);
    }
}

namespace {

// What the main window laid out for the driven camera shows: the answer a
// profile was once judged by, kept to guard the tables' answer.
struct WindowAnswer {
    const FrmMainControls& main;
    bool shown(const ControlRef& control) const {
        const Control* c = control.in(main);
        if (!c) return false;
        if (const auto* item = dynamic_cast<const MenuItem*>(c)) {
            for (const MenuItem* m = item; m; m = m->parent()) {
                if (!m->visible()) return false;
            }
            return true;
        }
        for (const Control* k = c; k; k = k->container()) {
            if (!k->visible()) return false;
        }
        return true;
    }
    bool has(const SettingDef& setting) const {
        if (setting.lackedWhenDisabled) {
            const Control* c = setting.shownBy.in(main);
            if (!c || !c->enabled()) return false;
            if (const auto* item = dynamic_cast<const MenuItem*>(c)) {
                for (const MenuItem* m = item->parent(); m; m = m->parent()) {
                    if (!m->enabled()) return false;
                }
            }
        }
        if (setting.kind == profile::Kind::Choice) {
            return std::any_of(setting.choices.begin(), setting.choices.end(),
                               [this](const ChoiceDef& c) { return shown(c.control); });
        }
        return shown(setting.shownBy);
    }
    std::pair<int, int> range(const SettingDef& setting) const {
        const ControlRef& by = setting.rangeBy ? setting.rangeBy : setting.shownBy;
        const auto* s = dynamic_cast<const Slider*>(by.in(main));
        if (setting.kind != profile::Kind::Number || !s) return {setting.min, setting.max};
        return {std::max(setting.min, s->min()), std::min(setting.max, s->max())};
    }
};

}  // namespace

// Every model, once started and read: the model tables give each setting,
// choice and range exactly as the window laid out for the model shows them,
// also where the read decides (the ORX-Beta's alarm, the ORX-Kappa's D-sub
// output and zoom end).
TEST(ProfileCatalogue, TheTablesJudgeEveryModelAsItsLaidOutWindowDoes) {
    struct Camera {
        std::string name;
        std::function<void(sim::CameraState&)> set;
    };
    std::vector<Camera> cameras;
    for (const char* n : PTModelName) cameras.push_back({n, nullptr});
    for (const char* n : BlockModelName) cameras.push_back({n, nullptr});
    ASSERT_EQ(cameras.size(), 31u);
    cameras.push_back({"ORX-Beta", [](sim::CameraState& s) { s.motionDetectAvailable = false; }});
    cameras.push_back({"ORX-Kappa", [](sim::CameraState& s) { s.videoSystem = 4; s.dzoomLimit = 3; }});
    for (const Camera& cam : cameras) {
        const std::string& name = cam.name;
        SCOPED_TRACE(name + (cam.set ? " (varied)" : ""));
        Rig rig({name});
        if (cam.set) cam.set(rig.chain.camera(0).state());
        ASSERT_TRUE(rig.startUp());
        rig.readStatus();
        const WindowAnswer window{rig.main()};
        const ModelView tables(rig.program->cameras.drivenCamera());
        EXPECT_EQ(tables.model(), name);
        EXPECT_EQ(tables.model(), rig.main().ModelVersion.text());
        for (const SettingDef& s : catalogue()) {
            EXPECT_EQ(tables.has(s), window.has(s)) << s.key;
            EXPECT_EQ(tables.range(s), window.range(s)) << s.key;
            for (const ChoiceDef& c : s.choices) EXPECT_EQ(tables.offers(c), window.shown(c.control)) << s.key << " " << c.name;
        }
    }
}

TEST(ProfileCatalogue, ComparisonListsDifferencesFirst) {
    const Values profile = {{"exposure.mode", 3}, {"exposure.iris", 9}, {"aperture", 7}, {"exposure.gain", 2}};
    const Values camera = {{"exposure.mode", 3}, {"exposure.iris", 8}, {"aperture", 7}};
    const std::vector<Difference> rows = compare(profile, camera);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(differing(rows), 2);
    EXPECT_STREQ(rows[0].setting->key, "exposure.iris");
    EXPECT_STREQ(rows[1].setting->key, "exposure.gain");
    // Missing from a camera in manual exposure: not read, not automatic.
    EXPECT_FALSE(rows[1].camera);
    EXPECT_FALSE(rows[1].automatic);
    // From a camera in full auto, the iris is its automatics'.
    const std::vector<Difference> automatic = compare(profile, {{"exposure.mode", 0}});
    EXPECT_TRUE(std::find_if(automatic.begin(), automatic.end(), [](const Difference& d) {
                    return std::string_view(d.setting->key) == "exposure.iris";
                })->automatic);
    EXPECT_STREQ(rows[2].setting->key, "exposure.mode");
    EXPECT_EQ(valueText(*findSetting("exposure.mode"), 3), "manual");
    EXPECT_EQ(choiceCode(*findSetting("whiteBalance.mode"), "one-push"), 3);
}

namespace {

// An apply link that answers from a script and records what went out.
struct ScriptedApply : ApplyLink {
    std::deque<CommandEnd> ends;
    std::vector<std::string> sent;
    std::function<void()> onCommand;
    Values camera;
    link::Async<CommandEnd> command(int camera, std::vector<int> body) override {
        sent.push_back(std::to_string(camera) + ": " + hex(body));
        if (onCommand) onCommand();
        CommandEnd end = CommandEnd::Completed;
        if (!ends.empty()) {
            end = ends.front();
            ends.pop_front();
        }
        co_return end;
    }
    link::Async<void> pause(double) override { co_return; }
    link::Async<std::optional<Values>> read(int, bool) override { co_return camera; }
};

std::vector<CameraReport> run(ScriptedApply& link, const Values& profile, std::vector<int> cameras, CancelFlag cancel) {
    std::vector<CameraReport> out;
    link::Tasks tasks;
    tasks.start([](ScriptedApply& l, Values p, std::vector<int> c, CancelFlag f, std::vector<CameraReport>& o) -> link::Async<void> {
        o = co_await applyProfile(l, p, c, f, {});
    }(link, profile, std::move(cameras), std::move(cancel), out));
    return out;
}

}  // namespace

TEST(ProfileApply, RefusalsAreNotedCancelStopsAfterTheCommandInFlight) {
    const Values profile = {{"exposure.mode", 3}, {"exposure.iris", 9}, {"exposure.gain", 4}};
    {
        // A refused setting is noted and the next goes out; the read-back is compared.
        ScriptedApply link;
        link.ends = {CommandEnd::Completed, CommandEnd::NotExecutable};
        link.camera = {{"exposure.mode", 3}, {"exposure.iris", 2}, {"exposure.gain", 4}};
        const auto reports = run(link, profile, {2, 3}, std::make_shared<bool>(false));
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(reports[0].completed, 2);
        EXPECT_EQ(reports[0].total, 3);
        ASSERT_EQ(reports[0].refused.size(), 1u);
        EXPECT_EQ(reports[0].refused[0], "Iris: the camera cannot carry it out now");
        EXPECT_TRUE(reports[0].readBack);
        EXPECT_EQ(differing(reports[0].after), 1);
        EXPECT_EQ(link.sent.size(), 6u);
    }
    {
        // Cancelled while camera 2's second packet is in flight: it ends,
        // nothing more goes out, and camera 2 is read back to show what
        // still differs (the gain never sent); camera 3 is not touched.
        ScriptedApply link;
        link.camera = {{"exposure.mode", 3}, {"exposure.iris", 9}, {"exposure.gain", 0}};
        auto cancel = std::make_shared<bool>(false);
        link.onCommand = [&] { *cancel = link.sent.size() == 2; };
        const auto reports = run(link, profile, {2, 3}, cancel);
        EXPECT_EQ(link.sent, (std::vector<std::string>{"2: 01 04 39 03", "2: 01 04 4B 00 00 00 09"}));
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(reports[0].cancelled);
        EXPECT_EQ(reports[0].completed, 2);
        EXPECT_TRUE(reports[0].readBack);
        EXPECT_EQ(differing(reports[0].after), 1);
    }
    {
        // A port that takes nothing ends the whole apply.
        ScriptedApply link;
        link.ends = {CommandEnd::NotSent};
        const auto reports = run(link, profile, {2, 3}, std::make_shared<bool>(false));
        EXPECT_EQ(link.sent.size(), 1u);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_FALSE(reports[0].readBack);
    }
}
