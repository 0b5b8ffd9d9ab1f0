// Pan, tilt, zoom and focus from a game controller, with a dead-man stop.
// It takes plain events (a controller plugged in or out, an axis's value, a
// button up or down, a tick between them) and sends through the command
// interface as the gamepad. A drive goes out only when its direction or
// speed step changes. A stick back in its dead zone, the controller gone,
// another camera driven, the line lost or the panel closing: each motion
// ends in a stop to the camera that moved, which is tried again while the
// line refuses it and never waits behind a drive. A stick still deflected
// after such an end drives nothing until it has been centred. One motion at
// a time drives a camera, so that a socket stays free for its stop.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gamepad/mapping.h"
#include "link/command_sink.h"

namespace orbus::gamepad {

// What the drive needs to know of a camera.
struct CameraTraits {
    bool panTiltHead = true;
    // Speed maxima of the head (pan, tilt): the steps a full deflection reaches.
    int panMax = 0x18, tiltMax = 0x17;
    // The lens is focused by hand: the focus axis works only then.
    bool manualFocus = false;
    // Focus moves at one speed (far 02, near 03).
    bool fixedFocusSpeed = false;
};

// The controller as last read, for a view.
struct ControllerState {
    bool connected = false;
    std::string name;
    std::array<double, kAxes> axes{};
    std::array<bool, kButtons> buttons{};
};

enum class Motion : std::uint8_t { PanTilt, Zoom, Focus };
constexpr int kMotions = 3;

class StickDrive {
public:
    struct Hooks {
        // The camera the operator drives (1 to 7).
        std::function<int()> drivenCamera;
        std::function<CameraTraits(int camera)> traits;
        // The line can take a packet now (the port is open).
        std::function<bool()> lineUp;
        // Runs fn after `seconds`, between other events.
        std::function<void(double seconds, std::function<void()> fn)> post;
        // The shoulder buttons: drive the previous (-1) or next (+1) camera.
        std::function<void(int step)> chooseCamera;
        // A line for the status bar ("Memory 2 stored on camera 1").
        std::function<void(const std::string&)> tell;
    };

    // A memory button held this long with the modifier stores the memory.
    static constexpr double kStoreHold = 2.0;
    // A refused stop is tried again this often.
    static constexpr double kRetry = 0.05;

    StickDrive(link::CommandSink& sink, Hooks hooks, Mapping mapping = {});
    ~StickDrive();
    StickDrive(const StickDrive&) = delete;
    StickDrive& operator=(const StickDrive&) = delete;

    // ---- plain events ------------------------------------------------------
    // A controller was plugged in (or found at start). The first one drives;
    // another waits until the one driving is gone. A stick it reports off
    // centre before the first tick drives nothing until it is centred.
    void deviceAdded(int id, const std::string& name);
    void deviceRemoved(int id);
    // Sticks -1 to 1 (right and down positive), triggers 0 to 1; acted on
    // at the next tick, so that a stick's two axes move as one.
    void axis(int id, Axis axis, double value);
    void button(int id, Button button, bool down);
    // After each read of the controller: the axes read since are acted on,
    // and so is another camera driven or the line lost since.
    void tick();

    // Another camera is driven from now on.
    void cameraChanged();
    // The line went away: the stops are owed until it is back.
    void lineLost();
    // The panel closes: stop now, send nothing more.
    void close();

    const Mapping& mapping() const { return mapping_; }
    void setMapping(const Mapping& mapping);
    const ControllerState& controller() const { return state_; }
    // The camera a motion moves (0: it rests).
    int moving(Motion motion) const { return motions_[static_cast<int>(motion)].camera; }
    bool moving() const;
    // The stops still owed: camera and motion.
    const std::set<std::pair<int, Motion>>& owedStops() const { return owed_; }

    // The packets (between header and FF) of a motion's stop, and of the
    // drives; speed steps are signed by way (pan right, tilt up, zoom tele,
    // focus far positive). Steps start at 1; pan-tilt's 0 halts that axis.
    static std::vector<std::uint8_t> stopBody(Motion motion);
    static std::vector<std::uint8_t> panTiltBody(int pan, int tilt);
    static std::vector<std::uint8_t> zoomBody(int step);
    static std::vector<std::uint8_t> focusBody(int step, bool fixedSpeed);

private:
    struct Moving {
        int camera = 0;                  // the camera it moves; 0: it rests
        std::vector<std::uint8_t> last;  // the last drive sent to it
        std::array<int, 2> steps{};      // the steps in use (for the boundary sliver)
        bool latched = false;            // ended while deflected: waits for the centre
        bool waiting = false;            // held back while another motion drives its camera
    };
    struct Hold {
        int memory = 0;     // 1 to 4; 0: none under way
        long number = 0;
    };

    // The first controller plugged in drives from now on.
    void takeFirst();
    void evaluate();
    // The signed steps each motion asks for now (pan, tilt; zoom; focus).
    std::array<int, 2> wanted(Motion motion, const CameraTraits& traits, const Moving& m) const;
    bool sendDrive(int camera, Motion motion, const std::vector<std::uint8_t>& body);
    void stop(int camera, Motion motion);
    void end(Moving& m, Motion motion, bool latch);
    void endAll(bool latch);
    void retry();
    void stopEverything();
    void memoryButton(int memory, bool down);
    bool memoryCommand(int camera, int memory, std::uint8_t op);
    void later(double seconds, std::function<void()> fn);
    link::SendOutcome send(int camera, const std::vector<std::uint8_t>& body, link::CommandPacer::Kind kind,
                           link::Pacing pacing);
    double value(Axis axis) const { return state_.axes[static_cast<int>(axis)]; }
    bool held(Button b) const { return state_.buttons[static_cast<int>(b)]; }

    link::CommandSink& sink_;
    Hooks hooks_;
    Mapping mapping_;
    ControllerState state_;
    std::vector<std::pair<int, std::string>> devices_;  // plugged in, in order; the first drives
    std::array<Moving, kMotions> motions_{};
    std::set<std::pair<int, Motion>> owed_;
    Hold hold_;
    long holds_ = 0;
    bool retrying_ = false;
    bool closed_ = false;
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace orbus::gamepad
