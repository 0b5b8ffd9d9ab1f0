// Identification of all 31 models from their version replies.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"
#include "status/identify.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct Snapshot {
    std::set<std::string> hidden, disabled;
    explicit Snapshot(const Form& f) {
        for (Control* c : f.controls()) {
            if (!c->visible()) hidden.insert(c->objectName());
            if (!c->enabled()) disabled.insert(c->objectName());
        }
    }
};

std::set<std::string> added(const std::set<std::string>& after, const std::set<std::string>& before) {
    std::set<std::string> out;
    for (const auto& n : after) {
        if (!before.count(n)) out.insert(n);
    }
    return out;
}

struct BlockCase {
    const char* model;
    const char* video;
    const char* iris1;   // iris label at position 1: the lens class
    std::set<std::string> hidden;
    std::set<std::string> disabled;
};

const std::set<std::string> kSeries = {"FmPreset", "FmPTWindowM"};

std::set<std::string> with(std::set<std::string> a, std::initializer_list<const char*> more) {
    for (auto m : more) a.insert(m);
    return a;
}

}  // namespace

// Rows typed from the model table independently of the code's table.
TEST(Identify, BlockModelsHideAndDisableExactlyTheirControls) {
    const std::set<std::string> r02 = {"Comstabi", "LblAE_17", "SetTimeDate", "DateDisplay", "TimeDisplay",
                                       "PrivacyZone"};
    const std::set<std::string> r08 = {"Comstabi", "LblAE_17", "LineLock", "Frame5", "LblWbApVp_3", "Freese",
                                       "PrivacyZone"};
    std::set<std::string> r09 = r08;
    r09.erase("Freese");
    const std::set<std::string> r14 = {"Comstabi", "LblAE_17", "DateDisplay",     "TimeDisplay", "SetTimeDate",
                                       "FmWB",     "Freese",   "AutoSlowShutter", "PrivacyZone"};
    const std::set<std::string> r16 = {"DateDisplay", "TimeDisplay", "SetTimeDate", "PrivacyAv"};
    const std::set<std::string> r26 = {"BlackWhite", "DateDisplay", "TimeDisplay", "SetTimeDate", "PrivacyAv",
                                       "Comstabi",   "LblAE_17",    "FmWB",        "Freese",      "AutoSlowShutter"};
    const std::set<std::string> flipMd = {"PictureFlip", "MotionDetecter"};
    const std::vector<BlockCase> cases = {
        {"KBM-R01", "NTSC/PAL", "F28", {"SetTimeDate", "DateDisplay", "TimeDisplay", "PrivacyZone", "PrivacyAv"}, flipMd},
        {"KBM-R02", "NTSC", "F22", r02, flipMd},
        {"KBM-R03", "PAL", "F22", r02, flipMd},
        {"KBM-R04", "NTSC", "F22", r02, flipMd},
        {"KBM-R05", "PAL", "F22", r02, flipMd},
        {"KBM-R06", "NTSC", "F22", with(r02, {"AutoSlowShutter", "Freese"}), flipMd},
        {"KBM-R07", "PAL", "F22", with(r02, {"AutoSlowShutter", "Freese"}), flipMd},
        {"KBM-R08", "NTSC", "F22", r08, flipMd},
        {"KBM-R09", "PAL", "F22", r09, flipMd},
        {"KBM-R10", "NTSC", "F22", with(r08, {"AutoSlowShutter"}), flipMd},
        {"KBM-R11", "PAL", "F22", with(r08, {"AutoSlowShutter"}), flipMd},
        {"KBM-R12", "NTSC", "F28", r09, flipMd},
        {"KBM-R13", "PAL", "F28", r09, flipMd},
        {"KBM-R14", "EIA", "F22", r14, {"WBMode", "PictureFlip", "MotionDetecter"}},
        {"KBM-R15", "CCIR", "F22", r14, {"WBMode", "PictureFlip", "MotionDetecter"}},
        {"KBM-R16", "NTSC/PAL", "F28", r16, {}},
        {"KBM-R17", "NTSC/PAL", "F28", r16, {}},
        {"KBM-R18", "NTSC", "F28", r16, {}},
        {"KBM-R19", "PAL", "F28", r16, {}},
        {"KBM-R20", "NTSC", "F22", with(r16, {"Comstabi", "LblAE_17"}), {}},
        {"KBM-R21", "PAL", "F22", with(r16, {"Comstabi", "LblAE_17"}), {}},
        {"KBM-R22", "NTSC", "F22", with(r16, {"Comstabi", "LblAE_17"}), {}},
        {"KBM-R23", "PAL", "F22", with(r16, {"Comstabi", "LblAE_17"}), {}},
        {"KBM-R24", "NTSC", "F22", with(r16, {"Comstabi", "LblAE_17", "Freese", "AutoSlowShutter"}), {}},
        {"KBM-R25", "PAL", "F22", with(r16, {"Comstabi", "LblAE_17", "Freese", "AutoSlowShutter"}), {}},
        {"KBM-R26", "EIA", "F22", r26, {"WBMode"}},
        {"KBM-R27", "CCIR", "F22", r26, {"WBMode"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        Rig rig({c.model});
        rig.openQuietly();
        FrmMain& m = rig.main();
        Snapshot before(m);
        m.runToEnd(m.IdentifyAtStartup());
        Snapshot after(m);
        std::set<std::string> hidden = c.hidden;
        hidden.insert(kSeries.begin(), kSeries.end());
        EXPECT_EQ(added(after.hidden, before.hidden), hidden);
        EXPECT_EQ(added(after.disabled, before.disabled), c.disabled);
        EXPECT_EQ(m.caption(), "KBM-  B SERIES Control Panel");
        EXPECT_EQ(m.ModelVersion.text(), c.model);
        EXPECT_EQ(m.NTSCorPAL.text(), c.video);
        EXPECT_EQ(rig.program->labels.IrisLabel[1], c.iris1);
        EXPECT_FALSE(rig.program->model.IsPanTiltSeries);
    }
}

TEST(Identify, PanTiltModelsAfterStartUp) {
    struct Case {
        const char* model;
        PanTiltModel code;
        const char* icon;
    };
    for (const Case& c : {Case{"ORX-Alpha", PanTiltModel::Alpha, "orx-kappa"},
                          Case{"ORX-Gamma", PanTiltModel::Gamma, "orx-gamma"},
                          Case{"ORX-Beta", PanTiltModel::Beta, "orx-beta"},
                          Case{"ORX-Kappa", PanTiltModel::Kappa, "orx-kappa"}}) {
        SCOPED_TRACE(c.model);
        Rig rig({c.model});
        ASSERT_TRUE(rig.startUp());
        FrmMain& m = rig.main();
        EXPECT_EQ(m.caption(), "ORX  SERIES  Control  Panel");
        EXPECT_EQ(m.ModelVersion.text(), c.model);
        EXPECT_EQ(rig.drivenModel(), c.code);
        EXPECT_EQ(m.icon(), c.icon);
        EXPECT_TRUE(rig.program->model.IsPanTiltSeries);
        EXPECT_TRUE(rig.program->model.VersionRead);
        EXPECT_FALSE(m.FmMemory.visible());
        EXPECT_TRUE(m.FmPreset.visible());
        EXPECT_TRUE(m.FmPTWindowM.visible());
        EXPECT_TRUE(rig.program->frmPanTilt().visible());
    }
}

TEST(Identify, ModelKeyDropsLeadingZeros) {
    EXPECT_EQ(modelKey(0x04, 0x0D), "4D");
    EXPECT_EQ(modelKey(0x05, 0x04), "54");
    EXPECT_EQ(modelKey(0x00, 0x42), "042");
    EXPECT_EQ(panTiltModelCode("042"), PanTiltModel::Gamma);
    EXPECT_EQ(panTiltModelCode("4d"), PanTiltModel::Gamma);
    EXPECT_EQ(panTiltModelCode("4e"), PanTiltModel::Beta);
    EXPECT_EQ(panTiltModelCode("42"), PanTiltModel::Alpha);
}

TEST(Identify, ReplyFromAnotherAddressLeavesThePanelUnidentified) {
    Rig rig({"KBM-R05"});
    rig.openQuietly();
    rig.chain.mutate = [](const Bytes& p, std::vector<Bytes>& replies) {
        if (p.size() > 2 && p[1] == 0x09 && !replies.empty()) replies.back()[0] = 0xA0;
    };
    rig.main().runToEnd(rig.main().IdentifyAtStartup());
    EXPECT_EQ(rig.main().ModelVersion.text(), "");
    EXPECT_NE(rig.main().caption(), "KBM-  B SERIES Control Panel");
}

TEST(Identify, StartupVersionInquiryGivesUpAndSaysSo) {
    Rig rig({"ORX-Beta"});
    rig.openQuietly();
    rig.chain.packetFaults[{0x09, 0x00, 0x02}] = {100, 0, 1, 0, 1};
    const auto mark = rig.mark();
    rig.main().runToEnd(rig.main().IdentifyAtStartup());
    EXPECT_EQ(rig.packetsSince(mark).size(), static_cast<std::size_t>(FrmMain::kVersionAttempts));
    EXPECT_EQ(rig.main().ModelVersion.text(), "Unknown");
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_EQ(rig.windows.messages[0].title, "Warning");
}

TEST(Identify, OldKappaFirmwareWarnsAndShowsUnknownIrCondition) {
    Rig rig({"ORX-Kappa"});
    rig.chain.camera(0).state().romHi = 0;
    ASSERT_TRUE(rig.startUp());
    ASSERT_EQ(rig.windows.messages.size(), 1u);
    const Message& msg = rig.windows.messages[0];
    EXPECT_EQ(msg.icon, MsgIcon::Critical);
    EXPECT_EQ(msg.text,
              "This application will run on a restricted function mode, \r\n"
              "because connected ORX-Kappa has an old version firmware.");
    EXPECT_EQ(rig.program->cameras.drivenCamera().kappa.videoSystem, 7);
    EXPECT_EQ(rig.program->cameras.drivenCamera().kappa.irCondition, 7);
    EXPECT_FALSE(rig.program->model.NewFirmware);
    const Label& ir = rig.program->frmPanTilt().LblIR;
    EXPECT_EQ(ir.caption(), "IR Condition:Unknown");
    EXPECT_EQ(ir.backColor(), rgb(255, 255, 0));
    // Another read of the identified camera does not warn again.
    rig.readStatus();
    EXPECT_EQ(rig.windows.messages.size(), 1u);
}

TEST(Identify, KappaSwitchedOffIsIdentifiedWithoutItsVideoSystem) {
    Rig rig({"ORX-Kappa"});
    rig.chain.camera(0).state().power = false;
    rig.openQuietly();
    const auto mark = rig.mark();
    rig.readStatus();
    auto sent = rig.packetsSince(mark);
    EXPECT_EQ(rig.main().ModelVersion.text(), "ORX-Kappa");
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 06 23 FF"), 0);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "81 09 06 34 FF"), 0);
    // Found off: it will be identified again by the next read.
    EXPECT_FALSE(rig.program->model.VersionRead);
}

namespace {

// What a camera's layout shows of the main window, beyond the values read.
struct Layout {
    std::set<std::string> hidden, disabled;
    std::map<std::string, std::pair<int, int>> ranges;
    std::string caption, icon, model, video, afSens, closeCaption;
    double backLight = 0;
    PanTiltModel modelCode = PanTiltModel::None;
    bool panTiltWindow = false;
    explicit Layout(Rig& rig) {
        FrmMain& m = rig.main();
        for (Control* c : m.controls()) {
            if (c->objectName().rfind("CameraSel_", 0) == 0) continue;  // the chain's length
            if (!c->visible()) hidden.insert(c->objectName());
            if (!c->enabled()) disabled.insert(c->objectName());
            if (auto* s = dynamic_cast<Slider*>(c)) ranges[c->objectName()] = {s->min(), s->max()};
        }
        caption = m.caption();
        icon = m.icon();
        model = m.ModelVersion.text();
        video = m.NTSCorPAL.text();
        afSens = m.AF_Sens.caption();
        closeCaption = m.PTWCloseM.caption();
        backLight = m.BackLight.top();
        modelCode = rig.drivenModel();
        panTiltWindow = rig.program->frmPanTilt().visible();
    }
};

void expectSameLayout(const Layout& got, const Layout& want) {
    EXPECT_EQ(added(got.hidden, want.hidden), std::set<std::string>{}) << "hidden although start-up shows them";
    EXPECT_EQ(added(want.hidden, got.hidden), std::set<std::string>{}) << "shown although start-up hides them";
    EXPECT_EQ(added(got.disabled, want.disabled), std::set<std::string>{}) << "disabled beyond start-up's";
    EXPECT_EQ(added(want.disabled, got.disabled), std::set<std::string>{}) << "enabled although start-up disables them";
    EXPECT_EQ(got.ranges, want.ranges);
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(got.icon, want.icon);
    EXPECT_EQ(got.model, want.model);
    EXPECT_EQ(got.video, want.video);
    EXPECT_EQ(got.afSens, want.afSens);
    EXPECT_EQ(got.closeCaption, want.closeCaption);
    EXPECT_EQ(got.backLight, want.backLight);
    EXPECT_EQ(got.modelCode, want.modelCode);
    EXPECT_EQ(got.panTiltWindow, want.panTiltWindow);
}

std::vector<std::string> inquiries(Rig& rig, std::size_t mark) { return rig.packetsSince(mark, "09"); }

}  // namespace

// A mixed chain: each camera selected is laid out as start-up lays out a
// chain of that camera alone, and read with its own series' inquiries.
TEST(Identify, EachCameraOfAMixedChainIsLaidOutAsItself) {
    const std::vector<std::string> models = {"ORX-Kappa", "KBM-R14", "KBM-R05", "ORX-Beta"};
    std::map<std::string, Layout> alone;
    for (const auto& model : models) {
        Rig single({model});
        ASSERT_TRUE(single.startUp());
        alone.emplace(model, Layout(single));
    }
    Rig rig(models);
    ASSERT_TRUE(rig.startUp());
    expectSameLayout(Layout(rig), alone.at("ORX-Kappa"));

    const std::vector<std::string> block2 = {"82 09 00 02 FF", "82 09 7E 7E 00 FF", "82 09 7E 7E 01 FF",
                                             "82 09 7E 7E 02 FF"};
    struct Step {
        int camera;
        std::vector<std::string> reads;
    };
    const std::vector<Step> steps = {
        {2, block2},
        {3, {"83 09 00 02 FF", "83 09 7E 7E 00 FF", "83 09 7E 7E 01 FF", "83 09 7E 7E 02 FF"}},
        {4,
         {"84 09 00 02 FF", "84 09 7E 7E 00 FF", "84 09 7E 7E 01 FF", "84 09 7E 7E 02 FF", "84 09 7E 7E 03 FF",
          "84 09 06 12 FF", "84 09 06 10 FF", "84 09 06 11 FF"}},
        {2, block2},
        {1,
         {"81 09 00 02 FF", "81 09 04 00 FF", "81 09 06 23 FF", "81 09 06 34 FF", "81 09 04 00 FF",
          "81 09 7E 7E 00 FF", "81 09 7E 7E 01 FF", "81 09 7E 7E 02 FF", "81 09 7E 7E 03 FF", "81 09 06 06 FF",
          "81 09 7E 01 18 FF", "81 09 7E 01 1A FF", "81 09 06 12 FF", "81 09 06 10 FF", "81 09 06 11 FF"}},
    };
    for (const Step& s : steps) {
        const std::string& model = models[s.camera - 1];
        SCOPED_TRACE("camera " + std::to_string(s.camera) + " " + model);
        const auto mark = rig.mark();
        rig.main().CameraSel[s.camera].click();
        EXPECT_EQ(inquiries(rig, mark), s.reads);
        expectSameLayout(Layout(rig), alone.at(model));
        // The next read of the same camera asks the same and changes nothing.
        const Layout once(rig);
        const auto again = rig.mark();
        rig.readStatus();
        std::vector<std::string> next = inquiries(rig, again);
        EXPECT_EQ(std::count(next.begin(), next.end(), s.reads[0]), 0) << "identified again";
        expectSameLayout(Layout(rig), once);
    }
    EXPECT_TRUE(rig.windows.messages.empty());
}

// The model is told who answered each version inquiry of a read, an answer
// naming no series too: the camera is then no longer driven as the pan-tilt
// model it was (asked for an expand block, its packets chosen for it).
TEST(Identify, AnswerNamingNoSeriesIsNoLongerDrivenAsTheLastModel) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    const std::string expand = "81 09 7E 7E 03 FF";
    auto readAgain = [&rig] {
        rig.program->model.VersionRead = false;
        const auto mark = rig.mark();
        rig.readStatus();
        return rig.packetsSince(mark);
    };
    auto sent = readAgain();
    EXPECT_EQ(rig.drivenModel(), PanTiltModel::Beta);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), expand), 1);

    rig.chain.mutate = [](const Bytes& p, std::vector<Bytes>& replies) {
        if (p.size() > 3 && p[1] == 0x09 && p[2] == 0x00 && p[3] == 0x02 && !replies.empty() &&
            replies.back().size() == 10)
            replies.back()[3] = 0x00;
    };
    sent = readAgain();
    EXPECT_EQ(rig.drivenModel(), PanTiltModel::None);
    EXPECT_FALSE(rig.program->cameras.drivenCamera().identity.known());
    EXPECT_EQ(std::count(sent.begin(), sent.end(), expand), 0);
}
