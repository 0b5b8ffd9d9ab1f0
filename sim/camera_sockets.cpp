// The simulated camera's command sockets and execution times: commands in
// flight, acknowledge and completion, and drives that hold their socket.
#include "camera.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "camera_bytes.h"
#include "timing.h"

namespace orbus::sim {

using namespace detail;

double Camera::executionTime(const Bytes& c) const {
    const CameraState& s = state_;
    const LensTimes lens = lensTimes(*model_);
    const std::size_t n = c.size();
    auto zoomTime = [&](int target) { return std::abs(target - s.zoom) * lens.zoom / kZoomRange; };
    auto focusTime = [&](int target) { return std::abs(target - s.focus) * lens.focus / (kFocusMax - kFocusMin); };
    double run = kOtherCommandTime;
    if (n >= 4 && c[0] == 0x01 && c[1] == 0x04) {
        const std::uint8_t cmd = c[2], p = c[3];
        if (cmd == 0x47 && n >= 7) run = zoomTime(clampi(nib4(c, 3), 0, 0x8BE0));
        else if (cmd == 0x48 && n >= 7) run = focusTime(clampi(nib4(c, 3), kFocusMin, kFocusMax));
        else if (cmd == 0x46 && n >= 7)
            run = std::abs(clampi(nib4(c, 3), 0, kDZoomRange) - s.dzoomPos) * kDZoomFullTime / kDZoomRange;
        else if (cmd == 0x10 && p == 0x05) run = kOnePushWhiteBalanceTime;
        else if (cmd == 0x18 && p == 0x01) run = kOnePushFocusTime;
        else if (cmd == 0x3F && p == 0x02 && n >= 5 && s.presets[c[4] & 0x7F].set) {
            const auto& slot = s.presets[c[4] & 0x7F];
            run = std::max(zoomTime(slot.zoom), focusTime(slot.focus));
            if (model_->series == Series::PanTilt) {
                run = std::max(run, std::abs(signed16(slot.pan) - signed16(s.panPos)) /
                                        (s.maxPanSpeed * kUnitsPerSpeedStep));
                run = std::max(run, std::abs(signed16(slot.tilt) - signed16(s.tiltPos)) /
                                        (s.maxTiltSpeed * kUnitsPerSpeedStep));
            }
        }
    }
    return run * scale();
}

namespace {

// The axis whose held drive a command ends: drives, stops and positions of
// that axis; a preset recall ends all of them (None here, handled apart).
bool endsHold(const Bytes& c, int axis) {
    if (c.size() < 3 || c[0] != 0x01) return false;
    if (c[1] == 0x04 && c[2] == 0x3F && c.size() >= 4 && c[3] == 0x02) return true;
    switch (axis) {
    case 1: return c[1] == 0x04 && (c[2] == 0x07 || c[2] == 0x47);
    case 2: return c[1] == 0x04 && (c[2] == 0x08 || c[2] == 0x48);
    case 3: return c[1] == 0x06 && c[2] >= 0x01 && c[2] <= 0x05;
    default: return false;
    }
}

}  // namespace

void Camera::endHold(Axis axis, double at, std::vector<TimedReply>& out) {
    for (int z = 0; z < kSockets; ++z) {
        Socket& k = sockets_[static_cast<std::size_t>(z)];
        if (k.held != axis) continue;
        out.push_back({reply({0x51 + z}), at});
        k = {at, Axis::None, 0};
    }
}

std::vector<Camera::TimedReply> Camera::release(double t) {
    std::vector<TimedReply> out;
    for (;;) {
        int next = -1;
        for (int z = 0; z < kSockets; ++z) {
            const Socket& k = sockets_[static_cast<std::size_t>(z)];
            if (k.held != Axis::None && k.heldEnd <= t &&
                (next < 0 || k.heldEnd < sockets_[static_cast<std::size_t>(next)].heldEnd))
                next = z;
        }
        if (next < 0) return out;
        Socket& k = sockets_[static_cast<std::size_t>(next)];
        out.push_back({reply({0x51 + next}), k.heldEnd});
        k = {k.heldEnd, Axis::None, 0};
    }
}

double Camera::nextRelease() const {
    double next = -1;
    for (const Socket& k : sockets_) {
        if (k.held != Axis::None && (next < 0 || k.heldEnd < next)) next = k.heldEnd;
    }
    return next;
}

int Camera::socketsBusy(double t) const {
    int busy = 0;
    for (const Socket& k : sockets_) busy += k.held != Axis::None || k.freeAt > t ? 1 : 0;
    return busy;
}

std::vector<Camera::TimedReply> Camera::handleTimed(const Bytes& packet, double t) {
    std::vector<TimedReply> out;
    const std::size_t n = packet.size();
    // Commands take a socket; the interface clear and the service memory
    // read do not, nor does anything else.
    const bool socketCommand = timing.on && t >= 0 && n >= 5 && packet[1] == 0x01 &&
                               !(n == 5 && packet[2] == 0x00 && packet[3] == 0x01) &&
                               !(n == 7 && packet[2] == 0x06 && packet[3] == 0x1A);
    if (!socketCommand) {
        if (timing.on) advanceLens(t);
        for (Bytes& r : handle(packet, t)) out.push_back({std::move(r), -1});
        return out;
    }
    advanceHead(t);
    advanceLens(t);
    const Bytes body(packet.begin() + 1, packet.end() - 1);
    const double ackAt = t + timing.ackDelay;
    const bool powerCmd = body[1] == 0x04 && body[2] == 0x00;
    if (!state_.power && !powerCmd) return {{reply({0x61, 0x41}), ackAt}};
    int z = 0;
    while (z < kSockets && (sockets_[static_cast<std::size_t>(z)].held != Axis::None ||
                            sockets_[static_cast<std::size_t>(z)].freeAt > t))
        ++z;
    if (z == kSockets) return {{reply({0x60, 0x03}), ackAt}};  // buffer full: the command is lost
    const double run = executionTime(body);
    if (!lensDrive(body)) {
        const Outcome done = command(body);
        // Not executable now: no acknowledge, the socket stays free.
        if (done == Outcome::NotNow) return {{reply({0x61, 0x41}), ackAt}};
        if (done != Outcome::Applied) return {{reply({0x60, 0x02}), ackAt}};
    }
    out.push_back({reply({0x41 + z}), ackAt});
    // A drive this command stops or takes over completes now.
    for (Axis a : {Axis::Zoom, Axis::Focus, Axis::Head}) {
        if (endsHold(body, static_cast<int>(a))) endHold(a, ackAt, out);
    }
    Socket& k = sockets_[static_cast<std::size_t>(z)];
    const bool zoomAxis = body[1] == 0x04 && body[2] == 0x07;
    const bool focusAxis = body[1] == 0x04 && body[2] == 0x08;
    const bool headAxis = body[1] == 0x06 && body[2] >= 0x01 && body[2] <= 0x03;
    const double floor = timing.ackDelay + kMinAfterAck;
    if (zoomAxis && zoomRate_ != 0) {
        const double left = zoomRate_ > 0 ? kZoomRange - zoomExact_ : zoomExact_;
        k = {std::numeric_limits<double>::infinity(), Axis::Zoom, t + std::max(floor, left / std::abs(zoomRate_))};
    } else if (focusAxis && focusRate_ != 0) {
        const double left = focusRate_ > 0 ? kFocusMax - focusExact_ : focusExact_ - kFocusMin;
        k = {std::numeric_limits<double>::infinity(), Axis::Focus, t + std::max(floor, left / std::abs(focusRate_))};
    } else if (headAxis && (panRate_ != 0 || tiltRate_ != 0)) {
        k = {std::numeric_limits<double>::infinity(), Axis::Head, t + std::max(floor, headRemaining())};
    } else {
        const double done = t + std::max(floor, run);
        out.push_back({reply({0x51 + z}), done});
        k = {done, Axis::None, 0};
    }
    return out;
}

}  // namespace orbus::sim
