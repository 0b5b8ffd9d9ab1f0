// Simulated camera: one of the 31 models, with the state the panel reads
// back and the commands change. It answers packets addressed to it with the
// reply packets a real camera sends: acknowledge and completion for
// commands, inquiry answers, and error replies for what it does not know.
#pragma once

#include <array>
#include <map>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/model_code.h"

namespace orbus::sim {

using Bytes = std::vector<std::uint8_t>;

enum class Series { PanTilt, Block };

struct CameraModel {
    std::string name;         // "ORX-Kappa", "KBM-R05"
    Series series;
    std::uint8_t model1;      // version reply byte 4
    std::uint8_t model2;      // version reply byte 5
    PanTiltModel panTilt;     // block cameras: None
    bool pal;                 // block cameras: PAL ("PAL", "CCIR") video system
};

const std::vector<CameraModel>& cameraModels();
const CameraModel* findCameraModel(std::string_view name);

// Everything the panel can read back from a camera.
struct CameraState {
    // Identity.
    std::uint8_t romHi = 1, romLo = 0x05;
    // Lens block.
    int zoom = 0;                 // 0..0x7E80
    bool zoomMoving = false;
    int focus = 0x1000;           // 0x1000..0xC000
    bool focusMoving = false;
    int focusNearLimit = 0xC000;  // high byte used on the wire
    bool focusAuto = true;
    bool dzoomOn = false;
    bool afSensOn = false;        // AF sensitivity switched on by 58 02 (lens block bit 2)
    int afMode = 0;               // 0 normal, 1 interval, 2 zoom trigger
    bool dzoomSeparate = false;
    int afActiveTime = 0, afIntervalTime = 0;
    // Camera-control block.
    int rGain = 128, bGain = 128;
    int wbMode = 0;               // 0 auto .. 5 manual
    int aperture = 5;
    int aeMode = 0x00;
    bool spotLight = false;       // full auto metering a bright spot
    bool slowShutter = false;
    bool expCompOn = false;
    bool backLight = false;
    int shutter = 6, iris = 10, gain = 1, bright = 12, expComp = 7;
    // Other block.
    bool power = true;
    bool keyLock = false;
    bool autoIcr = false;
    bool icrOn = false;
    bool lrReverse = false;
    bool freeze = false;
    bool pictureFlip = false;
    bool dataScreen = false;
    bool titleDisplay = false;
    bool mute = false;
    bool stabilizer = false;
    int pictureEffect = 0;        // 0..8
    int digitalEffect = 0;        // 0..4
    int effectLevel = 0;
    int cameraId = 0;             // 0..65535
    int videoSys = 0;             // other block byte 12 bit 0: 0 NTSC, 1 PAL
    int vPhase = 0;
    bool vPhase180 = false;
    int syncMode = 0;             // 0 internal, 1 line lock
    bool dateDisplay = false, timeDisplay = false;
    // Expand block.
    int dzoomPos = 0;             // 0..0xEB
    bool alarmActive = false;     // Beta: expand byte 10 bit 1
    bool ceilingMount = false;
    bool motionDetectAvailable = true;
    int slowShutterLimit = 0;     // Kappa: 0..2
    int dzoomLimit = 0;           // Kappa: 0..3
    // Kappa single inquiries.
    int videoSystem = 0;          // 0..15 (Kappa video format)
    int irCondition = 0;          // 0 OK, 1 NG
    bool menuOn = false;
    bool infoDisplay = false;
    int dsubSync = 0;
    // Pan-tilt head.
    int panPos = 0, tiltPos = 0;
    int ptStatus = 0;             // 16-bit status word (the moving bits are added while the head moves)
    int maxPanSpeed = 0x18, maxTiltSpeed = 0x17;
    // Alarm.
    int alarmMode = 0;
    int dayLevel = 0x800, nightLevel = 0x400, nowLevel = 0x600;
    // The title: 20 character codes, its place, colour and blink.
    std::array<int, 20> title{};
    int titleVPos = 0, titleHPos = 0, titleColour = 0, titleBlink = 0;
    // The camera clock: year (two digits), month, day, hour, minute.
    std::array<int, 5> clock{};
    // Power-off timers (minutes).
    int autoPowerOff = 0, nightPowerOff = 0;
    // Memory presets: the settings stored per number.
    struct Preset {
        bool set = false;
        int zoom = 0, focus = 0, pan = 0, tilt = 0, aeMode = 0, wbMode = 0;
    };
    std::array<Preset, 128> presets{};
    // Privacy masks of the 24-zone model: place and size, display and
    // colour-2 switches (bit i zone i), the two colours, the grid, and the
    // pan, tilt and zoom each mask was set at.
    struct Mask {
        int x = 0, y = 0, width = 0, height = 0;
        int pan = 0, tilt = 0, zoom = 0;
    };
    std::array<Mask, 24> masks{};
    int maskDisplay = 0, maskColour2 = 0;
    int colour1 = 0, colour2 = 0;
    bool privacyGrid = false;
    int maskPan = 0, maskTilt = 0;  // pan-tilt angle of the mask model
    // The six-zone model: X, Y, width, height per zone, and its switch.
    std::array<std::array<int, 4>, 6> zones{};
    bool privacyOn = false;
    // Spot metering and its place on the 16 x 16 grid.
    bool spotMetering = false;
    int spotX = 8, spotY = 8;
    // Setting memory cells by address (0x000..0xFFF), one byte each.
    std::map<int, int> memory;
    bool debugMode = false;  // pan-tilt models: the service memory can be read
    // Line speed in use: 0 9600, 1 19200, 2 38400 bit/s (-1: as the chain was started).
    int speedCode = -1;
};

// The setting memory cell that holds the line speed code.
constexpr int kSpeedCell = 0xCFC;

class Camera {
public:
    explicit Camera(const CameraModel& model);

