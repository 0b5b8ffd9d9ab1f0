// The simulated camera's inquiries: which it answers per model, and the
// answers, the four status blocks among them.
#include "camera.h"

#include "camera_bytes.h"

namespace orbus::sim {

using namespace detail;

bool Camera::answers(const Bytes& q) const {
    const PanTiltModel code = model_->panTilt;
    const bool block = model_->series == Series::Block;
    auto is = [&](std::initializer_list<int> body) {
        return q.size() == body.size() && std::equal(body.begin(), body.end(), q.begin());
    };
    if (is({0x09, 0x00, 0x02}) || is({0x09, 0x04, 0x00})) return true;
    if (is({0x09, 0x7E, 0x7E, 0x00}) || is({0x09, 0x7E, 0x7E, 0x01}) || is({0x09, 0x7E, 0x7E, 0x02}))
        return block || code != PanTiltModel::Alpha;
    if (is({0x09, 0x7E, 0x7E, 0x03})) return code == PanTiltModel::Beta || code == PanTiltModel::Kappa;
    if (is({0x09, 0x06, 0x06}) || is({0x09, 0x7E, 0x01, 0x18}) || is({0x09, 0x7E, 0x01, 0x1A}) ||
        is({0x09, 0x06, 0x23}) || is({0x09, 0x06, 0x34}))
        return code == PanTiltModel::Kappa;
    if (is({0x09, 0x06, 0x12}) || is({0x09, 0x06, 0x10}) || is({0x09, 0x06, 0x11})) return !block;
    if (is({0x09, 0x04, 0x6B}) || is({0x09, 0x04, 0x6C}) || is({0x09, 0x04, 0x6D}))
        return code == PanTiltModel::Beta || (block && model_->model2 >= 0x20);
    if (is({0x09, 0x04, 0x40}) || is({0x09, 0x04, 0x41})) return block || code == PanTiltModel::Gamma || code == PanTiltModel::Beta;
    // Setting memory cell read: 09 7F 7F 01 a1 a2 a3.
    if (q.size() == 7 && q[0] == 0x09 && q[1] == 0x7F && q[2] == 0x7F && q[3] == 0x01) return true;
    return false;
}

Bytes Camera::lensBlock() const {
    const CameraState& s = state_;
    Bytes b{replyHeader(), 0x50};
    putNib4(b, s.zoom);
    b.push_back(static_cast<std::uint8_t>((s.focusNearLimit >> 12) & 0xF));
    b.push_back(static_cast<std::uint8_t>((s.focusNearLimit >> 8) & 0xF));
    putNib4(b, s.focus);
    b.push_back(0x00);
    b.push_back(static_cast<std::uint8_t>((s.focusAuto ? 0x01 : 0) | (s.dzoomOn ? 0x02 : 0) |
                                          (s.afSensOn ? 0x04 : 0) | ((s.afMode & 3) << 3) |
                                          (s.dzoomSeparate ? 0x20 : 0)));
    b.push_back(static_cast<std::uint8_t>((s.zoomMoving ? 0x01 : 0) | (s.focusMoving ? 0x02 : 0)));
    b.push_back(0xFF);
    return b;
}

Bytes Camera::cameraBlock() const {
    const CameraState& s = state_;
    Bytes b{replyHeader(), 0x50};
    b.push_back(static_cast<std::uint8_t>((s.rGain >> 4) & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.rGain & 0xF));
    b.push_back(static_cast<std::uint8_t>((s.bGain >> 4) & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.bGain & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.wbMode & 0x7));
    b.push_back(static_cast<std::uint8_t>(s.aperture & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.aeMode));
    b.push_back(static_cast<std::uint8_t>((s.slowShutter ? 0x01 : 0) | (s.expCompOn ? 0x02 : 0) |
                                          (s.backLight ? 0x04 : 0)));
    b.push_back(static_cast<std::uint8_t>(s.shutter));
    b.push_back(static_cast<std::uint8_t>(s.iris));
    b.push_back(static_cast<std::uint8_t>(s.gain));
    b.push_back(static_cast<std::uint8_t>(s.bright));
    b.push_back(static_cast<std::uint8_t>(s.expComp));
    b.push_back(0xFF);
    return b;
}

Bytes Camera::otherBlock() const {
    const CameraState& s = state_;
    Bytes b{replyHeader(), 0x50};
    b.push_back(static_cast<std::uint8_t>((s.power ? 0x01 : 0) | (s.keyLock ? 0x02 : 0) | (s.autoIcr ? 0x04 : 0)));
    b.push_back(static_cast<std::uint8_t>((s.lrReverse ? 0x04 : 0) | (s.freeze ? 0x08 : 0)));
    b.push_back(static_cast<std::uint8_t>((s.dataScreen ? 0x04 : 0) | (s.titleDisplay ? 0x08 : 0)));
    b.push_back(static_cast<std::uint8_t>(s.pictureEffect));
    b.push_back(static_cast<std::uint8_t>(s.digitalEffect));
    b.push_back(static_cast<std::uint8_t>(s.effectLevel));
    putNib4(b, s.cameraId);
    b.push_back(static_cast<std::uint8_t>(s.videoSys & 1));
    b.push_back(0x00);
    b.push_back(0x00);
    b.push_back(0xFF);
    return b;
}

Bytes Camera::expandBlock() const {
    const CameraState& s = state_;
    Bytes b{replyHeader(), 0x50};
    b.push_back(static_cast<std::uint8_t>((s.dzoomPos >> 4) & 0xF));
    b.push_back(static_cast<std::uint8_t>(s.dzoomPos & 0xF));
    for (int i = 4; i <= 9; ++i) b.push_back(0x00);
    b.push_back(static_cast<std::uint8_t>((s.ceilingMount ? 0x01 : 0) | (s.alarmActive ? 0x02 : 0)));
    b.push_back(static_cast<std::uint8_t>(s.motionDetectAvailable ? 0x02 : 0));
    b.push_back(0x00);
    b.push_back(static_cast<std::uint8_t>(s.slowShutterLimit));
    b.push_back(static_cast<std::uint8_t>(s.dzoomLimit));
    b.push_back(0xFF);
    return b;
}

std::optional<Bytes> Camera::inquiry(const Bytes& q) const {
    if (!answers(q)) return std::nullopt;
    const CameraState& s = state_;
    auto is = [&](std::initializer_list<int> body) {
        return q.size() == body.size() && std::equal(body.begin(), body.end(), q.begin());
    };
    if (is({0x09, 0x00, 0x02})) {
        Bytes b{replyHeader(), 0x50, 0x00,
                static_cast<std::uint8_t>(model_->series == Series::PanTilt ? 0x01 : 0x20),
                model_->model1, model_->model2, s.romHi, s.romLo, 0x02, 0xFF};
        return b;
    }
    if (is({0x09, 0x04, 0x00})) return reply({0x50, s.power ? 0x02 : 0x03});
    if (is({0x09, 0x7E, 0x7E, 0x00})) return lensBlock();
    if (is({0x09, 0x7E, 0x7E, 0x01})) return cameraBlock();
    if (is({0x09, 0x7E, 0x7E, 0x02})) return otherBlock();
    if (is({0x09, 0x7E, 0x7E, 0x03})) return expandBlock();
    if (is({0x09, 0x06, 0x06})) return reply({0x50, s.menuOn ? 0x02 : 0x03});
    if (is({0x09, 0x7E, 0x01, 0x18})) return reply({0x50, s.infoDisplay ? 0x02 : 0x03});
    if (is({0x09, 0x7E, 0x01, 0x1A})) return reply({0x50, s.dsubSync});
    if (is({0x09, 0x06, 0x23})) return reply({0x50, s.videoSystem});
    if (is({0x09, 0x06, 0x34})) return reply({0x50, s.irCondition});
    if (is({0x09, 0x06, 0x12})) {
        Bytes b{replyHeader(), 0x50};
        putNib4(b, s.panPos);
        putNib4(b, s.tiltPos);
        b.push_back(0xFF);
        return b;
    }
    if (is({0x09, 0x06, 0x10})) {
        // The status word shows the head moving: bit 2 pan, bit 3 tilt.
        const int word = s.ptStatus | (panRate_ != 0 ? 0x0004 : 0) | (tiltRate_ != 0 ? 0x0008 : 0);
        return reply({0x50, (word >> 8) & 0xFF, word & 0xFF});
    }
    if (is({0x09, 0x06, 0x11})) return reply({0x50, s.maxPanSpeed, s.maxTiltSpeed});
    if (is({0x09, 0x04, 0x6B})) return reply({0x50, s.alarmActive ? 0x02 : 0x03});
    if (is({0x09, 0x04, 0x6C})) return reply({0x50, s.alarmMode});
    if (is({0x09, 0x04, 0x6D})) {
        Bytes b{replyHeader(), 0x50};
        for (int level : {s.dayLevel, s.nightLevel, s.nowLevel}) {
            b.push_back(static_cast<std::uint8_t>((level >> 8) & 0xF));
            b.push_back(static_cast<std::uint8_t>((level >> 4) & 0xF));
            b.push_back(static_cast<std::uint8_t>(level & 0xF));
        }
        b.push_back(0xFF);
        return b;
    }
    if (q.size() == 7 && q[1] == 0x7F && q[3] == 0x01) {
        const int cell = memoryCell(q[4], q[5], q[6]);
        return reply({0x50, (cell >> 4) & 0xF, cell & 0xF});
    }
    if (is({0x09, 0x04, 0x40}) || is({0x09, 0x04, 0x41})) {
        Bytes b{replyHeader(), 0x50};
        putNib4(b, q[2] == 0x40 ? s.autoPowerOff : s.nightPowerOff);
        b.push_back(0xFF);
        return b;
    }
    return std::nullopt;
}

}  // namespace orbus::sim
