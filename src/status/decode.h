// Decoding of the status answers into values: what one status read learned
// about the camera, without any window. The presenter shows it.
#pragma once

#include <optional>
#include <string>

#include "platform/serial_port.h"
#include "status/labels.h"
#include "platform/model_code.h"

namespace orbus::status {

// The accepted answers of one read; an answer not asked for, or not had,
// is empty.
struct Replies {
    std::optional<Bytes> lens, camera, other, expand, menu, info, dsub;
    bool dsubAsked = false;  // the video system has a D-sub sync output
};

// What the decoding needs besides the answers.
struct DecodeContext {
    PanTiltModel model = PanTiltModel::None;
    bool panTiltSeries = false;
    int kappaVideoSystem = 0;   // the ORX-Kappa's video format, as identified
    int videoSysCode = 0;       // 0 NTSC, 1 PAL: the last read's, for a read without the other block
    int brightMax = 31;         // the bright slider's top: positions above it show as numbers
    const LabelTables* labels = nullptr;
};

// The lens block (09 7E 7E 00).
struct LensStatus {
    std::optional<int> zoom;   // not while the zoom moves
    std::optional<int> focus;  // not while the focus moves
    int focusNearLimit = 0;
    bool digitalZoomSeparate = false;
    bool digitalZoomOn = false;
    bool afSensitivityLow = false;
    bool autoFocus = false;
    std::optional<int> afSubMode;  // 0 normal, 1 interval, 2 zoom trigger
};

// The camera block (09 7E 7E 01): colour and exposure.
struct CameraBlockStatus {
    int whiteBalanceMode = 0;  // 0..7; 0..5 are the menu's
    int exposureMode = 0;
    int redGain = 0, blueGain = 0, aperture = 0;
    int shutter = 0, iris = 0, gain = 0, bright = 0, expComp = 0;  // positions
    std::string shutterText, irisText, gainText, brightText, expCompText;
    bool slowShutter = false, backLight = false, expCompOn = false;
    // ORX-Kappa: one-push white balance needs a shutter of 1/8 or faster.
    std::optional<bool> onePushAllowed;
};

// The other block (09 7E 7E 02): switches, effects, address, video system.
struct OtherBlockStatus {
    int videoSysCode = 0;  // 0 NTSC, 1 PAL
    bool power = false, keyLock = false, autoIcr = false;
    bool lrReverse = false, freeze = false, dataScreen = false, titleOn = false;
    int pictureEffect = 0, digitalEffect = 0, effectLevel = 0;
    int cameraId = 0;
    std::string videoSystemText;  // for the NTSC/PAL box
};

// The ORX-Beta's expand block (09 7E 7E 03).
struct BetaExpandStatus {
    int digitalZoom = 0;
    bool alarm = false, ceilingMount = false, motionDetect = false;
};

// The ORX-Kappa's expand block (09 7E 7E 03).
struct KappaExpandStatus {
    int slowShutterLimit = 0;         // 0..2 are the menu's
    int digitalZoomLimit = 0;         // 0..3 are the menu's
    std::optional<int> zoomMax;       // the zoom slider's top for that limit
};

// Everything one status read learned; "not read" is an empty optional.
struct CameraStatus {
    PanTiltModel model = PanTiltModel::None;
    int videoSysCode = 0;  // the video system the labels were chosen for
    std::optional<LensStatus> lens;
    std::optional<CameraBlockStatus> camera;
    std::optional<OtherBlockStatus> other;
    std::optional<BetaExpandStatus> betaExpand;
    std::optional<KappaExpandStatus> kappaExpand;
    std::optional<bool> menuShown;      // ORX-Kappa: the camera's menu is on screen
    std::optional<bool> infoDisplay;    // ORX-Kappa: information display on
    bool dsubAsked = false;             // ORX-Kappa: the D-sub sync output was asked
    std::optional<bool> dsubThreeState; // ORX-Kappa: the D-sub output is 3-state (else VD)
};

// Each block on its own; nothing when the answer is too short for it.
std::optional<LensStatus> decodeLens(const Bytes& r);
std::optional<CameraBlockStatus> decodeCamera(const Bytes& r, const DecodeContext& context, int videoSysCode);
std::optional<OtherBlockStatus> decodeOther(const Bytes& r, const DecodeContext& context);
std::optional<BetaExpandStatus> decodeBetaExpand(const Bytes& r);
std::optional<KappaExpandStatus> decodeKappaExpand(const Bytes& r);
// A 4-byte answer's mode byte is "on" (02).
std::optional<bool> decodeOnOff(const Bytes& r);

// The whole read.
CameraStatus decodeStatus(const Replies& replies, const DecodeContext& context);

// "0x" and the value in upper-case hexadecimal without leading zeros.
std::string hexText(int value);

}  // namespace orbus::status