    const CameraModel& model() const { return *model_; }
    CameraState& state() { return state_; }
    const CameraState& state() const { return state_; }

    // Address 1..7 from the last address set; 0 while unaddressed.
    int address() const { return address_; }
    void setAddress(int a) { address_ = a; }

    // Reply header of this camera: 0x80 + 16 x address.
    std::uint8_t replyHeader() const { return static_cast<std::uint8_t>(0x80 + 16 * address_); }

    // Reply packets to one packet addressed to this camera, in order.
    // Commands get an acknowledge and a completion; each is a separate packet.
    // `t` is the time in seconds the packet arrives (negative: time does not
    // matter); the pan-tilt head moves on to it first.
    std::vector<Bytes> handle(const Bytes& packet, double t = -1);

    // The pan-tilt head's travel in position units, per model.
    struct HeadLimits {
        int panMin, panMax, tiltMin, tiltMax;
    };
    HeadLimits headLimits() const;
    // The line speed of the camera's speed code (meaningful once a power on
    // has taken a code from its setting memory, speedCode >= 0).
    int lineBaud() const;
    int memoryCell(int a1, int a2, int a3) const;
    // A service memory value (bank 03: 00 year, 01 month and day; bank 02:
    // 03 remodeling number), readable in debug mode.
    std::optional<int> serviceMemory(int bank, int cell) const;
    // Position units per second per step of drive speed.
    static constexpr double kUnitsPerSpeedStep = 16.0;
    // Moves a driven head on to time t, stopping an axis at its limit.
    void advanceHead(double t);

    // Interface clear: cancels whatever the camera was doing.
    void interfaceClear() {}

    // Command sockets and execution times (timing.h). Off: every command
    // is acknowledged and completed at once, on the chain's usual delays.
    struct Timing {
        bool on = false;
        double ackDelay = 0.004;
        double scale = 1.0;  // multiplies every execution time
    };
    Timing timing;
    static constexpr int kSockets = 2;
    // A reply and the time it is due (negative: on the chain's usual delay).
    struct TimedReply {
        Bytes bytes;
        double at = -1;
    };
    // As handle, with the times of the replies when timing is on: a command
    // takes the lowest free socket z (acknowledge y0 4z FF, completion y0 5z
    // FF when done); with both busy it is refused with y0 60 03 FF and not
    // carried out; one the camera cannot carry out now gets y0 61 41 FF.
    std::vector<TimedReply> handleTimed(const Bytes& packet, double t);
    // Completions of drives that reached the end of their travel by time t.
    std::vector<TimedReply> release(double t);
    // When the next held drive reaches the end of its travel; -1 for none.
    double nextRelease() const;
    // Sockets busy at time t.
    int socketsBusy(double t) const;

