// The simulated camera's models, its packet handling and the dispatch of
// commands to their groups; the groups live in the camera_*.cpp files.
#include "camera.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "camera_bytes.h"

namespace orbus::sim {

using namespace detail;

namespace {

std::vector<CameraModel> buildModels() {
    std::vector<CameraModel> m = {
        {"ORX-Alpha", Series::PanTilt, 0x04, 0x02, PanTiltModel::Alpha, false},
        {"ORX-Gamma", Series::PanTilt, 0x04, 0x0D, PanTiltModel::Gamma, false},
        {"ORX-Beta", Series::PanTilt, 0x04, 0x0E, PanTiltModel::Beta, false},
        {"ORX-Kappa", Series::PanTilt, 0x05, 0x04, PanTiltModel::Kappa, false},
    };
    // Block cameras KBM-R01..R27, model byte 0x11..0x2B. PAL rows of the
    // block model table: R03, R05, R07, R09, R11, R13, R15, R19, R21, R23, R25, R27.
    const std::vector<int> pal = {3, 5, 7, 9, 11, 13, 15, 19, 21, 23, 25, 27};
    for (int n = 1; n <= 27; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "KBM-R%02d", n);
        bool isPal = std::find(pal.begin(), pal.end(), n) != pal.end();
        m.push_back({name, Series::Block, 0x04, static_cast<std::uint8_t>(0x10 + n), PanTiltModel::None, isPal});
    }
    return m;
}

}  // namespace

const std::vector<CameraModel>& cameraModels() {
    static const std::vector<CameraModel> models = buildModels();
    return models;
}

const CameraModel* findCameraModel(std::string_view name) {
    for (const auto& m : cameraModels()) {
        if (m.name.size() == name.size() &&
            std::equal(m.name.begin(), m.name.end(), name.begin(),
                       [](char a, char b) { return std::toupper(a) == std::toupper(b); }))
            return &m;
    }
    return nullptr;
}

Camera::Camera(const CameraModel& model) : model_(&model) {
    if (model.series == Series::Block) {
        state_.videoSys = model.pal ? 1 : 0;
        // Block cameras carry firmware of their own line.
        state_.romHi = 2;
        state_.romLo = 0x10;
    }
    if (model.panTilt == PanTiltModel::Kappa) state_.shutter = 7;
}

Bytes Camera::reply(std::initializer_list<int> body) const {
    Bytes b{replyHeader()};
    for (int v : body) b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(0xFF);
    return b;
}

std::vector<Bytes> Camera::handle(const Bytes& packet, double t) {
    advanceHead(t);
    // packet: header .. FF
    if (packet.size() < 3) return {reply({0x60, 0x02})};
    Bytes body(packet.begin() + 1, packet.end() - 1);
    // The service setting mode.
    if (body == Bytes{0x5E, 0x21, 0x3A, 0x6D}) return {reply({0x41}), reply({0x51})};
    if (body == Bytes{0x01, 0x00, 0x01}) {
        interfaceClear();
        return {reply({0x50})};
    }
    if (!body.empty() && body[0] == 0x09) {
        if (auto a = inquiry(body)) return {*a};
        return {reply({0x60, 0x02})};
    }
    // Service memory of the pan-tilt models: acknowledged, then answered.
    if (body.size() == 5 && body[0] == 0x01 && body[1] == 0x06 && body[2] == 0x1A) {
        const auto value = serviceMemory(body[3], body[4]);
        if (!value) return {reply({0x60, 0x02})};
        Bytes answer{replyHeader(), 0x50};
        putNib4(answer, *value);
        answer.push_back(0xFF);
        return {reply({0x41}), answer};
    }
    if (!body.empty() && body[0] == 0x01) {
        const bool powerCmd = body.size() >= 3 && body[1] == 0x04 && body[2] == 0x00;
        if (!state_.power && !powerCmd) return {reply({0x60, 0x41})};
        switch (command(body)) {
        case Outcome::Applied: return {reply({0x41}), reply({0x51})};
        case Outcome::NotNow: return {reply({0x60, 0x41})};
        default: return {reply({0x60, 0x02})};
        }
    }
    return {reply({0x60, 0x02})};
}

// Applies a command body (after the header, without FF).
Camera::Outcome Camera::command(const Bytes& c) {
    if (c.size() < 3 || c[0] != 0x01) return Outcome::NotMine;
    if (c[1] == 0x04) {
        for (auto group : {&Camera::powerCommand, &Camera::exposureCommand, &Camera::pictureCommand,
                           &Camera::lensCommand, &Camera::overlayCommand}) {
            const Outcome done = (this->*group)(c);
            if (done != Outcome::NotMine) return done;
        }
        return Outcome::NotMine;
    }
    if (c[1] == 0x06) return outcome(c[2] == 0x06 ? menuCommand(c) : panTiltCommand(c));
    return outcome(settingCommand(c));
}

// Power on (02) and off (03).
Camera::Outcome Camera::powerCommand(const Bytes& c) {
    if (c[2] != 0x00) return Outcome::NotMine;
    const std::uint8_t p = c.size() > 3 ? c[3] : 0;
    if (!isOnOff(p)) return Outcome::Refused;
    CameraState& s = state_;
    s.power = p == 0x02;
    // A line speed written to the setting memory takes effect at power on.
    if (s.power && s.memory.count(kSpeedCell)) s.speedCode = s.memory[kSpeedCell];
    return Outcome::Applied;
}

int Camera::memoryCell(int a1, int a2, int a3) const {
    auto it = state_.memory.find(((a1 & 0xF) << 8) | ((a2 & 0xF) << 4) | (a3 & 0xF));
    return it == state_.memory.end() ? 0 : it->second;
}

int Camera::lineBaud() const {
    switch (state_.speedCode) {
    case 1: return 19200;
    case 2: return 38400;
    default: return 9600;
    }
}

}  // namespace orbus::sim
