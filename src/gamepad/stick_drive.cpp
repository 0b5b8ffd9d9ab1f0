#include "gamepad/stick_drive.h"

#include <algorithm>
#include <cstdlib>

#include "gamepad/shaping.h"

namespace orbus::gamepad {

namespace {

// Zoom and focus come in eight speeds (0 to 7): eight steps past halt.
constexpr int kLensSteps = 8;

constexpr std::uint8_t kPanLeft = 0x01, kPanRight = 0x02, kTiltUp = 0x01, kTiltDown = 0x02, kHalt = 0x03;
// The speed bytes of the pan-tilt stop, as the drive window's Stop sends it.
constexpr std::uint8_t kStopSpeed = 0x18;

// A signed step: the boundary sliver holds only while the way is the same.
int signedStep(double v, int steps, int current) {
    const bool sameWay = current != 0 && (current > 0) == (v > 0);
    const int k = speedStep(v, steps, sameWay ? std::abs(current) : 0);
    return v < 0 ? -k : k;
}

double way(double v, bool invert) { return invert ? -v : v; }

const char* motionName(Motion motion) {
    switch (motion) {
    case Motion::PanTilt: return "Pan-tilt";
    case Motion::Zoom: return "Zoom";
    case Motion::Focus: return "Focus";
    }
    return "";
}

}  // namespace

StickDrive::StickDrive(link::CommandSink& sink, Hooks hooks, Mapping mapping)
    : sink_(sink), hooks_(std::move(hooks)), mapping_(mapping) {}

StickDrive::~StickDrive() = default;

std::vector<std::uint8_t> StickDrive::stopBody(Motion motion) {
    switch (motion) {
    case Motion::PanTilt: return {0x01, 0x06, 0x01, kStopSpeed, kStopSpeed, kHalt, kHalt};
    case Motion::Zoom: return {0x01, 0x04, 0x07, 0x00};
    case Motion::Focus: return {0x01, 0x04, 0x08, 0x00};
    }
    return {};
}

std::vector<std::uint8_t> StickDrive::panTiltBody(int pan, int tilt) {
    const auto speed = [](int step) { return static_cast<std::uint8_t>(std::max(1, std::abs(step))); };
    const std::uint8_t p = pan > 0 ? kPanRight : pan < 0 ? kPanLeft : kHalt;
    const std::uint8_t t = tilt > 0 ? kTiltUp : tilt < 0 ? kTiltDown : kHalt;
    return {0x01, 0x06, 0x01, speed(pan), speed(tilt), p, t};
}

std::vector<std::uint8_t> StickDrive::zoomBody(int step) {
    const int speed = std::clamp(std::abs(step) - 1, 0, 7);
    return {0x01, 0x04, 0x07, static_cast<std::uint8_t>((step > 0 ? 0x20 : 0x30) | speed)};
}

std::vector<std::uint8_t> StickDrive::focusBody(int step, bool fixedSpeed) {
    if (fixedSpeed) return {0x01, 0x04, 0x08, static_cast<std::uint8_t>(step > 0 ? 0x02 : 0x03)};
    const int speed = std::clamp(std::abs(step) - 1, 0, 7);
    return {0x01, 0x04, 0x08, static_cast<std::uint8_t>((step > 0 ? 0x20 : 0x30) | speed)};
}

void StickDrive::setMapping(const Mapping& mapping) {
    mapping_ = mapping;
    evaluate();
}

bool StickDrive::moving() const {
    return std::any_of(motions_.begin(), motions_.end(), [](const Moving& m) { return m.camera != 0; });
}

void StickDrive::later(double seconds, std::function<void()> fn) {
    std::weak_ptr<char> alive = alive_;
    hooks_.post(seconds, [alive, fn = std::move(fn)] {
        if (!alive.expired()) fn();
    });
}

// ---- devices, axes, buttons ---------------------------------------------------

void StickDrive::deviceAdded(int id, const std::string& name) {
    const bool known = std::any_of(devices_.begin(), devices_.end(), [id](const auto& d) { return d.first == id; });
    if (!known) devices_.emplace_back(id, name);
    if (!state_.connected) takeFirst();
}

void StickDrive::takeFirst() {
    state_ = {};
    state_.connected = true;
    state_.name = devices_.front().second;
    // A stick held off centre as it comes drives nothing until centred.
    for (Moving& m : motions_) m.latched = true;
    if (hooks_.tell) hooks_.tell("Gamepad connected: " + state_.name);
}

void StickDrive::deviceRemoved(int id) {
    const auto it = std::find_if(devices_.begin(), devices_.end(), [id](const auto& d) { return d.first == id; });
    if (it == devices_.end()) return;
    const bool driving = it == devices_.begin();
    devices_.erase(it);
    if (!driving) return;
    const bool wasMoving = moving();
    endAll(false);
    state_ = {};
    hold_ = {};
    if (hooks_.tell) hooks_.tell(wasMoving ? "Gamepad disconnected: the camera was stopped" : "Gamepad disconnected");
    if (!devices_.empty()) takeFirst();
}

void StickDrive::axis(int id, Axis a, double v) {
    if (!state_.connected || devices_.front().first != id) return;
    state_.axes[static_cast<int>(a)] = v;
}

void StickDrive::button(int id, Button b, bool down) {
    if (!state_.connected || devices_.front().first != id) return;
    bool& now = state_.buttons[static_cast<int>(b)];
    if (now == down) return;
    now = down;
    if (closed_) return;
    if (down && b == mapping_.stopAll) {
        stopEverything();
        return;
    }
    if (down && (b == mapping_.previousCamera || b == mapping_.nextCamera)) {
        if (hooks_.chooseCamera) hooks_.chooseCamera(b == mapping_.nextCamera ? 1 : -1);
        evaluate();
        return;
    }
    for (std::size_t i = 0; i < mapping_.memory.size(); ++i) {
        if (b == mapping_.memory[i] && b != mapping_.modifier) {
            memoryButton(static_cast<int>(i) + 1, down);
            return;
        }
    }
}

void StickDrive::tick() { evaluate(); }

void StickDrive::cameraChanged() { evaluate(); }

void StickDrive::lineLost() { endAll(true); }

void StickDrive::close() {
    if (closed_) return;
    // The last word: one stop each, now; nothing is tried again.
    for (int i = 0; i < kMotions; ++i) {
        Moving& m = motions_[static_cast<std::size_t>(i)];
        if (m.camera && (!hooks_.lineUp || hooks_.lineUp()))
            send(m.camera, stopBody(static_cast<Motion>(i)), link::CommandPacer::Kind::Stop, link::Pacing::Direct);
        m = {};
    }
    closed_ = true;
    owed_.clear();
    hold_ = {};
}

// ---- the drives ---------------------------------------------------------------

std::array<int, 2> StickDrive::wanted(Motion motion, const CameraTraits& t, const Moving& m) const {
    const Mapping& map = mapping_;
    switch (motion) {
    case Motion::PanTilt: {
        if (!t.panTiltHead) return {0, 0};
        // Tilt up is the stick pushed away, which reads negative.
        const Stick s = shaped(
            {way(value(map.pan.axis), map.pan.invert), way(-value(map.tilt.axis), map.tilt.invert)}, map.deadZone,
            map.curve);
        return {signedStep(s.x, t.panMax, m.steps[0]), signedStep(s.y, t.tiltMax, m.steps[1])};
    }
    case Motion::Zoom:
    case Motion::Focus: {
        // Zoom and focus share a stick in the default mapping: one circle.
        const Stick s = shaped(
            {way(value(map.focus.axis), map.focus.invert), way(-value(map.zoom.axis), map.zoom.invert)}, map.deadZone,
            map.curve);
        if (motion == Motion::Focus) {
            if (!t.manualFocus) return {0, 0};
            const int k = signedStep(s.x, kLensSteps, m.steps[0]);
            return {t.fixedFocusSpeed && k != 0 ? (k > 0 ? 1 : -1) : k, 0};
        }
        double z = s.y;
        if (z == 0 && map.triggersZoom) {
            z = curved(axisDeadZone(value(Axis::RightTrigger), map.deadZone), map.curve) -
                curved(axisDeadZone(value(Axis::LeftTrigger), map.deadZone), map.curve);
        }
        return {signedStep(z, kLensSteps, m.steps[0]), 0};
    }
    }
    return {0, 0};
}

void StickDrive::evaluate() {
    if (closed_ || !state_.connected) return;
    const int camera = hooks_.drivenCamera();
    const bool up = !hooks_.lineUp || hooks_.lineUp();
    const CameraTraits traits = hooks_.traits ? hooks_.traits(camera) : CameraTraits{};
    for (int i = 0; i < kMotions; ++i) {
        const auto motion = static_cast<Motion>(i);
        Moving& m = motions_[static_cast<std::size_t>(i)];
        // Another camera driven, or the line gone: the motion ends at the
        // camera that moved, and the stick must come back to the centre.
        if (m.camera && (m.camera != camera || !up)) end(m, motion, true);
        const std::array<int, 2> w = wanted(motion, traits, m);
        if (w == std::array<int, 2>{0, 0}) {
            m.latched = false;
            m.waiting = false;
            if (m.camera) end(m, motion, false);
            continue;
        }
        if (m.latched || !up) continue;
        const std::vector<std::uint8_t> body = motion == Motion::PanTilt ? panTiltBody(w[0], w[1])
                                               : motion == Motion::Zoom  ? zoomBody(w[0])
                                                                         : focusBody(w[0], traits.fixedFocusSpeed);
        if (m.camera == camera && body == m.last) continue;
        // A camera has two command sockets and a drive holds one until it
        // ends: with two drives running, it refuses every stop as "buffer
        // full" until one reaches the end of its travel. So one drive at a
        // time per camera; another motion waits until the one running ends.
        const auto other = std::find_if(motions_.begin(), motions_.end(), [&](const Moving& o) {
            return &o != &m && o.camera == camera;
        });
        if (other != motions_.end()) {
            if (!m.waiting && hooks_.tell)
                hooks_.tell(std::string(motionName(motion)) + " waits: the camera takes one drive at a time");
            m.waiting = true;
            continue;
        }
        m.waiting = false;
        if (send(camera, body, link::CommandPacer::Kind::Other, link::Pacing::Direct) != link::SendOutcome::Sent)
            continue;
        m.camera = camera;
        m.last = body;
        m.steps = w;
        owed_.erase({camera, motion});
    }
}

link::SendOutcome StickDrive::send(int camera, const std::vector<std::uint8_t>& body, link::CommandPacer::Kind kind,
                                   link::Pacing pacing) {
    Bytes packet;
    packet.reserve(body.size() + 2);
    packet.push_back(static_cast<std::uint8_t>(0x80 + camera));
    packet.insert(packet.end(), body.begin(), body.end());
    packet.push_back(0xFF);
    return sink_.send({std::move(packet), link::Source::Gamepad, kind, "", pacing});
}

void StickDrive::end(Moving& m, Motion motion, bool latch) {
    if (m.camera) stop(m.camera, motion);
    m.camera = 0;
    m.last.clear();
    m.steps = {};
    if (latch) m.latched = true;
}

void StickDrive::endAll(bool latch) {
    for (int i = 0; i < kMotions; ++i) end(motions_[static_cast<std::size_t>(i)], static_cast<Motion>(i), latch);
}

// A stop goes out now, whatever waits for the camera's sockets.
void StickDrive::stop(int camera, Motion motion) {
    if (closed_) return;
    if ((!hooks_.lineUp || hooks_.lineUp()) &&
        send(camera, stopBody(motion), link::CommandPacer::Kind::Stop, link::Pacing::Direct) ==
            link::SendOutcome::Sent) {
        owed_.erase({camera, motion});
        return;
    }
    owed_.insert({camera, motion});
    if (!retrying_) {
        retrying_ = true;
        later(kRetry, [this] { retry(); });
    }
}

void StickDrive::retry() {
    retrying_ = false;
    const auto owed = owed_;
    for (const auto& [camera, motion] : owed) {
        // A drive of the same motion went out to that camera since: the
        // motion belongs to it again, and its own end stops it.
        if (motions_[static_cast<std::size_t>(motion)].camera == camera) {
            owed_.erase({camera, motion});
            continue;
        }
        stop(camera, motion);
    }
}

void StickDrive::stopEverything() {
    const int camera = hooks_.drivenCamera();
    const CameraTraits traits = hooks_.traits ? hooks_.traits(camera) : CameraTraits{};
    std::array<bool, kMotions> stopped{};
    for (int i = 0; i < kMotions; ++i) {
        Moving& m = motions_[static_cast<std::size_t>(i)];
        stopped[static_cast<std::size_t>(i)] = m.camera == camera;
        end(m, static_cast<Motion>(i), true);
    }
    // What another controller set moving on the driven camera stops too.
    for (int i = 0; i < kMotions; ++i) {
        const auto motion = static_cast<Motion>(i);
        if (stopped[static_cast<std::size_t>(i)]) continue;
        if (motion == Motion::PanTilt && !traits.panTiltHead) continue;
        if (motion == Motion::Focus && !traits.manualFocus) continue;
        stop(camera, motion);
    }
    hold_ = {};
    if (hooks_.tell) hooks_.tell("Gamepad: everything stopped on camera " + std::to_string(camera));
}

// ---- memories ------------------------------------------------------------------

bool StickDrive::memoryCommand(int camera, int memory, std::uint8_t op) {
    const link::SendOutcome o = send(camera, {0x01, 0x04, 0x3F, op, static_cast<std::uint8_t>(memory - 1)},
                                     link::CommandPacer::Kind::Other, link::Pacing::BySockets);
    return o == link::SendOutcome::Sent || o == link::SendOutcome::Waiting;
}

void StickDrive::memoryButton(int memory, bool down) {
    const int camera = hooks_.drivenCamera();
    const std::string name = "Memory " + std::to_string(memory);
    auto tell = [this](const std::string& text) {
        if (hooks_.tell) hooks_.tell(text);
    };
    if (!down) {
        if (hold_.memory == memory) {
            hold_ = {};
            tell(name + " not stored: let go before 2 s");
        }
        return;
    }
    if (!held(mapping_.modifier)) {
        tell(memoryCommand(camera, memory, 0x02) ? name + " recalled on camera " + std::to_string(camera)
                                                 : name + " not recalled: the line did not take it");
        return;
    }
    hold_ = {memory, ++holds_};
    const long number = hold_.number;
    tell("Hold 2 s to store " + name + " on camera " + std::to_string(camera));
    later(kStoreHold, [this, number, camera, memory, name, tell] {
        if (hold_.number != number || hold_.memory == 0 || closed_) return;
        hold_ = {};
        if (!held(mapping_.modifier) || hooks_.drivenCamera() != camera) {
            tell(name + " not stored");
            return;
        }
        tell(memoryCommand(camera, memory, 0x01) ? name + " stored on camera " + std::to_string(camera)
                                                 : name + " not stored: the line did not take it");
    });
}

}  // namespace orbus::gamepad
