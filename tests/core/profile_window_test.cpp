// The "Camera Profile" window driven from the main window's Camera menu on
// a simulated chain: save, apply to another camera and compare for each
// kind of model; files that cannot be used are refused before anything
// goes to a camera; an apply to a chain cancelled mid-way stops after the
// command in flight; the compare view puts differences first; the three
// menu items are offered only while they can work.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/profile_window.h"
#include "app/testing/rig.h"
#include "platform/testing/temp_dir.h"
#include "profile/profile_file.h"

using namespace orbus;
using orbus::testing::Rig;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        path = orbus::testing::makeTempDir("orbus-profile");
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

bool startsWith(const std::string& s, const std::string& head) { return s.rfind(head, 0) == 0; }

// A panel started on a chain, with the profile window's flows as the
// operator runs them: each opens the window from its menu item, acts in it
// and closes it.
struct Panel {
    explicit Panel(const std::vector<std::string>& models) : rig(models) { started = rig.startUp(); }
    Rig rig;
    TempDir dir;
    bool started = false;
    FrmMain& m() { return rig.main(); }
    FrmProfile& w() { return rig.program->frmProfile(); }
    sim::CameraState& camera(int address) { return rig.chain.byAddress(address)->state(); }

    // What the window showed before it closed.
    struct Seen {
        bool shown = false;
        std::vector<FrmProfile::Row> rows;
        std::string summary, identity, progress;
    };
    Seen seen() {
        return {w().visible(), w().rows(), w().LblSummary.caption(), w().LblIdentity.caption(),
                w().LblProgress.caption()};
    }
    // Opens the window from `item`, runs `act` in it, notes what it shows
    // and closes it.
    Seen inWindow(MenuItem& item, const std::function<void()>& act = {}) {
        Seen s;
        rig.windows.script([&] {
            if (act) act();
            s = seen();
            if (w().visible()) w().CmdClose.click();
        });
        item.click();
        rig.windows.dropScript();
        return s;
    }
    Seen save(const std::string& path, bool positions = false) {
        rig.windows.saveAnswer = path;
        return inWindow(m().ProfileSave, [&] {
            if (positions != w().ChkPositions.checked()) w().ChkPositions.click();
            w().CmdSave.click();
        });
    }
    Seen compare(const std::string& path) {
        rig.windows.openAnswer = path;
        return inWindow(m().ProfileCompare);
    }
    Seen apply(const std::string& path, bool every) {
        rig.windows.openAnswer = path;
        return inWindow(m().ProfileApply, [&] {
            (every ? w().OptEvery : w().OptThis).click();
            w().CmdApply.click();
        });
    }
    void drive(int camera) {
        m().CameraSel[camera].click();
        rig.settle();
    }
    // Camera 1 set by hand: manual exposure with its values, manual white
    // balance with its gains, and a few switches off their defaults.
    static void setByHand(sim::CameraState& c) {
        c.aeMode = 0x03;
        c.iris = 5;
        c.shutter = 9;
        c.gain = 4;
        c.wbMode = 5;
        c.rGain = 200;
        c.bGain = 60;
        c.aperture = 9;
        c.lrReverse = true;
        c.pictureEffect = 3;
    }
};

profile::Profile profileOf(const std::string& model, profile::Values settings) {
    return profile::Profile{model, "01.05", "1.0.0", "2026-12-10 14:03:07", std::move(settings)};
}

}  // namespace

// A menu's choice reads as the menu shows it, beside the name the file keeps.
TEST(ProfileWindow, MenuChoicesReadAsTheMenuShowsThem) {
    Panel p({"ORX-Kappa"});
    ASSERT_TRUE(p.started);
    p.camera(1).aeMode = 0x00;  // full auto: the limit is in force
    p.camera(1).slowShutterLimit = 1;
    const Panel::Seen saved = p.save(p.dir.file("kappa.json"), false);
    const auto limit = std::find_if(saved.rows.begin(), saved.rows.end(),
                                    [](const auto& r) { return r.setting == "Auto slow shutter limit"; });
    ASSERT_NE(limit, saved.rows.end());
    EXPECT_EQ(limit->profile, "p1 (1/30)");
}

