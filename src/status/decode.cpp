#include "status/decode.h"

#include "platform/text.h"
#include "status/inquiry.h"

namespace orbus::status {

std::string hexText(int value) { return "0x" + hexNoPad(static_cast<unsigned>(value < 0 ? 0 : value)); }

namespace {

// The status blocks are 16 bytes, the mode answers 4.
constexpr std::size_t kBlockLength = 16;
constexpr std::size_t kModeLength = 4;

// The label of a position; a position the table does not cover (a camera
// may report anything) shows as its hexadecimal value.
std::string labelOr(const std::string& label, int position, int tableSize) {
    if (position < 0 || position >= tableSize) return hexText(position);
    return label;
}

const LabelTables& tablesOf(const DecodeContext& context) {
    static const LabelTables empty{};
    return context.labels ? *context.labels : empty;
}

}  // namespace

std::optional<LensStatus> decodeLens(const Bytes& r) {
    if (r.size() < kBlockLength) return std::nullopt;
    LensStatus s;
    if (!(r[14] & 0x01)) s.zoom = nibbles(r, 2, 4);
    if (!(r[14] & 0x02)) s.focus = nibbles(r, 8, 4);
    s.focusNearLimit = r[6] * 4096 + r[7] * 256;
    const std::uint8_t b = r[13];
    s.digitalZoomSeparate = b & 0x20;
    s.digitalZoomOn = b & 0x02;
    s.afSensitivityLow = b & 0x04;
    s.autoFocus = b & 0x01;
    const int afMode = (b >> 3) & 0x03;
    if (afMode <= 2) s.afSubMode = afMode;
    return s;
}

std::optional<CameraBlockStatus> decodeCamera(const Bytes& r, const DecodeContext& context, int videoSysCode) {
    if (r.size() < kBlockLength) return std::nullopt;
    const LabelTables& t = tablesOf(context);
    CameraBlockStatus s;
    s.whiteBalanceMode = r[6] & 0x07;
    s.exposureMode = r[8];
    s.redGain = r[2] * 16 + r[3];
    s.blueGain = r[4] * 16 + r[5];
    s.aperture = r[7];
    s.shutter = r[10];
    s.iris = r[11];
    s.gain = r[12];
    s.bright = r[13];
    s.expComp = r[14];
    s.shutterText = labelOr(t.shutter(videoSysCode, s.shutter), s.shutter, 22);
    s.irisText = labelOr(t.iris(s.iris), s.iris, 18);
    s.gainText = labelOr(t.gain(s.gain), s.gain, 16);
    // Bright positions beyond the lens's table (a 10x lens names 0 to 23) show as numbers.
    const bool brightNamed = s.bright <= context.brightMax && !t.bright(s.bright).empty();
    s.brightText = brightNamed ? t.bright(s.bright) : hexText(s.bright);
    s.expCompText = labelOr(t.expComp(s.expComp), s.expComp, 15);
    s.slowShutter = r[9] & 0x01;
    s.backLight = r[9] & 0x04;
    s.expCompOn = r[9] & 0x02;
    if (context.model == PanTiltModel::Kappa) s.onePushAllowed = s.shutter >= 4;
    return s;
}

std::optional<OtherBlockStatus> decodeOther(const Bytes& r, const DecodeContext& context) {
    if (r.size() < kBlockLength) return std::nullopt;
    OtherBlockStatus s;
    s.videoSysCode = r[12] & 0x01;
    s.power = r[2] & 0x01;
    s.keyLock = r[2] & 0x02;
    s.autoIcr = r[2] & 0x04;
    s.lrReverse = r[3] & 0x04;
    s.freeze = r[3] & 0x08;
    s.dataScreen = r[4] & 0x04;
    s.titleOn = r[4] & 0x08;
    s.pictureEffect = r[5];
    s.digitalEffect = r[6];
    s.effectLevel = r[7];
    s.cameraId = nibbles(r, 8, 4);
    if (context.model == PanTiltModel::Kappa && context.panTiltSeries) {
        const LabelTables& t = tablesOf(context);
        const int vs = context.kappaVideoSystem;
        s.videoSystemText = labelOr(t.videoSystem(vs), vs, static_cast<int>(t.VideoSystemLabel.size()));
    } else {
        s.videoSystemText = s.videoSysCode == 0 ? "NTSC" : "PAL";
    }
    return s;
}

std::optional<BetaExpandStatus> decodeBetaExpand(const Bytes& r) {
    if (r.size() < kBlockLength) return std::nullopt;
    BetaExpandStatus s;
    s.digitalZoom = r[2] * 16 + r[3];
    s.alarm = r[10] & 0x02;
    s.ceilingMount = r[10] & 0x01;
    s.motionDetect = r[11] & 0x02;
    return s;
}

std::optional<KappaExpandStatus> decodeKappaExpand(const Bytes& r) {
    if (r.size() < kBlockLength) return std::nullopt;
    static const int zoomMax[] = {0x4000, 0x5BC0, 0x69C0, 0x7E80};
    KappaExpandStatus s;
    s.slowShutterLimit = r[13];
    s.digitalZoomLimit = r[14];
    if (r[14] <= 3) s.zoomMax = zoomMax[r[14]];
    return s;
}

std::optional<bool> decodeOnOff(const Bytes& r) {
    if (r.size() < kModeLength) return std::nullopt;
    return r[2] == 0x02;
}

CameraStatus decodeStatus(const Replies& replies, const DecodeContext& context) {
    CameraStatus s;
    s.model = context.model;
    if (replies.lens) s.lens = decodeLens(*replies.lens);
    if (replies.other) s.other = decodeOther(*replies.other, context);
    // The shutter labels need this read's video system, which the other
    // block carries: a PAL camera must not show NTSC speeds.
    s.videoSysCode = s.other ? s.other->videoSysCode : context.videoSysCode;
    if (replies.camera) s.camera = decodeCamera(*replies.camera, context, s.videoSysCode);
    if (context.model == PanTiltModel::Beta && replies.expand) s.betaExpand = decodeBetaExpand(*replies.expand);
    if (context.model == PanTiltModel::Kappa) {
        if (replies.expand) s.kappaExpand = decodeKappaExpand(*replies.expand);
        if (replies.menu) s.menuShown = decodeOnOff(*replies.menu);
        if (replies.info) s.infoDisplay = decodeOnOff(*replies.info);
        s.dsubAsked = replies.dsubAsked;
        if (replies.dsubAsked && replies.dsub && replies.dsub->size() >= kModeLength)
            s.dsubThreeState = (*replies.dsub)[2] == 0;
    }
    return s;
}

}  // namespace orbus::status
