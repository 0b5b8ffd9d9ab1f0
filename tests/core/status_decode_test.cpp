// Decoding status answers into values, on byte strings alone (no window).
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "status/decode.h"

using namespace orbus;
using namespace orbus::status;

namespace {

// A 16-byte status block from camera 1 with the given bytes set.
Bytes block(std::initializer_list<std::pair<int, int>> set) {
    Bytes b(16, 0);
    b[0] = 0x90;
    b[1] = 0x50;
    b[15] = 0xFF;
    for (auto [at, v] : set) b[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v);
    return b;
}

Bytes mode(int value) { return Bytes{0x90, 0x50, static_cast<std::uint8_t>(value), 0xFF}; }

LabelTables tables18x() {
    LabelTables t;
    t.fillDefaults();
    t.fill18X();
    return t;
}

}  // namespace

TEST(StatusDecode, LensBlock) {
    struct Case {
        const char* what;
        Bytes reply;
        std::optional<int> zoom, focus;
        int nearLimit;
        bool separate, dzoomOn, sensLow, autoFocus;
        std::optional<int> afSubMode;
    };
    const Bytes idle = block({{2, 0}, {3, 3}, {4, 0xA}, {5, 0xF}, {6, 0xA}, {8, 2}, {9, 3}, {10, 4}, {11, 5}});
    Bytes zoomMoving = idle, focusMoving = idle, separate = idle, auto1 = idle, bothAfBits = idle;
    zoomMoving[14] = 0x01;
    focusMoving[14] = 0x02;
    separate[13] = 0x20 | 0x02;  // the on bit means nothing in the separate mode
    auto1[13] = 0x01 | 0x04 | 0x08;
    bothAfBits[13] = 0x18;
    const std::vector<Case> cases = {
        {"idle, manual focus", idle, 0x3AF, 0x2345, 0xA000, false, false, false, false, 0},
        {"zoom moving", zoomMoving, std::nullopt, 0x2345, 0xA000, false, false, false, false, 0},
        {"focus moving", focusMoving, 0x3AF, std::nullopt, 0xA000, false, false, false, false, 0},
        {"separate digital zoom", separate, 0x3AF, 0x2345, 0xA000, true, true, false, false, 0},
        {"auto focus, low sensitivity, interval", auto1, 0x3AF, 0x2345, 0xA000, false, false, true, true, 1},
        {"no AF mode of that value", bothAfBits, 0x3AF, 0x2345, 0xA000, false, false, false, false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<LensStatus> s = decodeLens(c.reply);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->zoom, c.zoom);
        EXPECT_EQ(s->focus, c.focus);
        EXPECT_EQ(s->focusNearLimit, c.nearLimit);
        EXPECT_EQ(s->digitalZoomSeparate, c.separate);
        EXPECT_EQ(s->digitalZoomOn, c.dzoomOn);
        EXPECT_EQ(s->afSensitivityLow, c.sensLow);
        EXPECT_EQ(s->autoFocus, c.autoFocus);
        EXPECT_EQ(s->afSubMode, c.afSubMode);
    }
}