    // A silent camera (switched off at the mains, cable cut) answers nothing.
    bool silent = false;

    // Inquiries this camera answers (body after the header, without FF).
    bool answers(const Bytes& inquiryBody) const;

private:
    // Inquiries (camera_inquiry.cpp).
    std::optional<Bytes> inquiry(const Bytes& body) const;
    Bytes reply(std::initializer_list<int> body) const;
    Bytes lensBlock() const;
    Bytes cameraBlock() const;
    Bytes otherBlock() const;
    Bytes expandBlock() const;

    // What one group of commands makes of a body: not one of its commands,
    // refused (malformed or out of range), not executable in the camera's
    // present modes (nothing changes), or carried out.
    enum class Outcome { NotMine, Refused, NotNow, Applied };
    static Outcome outcome(bool applied) { return applied ? Outcome::Applied : Outcome::Refused; }
    // Commands: one body (after the header, without FF). NotMine when no
    // group knows it.
    Outcome command(const Bytes& body);
    // The exposure values and colour gains the present modes hand to the
    // operator; the camera's automatics hold the others (camera_exposure.cpp).
    enum class Held { Iris, Shutter, Gain, Bright, ColourGains };
    bool operatorSets(Held value) const;
    Outcome powerCommand(const Bytes& body);
    Outcome exposureCommand(const Bytes& body);  // exposure, colour, metering, IR cut
    Outcome pictureCommand(const Bytes& body);   // picture effects and switches, camera id
    Outcome lensCommand(const Bytes& body);      // zoom, focus, digital zoom, presets
    Outcome overlayCommand(const Bytes& body);   // title, privacy masks, clock, timers, alarm
    bool panTiltCommand(const Bytes& body);      // category 06 but the menu
    bool menuCommand(const Bytes& body);
    bool settingCommand(const Bytes& body);      // setting memory, info display, D-sub sync
    bool privacySwitch(const Bytes& body);
    bool privacySet(const Bytes& body);

    // Pan-tilt head (camera_pantilt.cpp).
    bool drive(const Bytes& body);
    bool headMove(const Bytes& body);
    // Seconds until the moving head stops at its targets or limits.
    double headRemaining() const;

    // Lens drives (camera_lens.cpp).
    bool lensDrive(const Bytes& body);
    void advanceLens(double t);

    // Sockets and execution times (camera_sockets.cpp).
    enum class Axis { None, Zoom, Focus, Head };
    // Execution time of a command about to be applied (state as before it).
    double executionTime(const Bytes& body) const;
    // Ends a drive holding a socket on this axis: it completes at `at`.
    void endHold(Axis axis, double at, std::vector<TimedReply>& out);
    double scale() const { return timing.on && timing.scale > 0 ? timing.scale : 1.0; }

    const CameraModel* model_;
    CameraState state_;
    int address_ = 0;
    // Head motion: signed units per second, exact positions and the time
    // they were taken at.
    double panRate_ = 0, tiltRate_ = 0;
    double panExact_ = 0, tiltExact_ = 0;
    double headTime_ = -1;
    // Targets of a head move; none while driven.
    std::optional<double> panTarget_, tiltTarget_;
    // Lens drives: signed units per second, exact positions, their time.
    double zoomRate_ = 0, focusRate_ = 0;
    double zoomExact_ = 0, focusExact_ = 0;
    double lensTime_ = -1;
    struct Socket {
        double freeAt = -1;      // busy until then
        Axis held = Axis::None;  // a drive holding it until stopped or at its end
        double heldEnd = 0;      // the end of that drive's travel
    };
    std::array<Socket, kSockets> sockets_{};
};

}  // namespace orbus::sim
