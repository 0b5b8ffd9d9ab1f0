// Which camera answered: the version inquiry at start-up and at the head of
// a status read, the model tables of both series, and the old-firmware warning.
#include <algorithm>

#include "app/frm_info.h"
#include "app/frm_main.h"
#include "app/program.h"
#include "pantilt/frm_pantilt.h"
#include "platform/text.h"
#include "status/identify.h"
#include "status/inquiry.h"

namespace orbus {

namespace {

const char* kPanTiltCaption = "ORX  SERIES  Control  Panel";
const char* kBlockCaption = "KBM-  B SERIES Control Panel";

// Hidden and disabled controls of the block models, by object name.
using Names = std::vector<const char*>;
const Names kHide11 = {"SetTimeDate", "DateDisplay", "TimeDisplay", "PrivacyZone", "PrivacyAv"};
const Names kHide12 = {"Comstabi", "LblAE_17", "SetTimeDate", "DateDisplay", "TimeDisplay", "PrivacyZone"};
const Names kHide16 = {"Comstabi",    "LblAE_17",    "SetTimeDate",     "DateDisplay",
                       "TimeDisplay", "PrivacyZone", "AutoSlowShutter", "Freese"};
const Names kHide18 = {"Comstabi", "LblAE_17", "LineLock", "Frame5", "LblWbApVp_3", "Freese", "PrivacyZone"};
const Names kHide19 = {"Comstabi", "LblAE_17", "LineLock", "Frame5", "LblWbApVp_3", "PrivacyZone"};
const Names kHide1A = {"Comstabi", "LblAE_17", "LineLock",    "Frame5",
                       "LblWbApVp_3", "Freese", "PrivacyZone", "AutoSlowShutter"};
const Names kHide1E = {"Comstabi", "LblAE_17", "DateDisplay",     "TimeDisplay", "SetTimeDate",
                       "FmWB",     "Freese",   "AutoSlowShutter", "PrivacyZone"};
const Names kHide20 = {"DateDisplay", "TimeDisplay", "SetTimeDate", "PrivacyAv"};
const Names kHide24 = {"DateDisplay", "TimeDisplay", "SetTimeDate", "PrivacyAv", "Comstabi", "LblAE_17"};
const Names kHide28 = {"DateDisplay", "TimeDisplay", "SetTimeDate", "PrivacyAv",
                       "Comstabi",    "LblAE_17",    "Freese",      "AutoSlowShutter"};
const Names kHide2A = {"BlackWhite", "DateDisplay", "TimeDisplay", "SetTimeDate", "PrivacyAv",
                       "Comstabi",   "LblAE_17",    "FmWB",        "Freese",      "AutoSlowShutter"};
const Names kOffFlipMd = {"PictureFlip", "MotionDetecter"};
const Names kOffWbFlipMd = {"WBMode", "PictureFlip", "MotionDetecter"};
const Names kOffWb = {"WBMode"};
const Names kNone = {};

}  // namespace

const std::vector<BlockModelRow>& blockModelTable() {
    static const std::vector<BlockModelRow> rows = {
        {0x11, LensClass::X25, "NTSC/PAL", kHide11, kOffFlipMd}, {0x12, LensClass::X18, "NTSC", kHide12, kOffFlipMd},
        {0x13, LensClass::X18, "PAL", kHide12, kOffFlipMd},      {0x14, LensClass::X18, "NTSC", kHide12, kOffFlipMd},
        {0x15, LensClass::X18, "PAL", kHide12, kOffFlipMd},      {0x16, LensClass::X18, "NTSC", kHide16, kOffFlipMd},
        {0x17, LensClass::X18, "PAL", kHide16, kOffFlipMd},      {0x18, LensClass::X18, "NTSC", kHide18, kOffFlipMd},
        {0x19, LensClass::X18, "PAL", kHide19, kOffFlipMd},      {0x1A, LensClass::X18, "NTSC", kHide1A, kOffFlipMd},
        {0x1B, LensClass::X18, "PAL", kHide1A, kOffFlipMd},      {0x1C, LensClass::X10, "NTSC", kHide19, kOffFlipMd},
        {0x1D, LensClass::X10, "PAL", kHide19, kOffFlipMd},      {0x1E, LensClass::X18, "EIA", kHide1E, kOffWbFlipMd},
        {0x1F, LensClass::X18, "CCIR", kHide1E, kOffWbFlipMd},   {0x20, LensClass::X25, "NTSC/PAL", kHide20, kNone},
        {0x21, LensClass::X25, "NTSC/PAL", kHide20, kNone},      {0x22, LensClass::X25, "NTSC", kHide20, kNone},
        {0x23, LensClass::X25, "PAL", kHide20, kNone},           {0x24, LensClass::X18, "NTSC", kHide24, kNone},
        {0x25, LensClass::X18, "PAL", kHide24, kNone},           {0x26, LensClass::X18, "NTSC", kHide24, kNone},
        {0x27, LensClass::X18, "PAL", kHide24, kNone},           {0x28, LensClass::X18, "NTSC", kHide28, kNone},
        {0x29, LensClass::X18, "PAL", kHide28, kNone},           {0x2A, LensClass::X18, "EIA", kHide2A, kOffWb},
        {0x2B, LensClass::X18, "CCIR", kHide2A, kOffWb},
    };
    return rows;
}

const BlockModelRow* findBlockModel(int byte5) {
    for (const auto& r : blockModelTable()) {
        if (r.byte5 == byte5) return &r;
    }
    return nullptr;
}

std::string modelKey(std::uint8_t b4, std::uint8_t b5) { return hexNoPad(b4) + hexNoPad(b5); }

PanTiltModel panTiltModelCode(const std::string& key) {
    if (equalsNoCase(key, "42")) return PanTiltModel::Alpha;
    if (equalsNoCase(key, "4D")) return PanTiltModel::Gamma;
    if (equalsNoCase(key, "4E")) return PanTiltModel::Beta;
    if (equalsNoCase(key, "54")) return PanTiltModel::Kappa;
    return PanTiltModel::Gamma;
}

std::string versionModelName(const std::vector<std::uint8_t>& r) {
    if (r.size() < 10) return {};
    if (r[3] == 0x01) {
        // Unknown pan-tilt keys are driven as the ORX-Gamma, and named so.
        switch (panTiltModelCode(modelKey(r[4], r[5]))) {
        case PanTiltModel::Alpha: return PTModelName[0];
        case PanTiltModel::Beta: return PTModelName[2];
        case PanTiltModel::Kappa: return PTModelName[3];
        default: return PTModelName[1];
        }
    }
    if (r[3] == 0x20) {
        if (const BlockModelRow* row = findBlockModel(r[5])) return BlockModelName[row->byte5 - 0x11];
    }
    return {};
}

// What every identification of a pan-tilt camera sets, at start-up and in a read.
static void markPanTiltSeries(FrmMain& m, const Bytes& r) {
    Program& p = m.program();
    p.model.IsPanTiltSeries = true;
    p.model.LaidOutSeries = Series::PanTilt;
    p.model.LaidOutBlockModel = -1;
    m.setCaption(kPanTiltCaption);
    m.setIcon("orx-kappa");
    m.FmMemory.setVisible(false);
    m.FmPTWindowM.setVisible(true);
    p.model.ModelKey = modelKey(r[4], r[5]);
}

void applyBlockModel(FrmMain& m, const BlockModelRow& row) {
    const int index = row.byte5 - 0x11;
    m.ModelVersion.setText(BlockModelName[index]);
    m.NTSCorPAL.setText(row.videoSystem);
    switch (row.lens) {
    case LensClass::X10: m.Opt10X(); break;
    case LensClass::X18: m.Opt18X(); break;
    case LensClass::X25: m.Opt25X(); break;
    }
    for (const char* n : row.hidden) {
        if (Control* c = m.find(n)) c->setVisible(false);
    }
    for (const char* n : row.disabled) {
        if (Control* c = m.find(n)) c->setEnabled(false);
    }
}

// What identification does for a block camera: the series caption, no
// presets and no pan-tilt window, then the model's row (an unknown model
// byte selects no row).
static void layOutBlockCamera(FrmMain& m, int byte5) {
    Program& p = m.program();
    p.model.IsPanTiltSeries = false;
    p.model.LaidOutSeries = Series::Block;
    p.model.LaidOutBlockModel = byte5;
    m.setCaption(kBlockCaption);
    m.FmPreset.setVisible(false);
    m.FmPTWindowM.setVisible(false);
    if (const BlockModelRow* row = findBlockModel(byte5)) applyBlockModel(m, *row);
}

link::Async<void> FrmMain::IdentifyAtStartup() {
    Program& p = program();
    const int address = p.link.CamAddress;
    Bytes r;
    for (int attempts = 1;; ++attempts) {
        SD(Bytes{static_cast<std::uint8_t>(0x80 + address), 0x09, 0x00, 0x02, 0xFF}, kQuiet);
        r = co_await WaitAnswer(10);
        if (acceptedReply(r, 10)) break;
        if (attempts >= kVersionAttempts) {
            // Nobody told us the model: say so and carry on unidentified.
            ModelVersion.setText("Unknown");
            p.frmInfo().LbSubtitle.setCaption("Camera Version Check Error");
            p.platform.windows.message({MsgIcon::Exclamation, "Warning",
                                        "Camera Version Check Error !\r\n"
                                        "The camera did not tell its model; the panel stays unidentified.",
                                        MsgButtons::Ok, true});
            co_return;
        }
    }
    if (r[0] != 0x80 + 16 * address) co_return;
    if (r[3] == 0x01) {
        markPanTiltSeries(*this, r);
        p.link.ModelCode = panTiltModelCode(p.model.ModelKey);
    } else if (r[3] == 0x20) {
        layOutBlockCamera(*this, r[5]);
    }
}

// Before another series or block model is laid out: the window as drawn,
// and no mode shown yet, so that the decoding sets every mode's controls
// for the new camera instead of keeping the last camera's.
static void startFromDesign(Program& p) {
    p.design.restore();
    p.modes = ModeBook{};
}

link::Async<bool> identifyInStatusRead(FrmMain& m) {
    Program& p = m.program();
    const auto version = co_await inquireCounted(m, "09 00 02", 10, 902);
    if (!version) co_return false;
    const Bytes& r = *version;
    if (r[3] != 0x01) {
        p.model.IsPanTiltSeries = false;
        // The model code names pan-tilt models only: a block camera chosen
        // after one must not be read and driven as that model (asked for the
        // expand block it lacks, its focus driven at the fixed speed).
        p.link.ModelCode = PanTiltModel::None;
        p.model.VersionRead = true;
        // Another camera of a mixed chain: the panel is laid out for it as
        // start-up does, from the window as drawn, so that nothing the
        // previous camera's layout hid or disabled stays that way.
        const bool sameBlock = p.model.LaidOutSeries == Series::Block && p.model.LaidOutBlockModel == r[5];
        if (r[3] == 0x20 && !sameBlock) {
            startFromDesign(p);
            layOutBlockCamera(m, r[5]);
        }
        // A block camera has no pan-tilt head: its window goes away.
        m.DspPTW();
        co_return true;
    }
    // Back from a block camera: start again from the window as drawn, then
    // the pan-tilt model's own layout.
    if (p.model.LaidOutSeries == Series::Block) startFromDesign(p);
    markPanTiltSeries(m, r);
    m.FmPreset.setVisible(true);
    p.frmPanTilt().LbMount.setCaption("");
    p.frmPanTilt().LblIR.setCaption("");
    p.model.RomVersionHi = r[6];
    p.model.RomVersionLo = r[7];
    p.modes.MenuMode = false;
    const std::string& key = p.model.ModelKey;
    if (equalsNoCase(key, "42")) {
        p.link.ModelCode = PanTiltModel::Alpha;
        m.ModelVersion.setText(PTModelName[0]);
        m.DspAlpha();
    } else if (equalsNoCase(key, "4D")) {
        p.link.ModelCode = PanTiltModel::Gamma;
        m.setIcon("orx-gamma");
        m.ModelVersion.setText(PTModelName[1]);
        m.DspGamma();
    } else if (equalsNoCase(key, "4E")) {
        p.link.ModelCode = PanTiltModel::Beta;
        m.setIcon("orx-beta");
        m.ModelVersion.setText(PTModelName[2]);
        m.DspBeta();
    } else if (equalsNoCase(key, "54")) {
        p.link.ModelCode = PanTiltModel::Kappa;
        m.setIcon("orx-kappa");
        m.ModelVersion.setText(PTModelName[3]);
        if (!co_await m.PwCheck()) co_return false;
        if (p.model.RomVersionHi > 0) {
            p.model.NewFirmware = true;
            if (m.Power.checked()) {
                auto v = co_await inquireCounted(m, "09 06 23", 4, 9623);
                if (!v) co_return false;
                p.model.VideoSystem = (*v)[2];
                v = co_await inquireCounted(m, "09 06 34", 4, 9634);
                if (!v) co_return false;
                p.model.IRCondition = (*v)[2];
            }
        } else {
            p.model.NewFirmware = false;
            m.VerError();
        }
        m.DspKappa();
    } else {
        p.link.ModelCode = PanTiltModel::Gamma;
        m.ModelVersion.setText(PTModelName[1]);
        m.DspGamma();
    }
    p.model.VersionRead = true;
    // Back from a camera without a head: the pan-tilt window returns if the
    // operator had it open.
    if (p.ptw.PTWindow && !p.isLoaded(p.frmPanTilt())) m.DspPTW();
    co_return true;
}

void FrmMain::VerError() {
    Program& p = program();
    p.platform.windows.message({MsgIcon::Critical, "Warning",
                                "This application will run on a restricted function mode, \r\n"
                                "because connected ORX-Kappa has an old version firmware.",
                                MsgButtons::Ok, true});
    p.model.VideoSystem = 7;
    p.model.IRCondition = 7;
}

}  // namespace orbus