// Through the window: save on camera 1, apply to camera 2, compare camera
// 2: no difference (a pan-tilt and a block camera, this one with its lens
// positions; the file and the apply themselves are checked model by model
// elsewhere). The ORX-Alpha answers no setting inquiry: its profile holds
// its model and ROM only, and the window says so.
TEST(ProfileWindow, SaveApplyCompareThroughTheWindow) {
    for (const char* model : {"ORX-Alpha", "ORX-Kappa", "KBM-R16"}) {
        SCOPED_TRACE(model);
        Panel p({model, model});
        ASSERT_TRUE(p.started);
        Panel::setByHand(p.camera(1));
        // The block camera's positions saved too (the box checked), with the
        // camera's values.
        const bool positions = std::string(model) == "KBM-R16";
        p.camera(1).zoom = 0x2000;
        const std::string file = p.dir.file("camera1.json");
        const Panel::Seen saved = p.save(file, positions);
        ASSERT_TRUE(saved.shown);
        // The ROM version as the camera tells it.
        char rom[8];
        std::snprintf(rom, sizeof rom, "%02X.%02X", p.camera(1).romHi, p.camera(1).romLo);
        EXPECT_TRUE(startsWith(saved.identity, std::string(model) + ", ROM " + rom + ", saved ")) << saved.identity;
        EXPECT_NE(saved.identity.find("camera1.json"), std::string::npos);
        const profile::Parsed parsed = profile::parseProfile(readFile(file));
        ASSERT_TRUE(parsed.profile) << parsed.error;
        EXPECT_EQ(parsed.profile->model, model);
        EXPECT_EQ(parsed.profile->rom, rom);
        EXPECT_EQ(saved.rows.size(), parsed.profile->settings.size());
        const int n = static_cast<int>(saved.rows.size());
        if (std::string(model) == "ORX-Alpha") {
            EXPECT_EQ(n, 0);
            EXPECT_EQ(saved.summary, "The ORX-Alpha's model and ROM version saved to " + file + ".");
        } else {
            EXPECT_GE(n, 5);
            EXPECT_EQ(saved.summary, std::to_string(n) + " settings saved to " + file + ".");
            const auto& held = parsed.profile->settings;
            EXPECT_EQ(held.count("zoom.position") ? held.at("zoom.position") : -1, positions ? 0x2000 : -1);
        }

        p.drive(2);
        p.m().refresh().switchOff();
        const bool manualBefore = p.m().Manual.checked();
        const auto mark = p.rig.mark();
        const Panel::Seen applied = p.apply(file, false);
        // Closing reads the camera the apply changed, refresh on or off.
        if (parsed.profile->settings.count("exposure.mode")) {
            EXPECT_FALSE(manualBefore);
            EXPECT_TRUE(p.m().Manual.checked());
        }
        ASSERT_TRUE(applied.shown);
        EXPECT_EQ(applied.summary, "Camera 2: no difference.");
        EXPECT_EQ(applied.progress, "Applied.");
        for (const std::string& packet : p.rig.packetsSince(mark, "01")) EXPECT_TRUE(startsWith(packet, "82 ")) << packet;
        if (n > 0) {
            EXPECT_FALSE(p.rig.packetsSince(mark, "01").empty());
        }
        const Panel::Seen compared = p.compare(file);
        ASSERT_TRUE(compared.shown);
        EXPECT_EQ(compared.summary, "No difference.");
        EXPECT_EQ(compared.rows.size(), saved.rows.size());
        for (const auto& row : compared.rows) EXPECT_EQ(row.differs, "no") << row.setting;
        // The file dialogs as the operator saw them.
        const std::string kinds = "Camera profile (*.json);;All files (*)";
        const std::vector<std::vector<std::string>> asked = {
            {"save", "Save Camera Profile", std::string(model) + "-camera1.json", "Camera profile (*.json)"},
            {"open", "Apply Profile", "", kinds},
            {"open", "Compare With Profile", "", kinds}};
        std::vector<std::vector<std::string>> seen;
        for (const auto& q : p.rig.windows.fileQuestions)
            seen.push_back({q.save ? "save" : "open", q.title, q.suggested, q.filter});
        EXPECT_EQ(seen, asked);
    }
}