// Value texts follow the label tables, the video system of the same read
// and the lens's bright range; what no table names shows in hexadecimal.
TEST(StatusDecode, CameraBlockTexts) {
    const LabelTables t = tables18x();
    struct Case {
        const char* what;
        PanTiltModel model;
        Bytes camera;
        std::optional<Bytes> other;  // carries the video system
        int previousVideoSys, brightMax;
        const char* shutter;
        const char* iris;
        const char* gain;
        const char* bright;
        const char* expComp;
        std::optional<bool> onePush;
    };
    const Bytes exposure = block({{10, 6}, {11, 1}, {12, 2}, {13, 17}, {14, 7}});
    const std::vector<Case> cases = {
        {"NTSC", PanTiltModel::Beta, exposure, block({{12, 0}}), 1, 31, "1/60", "F22", "2dB", "F1.4/0dB", "0/0dB", {}},
        {"PAL in the same read", PanTiltModel::Beta, exposure, block({{12, 1}}), 0, 31, "1/50", "F22", "2dB",
         "F1.4/0dB", "0/0dB", {}},
        {"PAL of the last read", PanTiltModel::Beta, exposure, std::nullopt, 1, 31, "1/50", "F22", "2dB", "F1.4/0dB",
         "0/0dB", {}},
        {"positions beyond the tables", PanTiltModel::Gamma, block({{10, 22}, {11, 0x40}, {12, 16}, {13, 40}, {14, 15}}),
         std::nullopt, 0, 31, "0x16", "0x40", "0x10", "0x28", "0xF", {}},
        {"bright above the lens's range", PanTiltModel::Gamma, block({{13, 24}}), std::nullopt, 0, 23, "1/1", "Close",
         "-3dB", "0x18", "-7/-10.5dB", {}},
        {"Kappa, shutter 1/4", PanTiltModel::Kappa, block({{10, 3}}), std::nullopt, 0, 23, "1/8", "Close", "-3dB",
         "CLOSE/0dB", "-7/-10.5dB", false},
        {"Kappa, shutter 1/8", PanTiltModel::Kappa, block({{10, 4}}), std::nullopt, 0, 23, "1/15", "Close", "-3dB",
         "CLOSE/0dB", "-7/-10.5dB", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DecodeContext context{c.model, true, 0, c.previousVideoSys, c.brightMax, &t};
        Replies replies;
        replies.camera = c.camera;
        replies.other = c.other;
        const CameraStatus s = decodeStatus(replies, context);
        ASSERT_TRUE(s.camera);
        EXPECT_EQ(s.camera->shutterText, c.shutter);
        EXPECT_EQ(s.camera->irisText, c.iris);
        EXPECT_EQ(s.camera->gainText, c.gain);
        EXPECT_EQ(s.camera->brightText, c.bright);
        EXPECT_EQ(s.camera->expCompText, c.expComp);
        EXPECT_EQ(s.camera->onePushAllowed, c.onePush);
    }
}

TEST(StatusDecode, CameraAndOtherBlockFields) {
    const LabelTables t = tables18x();
    DecodeContext context{PanTiltModel::Beta, true, 0, 0, 31, &t};
    const auto cam = decodeCamera(block({{2, 0xA}, {3, 0x5}, {4, 0x0}, {5, 0xF}, {6, 0xFD}, {7, 9}, {8, 0x1B}, {9, 0x05}}),
                                  context, 0);
    ASSERT_TRUE(cam);
    EXPECT_EQ(cam->whiteBalanceMode, 5);  // low three bits only
    EXPECT_EQ(cam->exposureMode, 0x1B);
    EXPECT_EQ(cam->redGain, 0xA5);
    EXPECT_EQ(cam->blueGain, 0x0F);
    EXPECT_EQ(cam->aperture, 9);
    EXPECT_TRUE(cam->slowShutter);
    EXPECT_TRUE(cam->backLight);
    EXPECT_FALSE(cam->expCompOn);

    const auto other = decodeOther(
        block({{2, 0x07}, {3, 0x0C}, {4, 0x08}, {5, 8}, {6, 4}, {7, 12}, {8, 0}, {9, 1}, {10, 2}, {11, 3}, {12, 0x11}}),
        context);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->videoSysCode, 1);
    EXPECT_TRUE(other->power && other->keyLock && other->autoIcr && other->lrReverse && other->freeze);
    EXPECT_FALSE(other->dataScreen);
    EXPECT_TRUE(other->titleOn);
    EXPECT_EQ(other->pictureEffect, 8);
    EXPECT_EQ(other->digitalEffect, 4);
    EXPECT_EQ(other->effectLevel, 12);
    EXPECT_EQ(other->cameraId, 0x123);
    EXPECT_EQ(other->videoSystemText, "PAL");
}