// A file that cannot be used, for compare or apply: one warning naming the
// file and the first problem; the window does not open and no command goes
// out. A save that cannot be written names its reason the same way, and a
// camera that does not answer is told of before anything opens.
TEST(ProfileWindow, WhatCannotBeUsedIsRefusedWithNothingOnTheWire) {
    Panel p({"ORX-Kappa", "ORX-Kappa"});
    ASSERT_TRUE(p.started);
    const std::string good = profile::toJson(profileOf("ORX-Kappa", {{"exposure.iris", 5}, {"aperture", 3}}));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        const auto at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) t.replace(at, from.size(), to);
        return t;
    };
    struct Case {
        const char* name;
        std::string text;            // written to the file; empty: no file at all
        std::vector<std::string> says;  // words the problem holds
    };
    const Case cases[] = {
        {"another model", profile::toJson(profileOf("ORX-Beta", {{"aperture", 3}})), {"ORX-Beta", "ORX-Kappa"}},
        {"another series", profile::toJson(profileOf("KBM-R02", {{"aperture", 3}})), {"KBM-R02", "ORX-Kappa"}},
        {"broken JSON", good.substr(0, good.size() / 2), {}},
        {"not JSON at all", "model: ORX-Kappa\n", {}},
        {"value out of range", replaced("\"exposure.iris\": 5", "\"exposure.iris\": 99"), {"exposure.iris"}},
        {"unknown setting", replaced("\"aperture\"", "\"apperture\""), {"apperture"}},
        {"missing file", "", {}},
    };
    for (MenuItem* item : {&p.m().ProfileCompare, &p.m().ProfileApply}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " / " + item->caption());
            const std::string path = p.dir.file(std::string(c.name) + ".json");
            fs::remove(path);
            if (!c.text.empty()) writeFile(path, c.text);
            p.rig.windows.messages.clear();
            const int shows = p.rig.windows.modalShows;
            const auto mark = p.rig.mark();
            p.rig.windows.openAnswer = path;
            item->click();
            p.rig.settle();
            EXPECT_EQ(p.rig.windows.modalShows, shows);
            EXPECT_FALSE(p.w().visible());
            EXPECT_TRUE(p.rig.packetsSince(mark, "01").empty());
            ASSERT_EQ(p.rig.windows.messages.size(), 1u);
            const Message& msg = p.rig.windows.messages[0];
            EXPECT_EQ(msg.title, "Warning");
            const std::string head = "The profile " + std::string(c.name) + ".json was not used.\r\n";
            ASSERT_TRUE(startsWith(msg.text, head)) << msg.text;
            EXPECT_GT(msg.text.size(), head.size()) << "no problem named";
            for (const std::string& word : c.says) EXPECT_NE(msg.text.find(word), std::string::npos) << msg.text;
        }
    }
    // The refresh was never held: it runs as before.
    EXPECT_TRUE(p.m().AutoRefreshed.enabled());

    // Cancelling the file dialog does nothing at all.
    p.rig.windows.messages.clear();
    p.rig.windows.openAnswer.clear();
    p.m().ProfileApply.click();
    EXPECT_TRUE(p.rig.windows.messages.empty());
    EXPECT_FALSE(p.w().visible());

    // A save to a folder that does not exist: the reason in a warning, the
    // window stays open to try again.
    p.rig.windows.messages.clear();
    const std::string nowhere = p.dir.file("no-such-folder/camera1.json");
    p.rig.windows.saveAnswer = nowhere;
    bool stillOpen = false;
    p.inWindow(p.m().ProfileSave, [&] {
        p.w().CmdSave.click();
        stillOpen = p.w().visible();
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(p.rig.windows.messages.size(), 1u);
    EXPECT_EQ(p.rig.windows.messages[0].title, "Warning");
    EXPECT_TRUE(startsWith(p.rig.windows.messages[0].text, "The profile could not be saved to " + nowhere + ".\r\n"))
        << p.rig.windows.messages[0].text;
    EXPECT_FALSE(fs::exists(nowhere));

    // A camera that does not answer: told once for each item, no window,
    // no command, and the refresh held for the read is given back.
    p.m().refresh().switchOff();
    p.rig.chain.faults.silent = true;
    writeFile(p.dir.file("good.json"), good);
    p.rig.windows.openAnswer = p.dir.file("good.json");
    for (MenuItem* item : {&p.m().ProfileSave, &p.m().ProfileCompare, &p.m().ProfileApply}) {
        SCOPED_TRACE(item->caption());
        p.rig.windows.messages.clear();
        const int shows = p.rig.windows.modalShows;
        const auto mark = p.rig.mark();
        item->click();
        p.rig.settle();
        EXPECT_EQ(p.rig.windows.modalShows, shows);
        EXPECT_TRUE(p.rig.packetsSince(mark, "01").empty());
        ASSERT_EQ(p.rig.windows.messages.size(), 1u);
        EXPECT_EQ(p.rig.windows.messages[0].text, "Camera 1 did not answer: its settings could not be read.");
        EXPECT_TRUE(p.m().AutoRefreshed.enabled());
    }
}

// An apply to three cameras on a timed chain, stopped while camera 2 has a
// command in flight, by Cancel, by Close and by the window's close (Esc):
// that command completes, nothing more goes out, camera 3 gets nothing,
// and the report says so. Closing closes once the apply has stopped.
TEST(ProfileWindow, CancelDuringAnApplyStopsAfterTheCommandInFlight) {
    enum class Stop { Cancel, Close, Unload };
    for (const Stop how : {Stop::Cancel, Stop::Close, Stop::Unload}) {
        SCOPED_TRACE(static_cast<int>(how));
        Panel p({"ORX-Kappa", "ORX-Kappa", "ORX-Kappa"});
        ASSERT_TRUE(p.started);
        Panel::setByHand(p.camera(1));
        const std::string file = p.dir.file("kappa.json");
        p.save(file);
        p.rig.chain.timed = true;
        p.rig.windows.openAnswer = file;
        const auto start = p.rig.mark();
        std::vector<std::string> afterStop;
        bool closedAtOnce = true, stillApplying = false;
        std::string summary, everyCaption;
        p.rig.windows.script([&] {
            FrmProfile& w = p.w();
            everyCaption = w.OptEvery.caption();
            w.OptEvery.click();
            p.rig.driveToEnd(false);
            w.CmdApply.click();
            EXPECT_TRUE(w.CmdCancel.enabled());
            EXPECT_FALSE(w.CmdApply.enabled());
            // Until camera 2's fourth command has gone out, three completed.
            auto toCamera2 = [&] {
                int n = 0;
                for (const std::string& packet : p.rig.packetsSince(start, "01")) n += startsWith(packet, "82 ");
                return n;
            };
            for (int i = 0; i < 60000 && toCamera2() < 4; ++i) p.rig.run(0.0005);
            ASSERT_EQ(toCamera2(), 4);
            ASSERT_TRUE(startsWith(w.LblProgress.caption(), "Camera 2: 3 of ")) << w.LblProgress.caption();
            const auto stopped = p.rig.mark();
            switch (how) {
            case Stop::Cancel: w.CmdCancel.click(); break;
            case Stop::Close: w.CmdClose.click(); break;
            case Stop::Unload: w.unload(); break;
            }
            closedAtOnce = !w.visible();
            stillApplying = w.applying();
            for (int i = 0; i < 30000 && w.applying(); ++i) p.rig.run(0.001);
            p.rig.run(2);
            afterStop = p.rig.packetsSince(stopped, "01");
            summary = w.LblSummary.caption();
            p.rig.driveToEnd(true);
            if (w.visible()) w.CmdClose.click();
        });
        p.m().ProfileApply.click();
        EXPECT_EQ(everyCaption, "Every ORX-Kappa on the chain (cameras 1, 2, 3)");
        EXPECT_FALSE(closedAtOnce);
        EXPECT_TRUE(stillApplying);
        EXPECT_FALSE(p.w().visible());
        EXPECT_FALSE(p.w().applying());
        EXPECT_TRUE(afterStop.empty()) << afterStop.front();
        EXPECT_NE(summary.find("Camera 1: no difference."), std::string::npos) << summary;
        EXPECT_NE(summary.find("Camera 2: cancelled after 4 of "), std::string::npos) << summary;
        // The cancelled camera is read back at once: what it holds now is compared.
        const std::size_t cancelledAt = summary.find("Camera 2: cancelled");
        EXPECT_NE(summary.find("Camera 2: ", cancelledAt + 1), std::string::npos) << summary;
        EXPECT_EQ(summary.find("Camera 2: not read back"), std::string::npos) << summary;
        EXPECT_NE(summary.find("Camera 3: not applied (cancelled)."), std::string::npos) << summary;
        for (const std::string& packet : p.rig.packetsSince(start, "01")) EXPECT_FALSE(startsWith(packet, "83 ")) << packet;
        // The refresh is given back with the window.
        EXPECT_TRUE(p.m().AutoRefreshed.enabled());
    }
}

// Commands the camera refuses are named, with why, the rest still go out,
// and the read-back follows.
TEST(ProfileWindow, RefusedSettingsAreNamedInTheReport) {
    Panel p({"ORX-Kappa"});
    ASSERT_TRUE(p.started);
    Panel::setByHand(p.camera(1));
    const std::string file = p.dir.file("kappa.json");
    p.save(file);
    p.rig.chain.faults.errorReplies = true;
    const Panel::Seen applied = p.apply(file, false);
    std::vector<std::string> lines;
    std::stringstream in(applied.summary);
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
    // The refusals in one line, for their one reason; then the read-back.
    ASSERT_EQ(lines.size(), 2u) << applied.summary;
    EXPECT_TRUE(startsWith(lines[0], "Camera 1 refused Exposure mode, ")) << lines[0];
    const std::string why = ": the camera cannot carry it out now.";
    ASSERT_GT(lines[0].size(), why.size());
    EXPECT_EQ(lines[0].substr(lines[0].size() - why.size()), why);
    EXPECT_TRUE(startsWith(lines[1], "Camera 1: ")) << lines[1];
    EXPECT_EQ(applied.progress, "Applied.");
}

// Nothing goes to a camera that lacks a setting: an ORX-Kappa whose video
// system has no D-sub output is left that setting out of an apply to the
// chain (and the driven camera, lacking it, refuses the profile); a camera
// put in the driven one's place since it was identified refuses the apply.
TEST(ProfileWindow, WhatACameraLacksIsNeverSentToIt) {
    const std::string dsub = "01 7E 01 1A";
    {
        Panel p({"ORX-Kappa", "ORX-Kappa"});
        p.camera(2).videoSystem = 4;  // no D-sub sync output
        ASSERT_TRUE(p.started);
        Panel::setByHand(p.camera(1));
        p.camera(1).dsubSync = 1;
        const std::string file = p.dir.file("kappa.json");
        p.save(file);
        ASSERT_NE(readFile(file).find("\"sync.dsub\": \"vd\""), std::string::npos);
        const auto mark = p.rig.mark();
        const Panel::Seen applied = p.apply(file, true);
        EXPECT_FALSE(p.rig.packetsSince(mark, dsub).empty());
        for (const std::string& sent : p.rig.packetsSince(mark, dsub)) EXPECT_EQ(sent.substr(0, 2), "81") << sent;
        EXPECT_NE(applied.summary.find("Camera 2: D-sub sync output left out, the camera lacks it."), std::string::npos)
            << applied.summary;
        EXPECT_NE(applied.summary.find("Camera 2: no difference."), std::string::npos) << applied.summary;
        // Driving camera 2, whose D-sub menu is disabled: the profile is refused.
        p.drive(2);
        p.rig.windows.messages.clear();
        const auto again = p.rig.mark();
        p.apply(file, false);
        EXPECT_TRUE(p.rig.packetsSince(again, "01").empty());
        ASSERT_EQ(p.rig.windows.messages.size(), 1u);
        EXPECT_NE(p.rig.windows.messages[0].text.find("sync.dsub"), std::string::npos) << p.rig.windows.messages[0].text;
    }
    {
        Panel p({"ORX-Gamma"});
        ASSERT_TRUE(p.started);
        const std::string file = p.dir.file("gamma.json");
        writeFile(file, profile::toJson(profileOf("ORX-Gamma", {{"aperture", 3}})));
        p.rig.chain.removeCamera(0);
        p.rig.chain.addCamera("ORX-Beta");
        p.rig.chain.camera(0).setAddress(1);
        p.rig.windows.messages.clear();
        const auto mark = p.rig.mark();
        p.apply(file, false);
        EXPECT_TRUE(p.rig.packetsSince(mark, "01").empty());
        ASSERT_EQ(p.rig.windows.messages.size(), 1u);
        EXPECT_EQ(p.rig.windows.messages[0].text,
                  "The profile gamma.json was not used.\r\nThis profile is for an ORX-Gamma; camera 1 now answers as an "
                  "ORX-Beta.");
    }
}

// The compare view lists what differs first, then the rest, each part in
// the catalogue's order, and counts the differences.
TEST(ProfileWindow, CompareListsDifferencesFirst) {
    Panel p({"ORX-Kappa"});
    ASSERT_TRUE(p.started);
    Panel::setByHand(p.camera(1));
    const std::string file = p.dir.file("kappa.json");
    const Panel::Seen saved = p.save(file);
    p.camera(1).gain = 7;
    p.camera(1).rGain = 100;
    const Panel::Seen seen = p.compare(file);
    ASSERT_EQ(seen.rows.size(), saved.rows.size());
    ASSERT_GE(seen.rows.size(), 4u);
    EXPECT_EQ(seen.summary, "2 of " + std::to_string(seen.rows.size()) + " settings differ.");
    EXPECT_EQ(seen.rows[0].setting, "Gain");
    EXPECT_EQ(seen.rows[0].differs, "yes");
    EXPECT_EQ(seen.rows[1].setting, "Red gain");
    EXPECT_EQ(seen.rows[1].profile, "200");
    EXPECT_EQ(seen.rows[1].camera, "100");
    for (std::size_t i = 2; i < seen.rows.size(); ++i) EXPECT_EQ(seen.rows[i].differs, "no") << seen.rows[i].setting;
    EXPECT_NE(seen.identity.find("\r\nkappa.json, compared with camera 1"), std::string::npos) << seen.identity;
    EXPECT_EQ(p.w().caption(), "Camera Profile");
    EXPECT_EQ(differenceSummary(0, 24), "No difference.");
    EXPECT_EQ(differenceSummary(1, 24), "1 of 24 settings differs.");
}

// The items are offered while the port is open and the driven camera has
// been identified, and follow each change of either.
TEST(ProfileWindow, MenuItemsAreOfferedOnlyWhileTheyCanWork) {
    Panel p({"ORX-Kappa", "ORX-Kappa"});
    auto offered = [&p] {
        const bool save = p.m().ProfileSave.enabled();
        EXPECT_EQ(p.m().ProfileCompare.enabled(), save);
        EXPECT_EQ(p.m().ProfileApply.enabled(), save);
        return save;
    };
    ASSERT_TRUE(p.started);
    EXPECT_EQ(p.m().ProfileSave.caption(), "Save Settings\u2026");
    EXPECT_EQ(p.m().ProfileCompare.caption(), "Compare With Profile\u2026");
    EXPECT_EQ(p.m().ProfileApply.caption(), "Apply Profile\u2026");
    struct Step {
        const char* what;
        std::function<void()> act;
        bool offered;
    };
    const Step steps[] = {
        {"after start-up", [] {}, true},
        {"camera switched off", [&] { p.camera(1).power = false; p.rig.readStatus(); }, false},
        {"camera on again", [&] { p.camera(1).power = true; p.rig.readStatus(); }, true},
        {"another camera chosen, not yet read", [&] { p.rig.driveToEnd(false); p.m().CameraSel[2].click(); }, false},
        {"that camera read", [&] { p.rig.settle(); p.rig.driveToEnd(true); }, true},
        {"port gone", [&] { p.rig.port.unplug(); p.rig.run(1); }, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(offered(), s.offered);
    }
    Rig before{{"ORX-Kappa"}};
    EXPECT_FALSE(before.main().ProfileSave.enabled());
}