// The ORX-Kappa's video system box names the identified format; the
// other models show the block's NTSC or PAL.
TEST(StatusDecode, VideoSystemText) {
    LabelTables t = tables18x();
    t.fillKappa();
    struct Case {
        PanTiltModel model;
        bool panTiltSeries;
        int kappaVideoSystem;
        int blockBit;
        const char* text;
    };
    const std::vector<Case> cases = {
        {PanTiltModel::Kappa, true, 2, 0, "1280*720p/59.94"},
        {PanTiltModel::Kappa, true, 12, 1, "PAL/Letter Box"},
        {PanTiltModel::Kappa, true, 40, 0, "0x28"},
        {PanTiltModel::Gamma, true, 2, 1, "PAL"},
        {PanTiltModel::None, false, 2, 0, "NTSC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DecodeContext context{c.model, c.panTiltSeries, c.kappaVideoSystem, 0, 23, &t};
        const auto other = decodeOther(block({{12, c.blockBit}}), context);
        ASSERT_TRUE(other);
        EXPECT_EQ(other->videoSystemText, c.text);
    }
}

// Each model decodes only its own answers; the ORX-Kappa's D-sub mode is
// there only when it was asked and answered.
TEST(StatusDecode, ModelSpecificAnswers) {
    const LabelTables t = tables18x();
    Replies replies;
    replies.expand = block({{2, 0}, {3, 0}, {10, 0x03}, {11, 0x02}, {13, 2}, {14, 2}});
    replies.menu = mode(2);
    replies.info = mode(3);
    replies.dsub = mode(0);
    replies.dsubAsked = true;

    const CameraStatus beta = decodeStatus(replies, DecodeContext{PanTiltModel::Beta, true, 0, 0, 31, &t});
    ASSERT_TRUE(beta.betaExpand);
    EXPECT_EQ(beta.betaExpand->digitalZoom, 0);
    EXPECT_TRUE(beta.betaExpand->alarm && beta.betaExpand->ceilingMount && beta.betaExpand->motionDetect);
    EXPECT_FALSE(beta.kappaExpand || beta.menuShown || beta.infoDisplay || beta.dsubThreeState);

    const CameraStatus kappa = decodeStatus(replies, DecodeContext{PanTiltModel::Kappa, true, 0, 0, 23, &t});
    EXPECT_FALSE(kappa.betaExpand);
    ASSERT_TRUE(kappa.kappaExpand);
    EXPECT_EQ(kappa.kappaExpand->slowShutterLimit, 2);
    EXPECT_EQ(kappa.kappaExpand->digitalZoomLimit, 2);
    EXPECT_EQ(kappa.kappaExpand->zoomMax, 0x69C0);
    EXPECT_EQ(kappa.menuShown, true);
    EXPECT_EQ(kappa.infoDisplay, false);
    EXPECT_EQ(kappa.dsubThreeState, true);

    replies.dsubAsked = false;
    EXPECT_FALSE(decodeStatus(replies, DecodeContext{PanTiltModel::Kappa, true, 4, 0, 23, &t}).dsubThreeState);

    const CameraStatus gamma = decodeStatus(replies, DecodeContext{PanTiltModel::Gamma, true, 0, 0, 23, &t});
    EXPECT_FALSE(gamma.betaExpand || gamma.kappaExpand || gamma.menuShown);
}

// Limits the menus do not have leave the zoom range alone; answers too
// short for their block decode to nothing instead of reading past them.
TEST(StatusDecode, OutOfRangeAndShortAnswers) {
    for (int limit : {4, 0x7F, 0xFF}) {
        const auto s = decodeKappaExpand(block({{14, limit}}));
        ASSERT_TRUE(s);
        EXPECT_FALSE(s->zoomMax) << limit;
    }
    const LabelTables t = tables18x();
    const DecodeContext context{PanTiltModel::Kappa, true, 0, 0, 23, &t};
    const Bytes shortBlock{0x90, 0x50, 0x01, 0xFF};
    EXPECT_FALSE(decodeLens(shortBlock));
    EXPECT_FALSE(decodeCamera(shortBlock, context, 0));
    EXPECT_FALSE(decodeOther(shortBlock, context));
    EXPECT_FALSE(decodeBetaExpand(shortBlock));
    EXPECT_FALSE(decodeKappaExpand(shortBlock));
    EXPECT_FALSE(decodeOnOff(Bytes{0x90, 0x50}));
}
