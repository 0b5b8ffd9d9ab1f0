// Simulated cameras keep every setting a camera profile holds and report it
// back exactly as the panel's own decoders read it, for both series; a value
// the camera's modes leave to its automatics is not executable and changes
// nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "chain.h"
#include "panel/exposure.h"
#include "status/decode.h"
#include "status/inquiry.h"

using namespace orbus;

namespace {

using Body = std::vector<int>;

// The models of both series whose read-backs differ: the three pan-tilt
// models with status blocks and a block camera of each lens class (10x,
// 18x PAL, 25x with the alarm).
const char* const kModels[] = {"ORX-Beta", "ORX-Gamma", "ORX-Kappa", "KBM-R12", "KBM-R05", "KBM-R17"};

sim::Bytes packet(const Body& body) {
    sim::Bytes p{0x81};
    for (int b : body) p.push_back(static_cast<std::uint8_t>(b));
    p.push_back(0xFF);
    return p;
}

sim::Bytes bytesOf(const Body& body) { return sim::Bytes(body.begin(), body.end()); }

std::string hex(const std::vector<sim::Bytes>& replies) {
    std::string s;
    char buf[4];
    for (const auto& r : replies) {
        for (auto b : r) s += (std::snprintf(buf, sizeof buf, "%02X ", b), buf);
    }
    return s.empty() ? s : s.substr(0, s.size() - 1);
}

const std::string kDone = "90 41 FF 90 51 FF";
const std::string kNotNow = "90 60 41 FF";
const std::string kUnknown = "90 60 02 FF";

std::string send(sim::Camera& cam, const Body& body) { return hex(cam.handle(packet(body))); }

sim::Camera camera(const char* model) {
    sim::Camera cam(*sim::findCameraModel(model));
    cam.setAddress(1);
    return cam;
}

// One read of a camera as the panel makes it: the status blocks and the
// single inquiries its model answers, through the panel's decoders.
struct Read {
    status::CameraStatus status;
    std::optional<sim::Bytes> autoPowerOff, nightPowerOff, alarmMode, alarmLevels;
};

Read readBack(sim::Camera& cam) {
    auto ask = [&cam](const Body& body) -> std::optional<sim::Bytes> {
        if (!cam.answers(bytesOf(body))) return std::nullopt;
        return cam.handle(packet(body)).front();
    };
    const sim::CameraModel& m = cam.model();
    status::Replies r;
    r.lens = ask({0x09, 0x7E, 0x7E, 0x00});
    r.camera = ask({0x09, 0x7E, 0x7E, 0x01});
    r.other = ask({0x09, 0x7E, 0x7E, 0x02});
    r.expand = ask({0x09, 0x7E, 0x7E, 0x03});
    r.info = ask({0x09, 0x7E, 0x01, 0x18});
    r.dsub = ask({0x09, 0x7E, 0x01, 0x1A});
    r.dsubAsked = r.dsub.has_value();
    status::DecodeContext context;
    context.model = m.panTilt;
    context.panTiltSeries = m.series == sim::Series::PanTilt;
    return {status::decodeStatus(r, context), ask({0x09, 0x04, 0x40}), ask({0x09, 0x04, 0x41}),
            ask({0x09, 0x04, 0x6C}), ask({0x09, 0x04, 0x6D})};
}

using Reader = std::function<std::optional<int>(const Read&)>;

// A member of one decoded block, as a number.
template <class Block, class T>
Reader field(std::optional<Block> status::CameraStatus::*block, T Block::*member) {
    return [block, member](const Read& r) -> std::optional<int> {
        const std::optional<Block>& b = r.status.*block;
        if (!b) return std::nullopt;
        return static_cast<int>((*b).*member);
    };
}
Reader lens(auto status::LensStatus::*member) { return field(&status::CameraStatus::lens, member); }
Reader cameraBlock(auto status::CameraBlockStatus::*member) { return field(&status::CameraStatus::camera, member); }
Reader other(auto status::OtherBlockStatus::*member) { return field(&status::CameraStatus::other, member); }
Reader kappa(auto status::KappaExpandStatus::*member) { return field(&status::CameraStatus::kappaExpand, member); }
Reader flag(std::optional<bool> status::CameraStatus::*member) {
    return [member](const Read& r) -> std::optional<int> {
        if (!(r.status.*member)) return std::nullopt;
        return *(r.status.*member) ? 1 : 0;
    };
}
// A single inquiry's answer: n nibbles from byte `at`.
Reader answer(std::optional<sim::Bytes> Read::*member, std::size_t at, int n) {
    return [member, at, n](const Read& r) -> std::optional<int> {
        if (!(r.*member)) return std::nullopt;
        return n == 0 ? (*(r.*member))[at] : nibbles(*(r.*member), at, n);
    };
}

// One setting: the packets that set it (a mode first where the value needs
// one), the inquiry that reads it back, and what the read must give. A
// switch is then switched off again by `off` and must read 0.
struct Setting {
    const char* name;
    std::vector<Body> sends;
    Body inquiry;
    Reader read;
    int expected;
    Body off = {};
    // Only this model's decoding reads it from the answer (None: any).
    PanTiltModel only = PanTiltModel::None;
};

const Body kLens{0x09, 0x7E, 0x7E, 0x00}, kCamera{0x09, 0x7E, 0x7E, 0x01}, kOther{0x09, 0x7E, 0x7E, 0x02},
    kExpand{0x09, 0x7E, 0x7E, 0x03};
constexpr int kManualExposure = 0x03, kBright = 0x0D;

std::vector<Setting> settings() {
    using L = status::LensStatus;
    using C = status::CameraBlockStatus;
    using O = status::OtherBlockStatus;
    using K = status::KappaExpandStatus;
    std::vector<Setting> rows = {
        {"spot light reports full auto", {{1, 4, 0x39, 0x03}, {1, 4, 0x39, 0x10}}, kCamera, cameraBlock(&C::exposureMode), 0},
        {"iris", {{1, 4, 0x39, kManualExposure}, {1, 4, 0x4B, 0, 0, 0, 0x0C}}, kCamera, cameraBlock(&C::iris), 12},
        {"shutter", {{1, 4, 0x39, kManualExposure}, {1, 4, 0x4A, 0, 0, 1, 2}}, kCamera, cameraBlock(&C::shutter), 0x12},
        {"gain", {{1, 4, 0x39, kManualExposure}, {1, 4, 0x4C, 0, 0, 0, 9}}, kCamera, cameraBlock(&C::gain), 9},
        {"bright", {{1, 4, 0x39, kBright}, {1, 4, 0x4D, 0, 0, 1, 3}}, kCamera, cameraBlock(&C::bright), 0x13},
        {"exposure compensation", {{1, 4, 0x3E, 2}}, kCamera, cameraBlock(&C::expCompOn), 1, {1, 4, 0x3E, 3}},
        {"exposure compensation level", {{1, 4, 0x4E, 0, 0, 0, 0x0B}}, kCamera, cameraBlock(&C::expComp), 11},
        {"back light", {{1, 4, 0x33, 2}}, kCamera, cameraBlock(&C::backLight), 1, {1, 4, 0x33, 3}},
        {"slow shutter", {{1, 4, 0x5A, 2}}, kCamera, cameraBlock(&C::slowShutter), 1, {1, 4, 0x5A, 3}},
        {"slow shutter limit", {{1, 4, 0x2A, 2, 0}}, kExpand, kappa(&K::slowShutterLimit), 2, {}, PanTiltModel::Kappa},
        {"digital zoom limit", {{1, 4, 0x26, 2}}, kExpand, kappa(&K::digitalZoomLimit), 2, {}, PanTiltModel::Kappa},
        {"red gain", {{1, 4, 0x35, 5}, {1, 4, 0x43, 0, 0, 0x0C, 8}}, kCamera, cameraBlock(&C::redGain), 0xC8},
        {"blue gain", {{1, 4, 0x35, 5}, {1, 4, 0x44, 0, 0, 3, 1}}, kCamera, cameraBlock(&C::blueGain), 0x31},
        {"aperture", {{1, 4, 0x42, 0, 0, 0, 0x0B}}, kCamera, cameraBlock(&C::aperture), 11},
        {"manual focus", {{1, 4, 0x38, 3}}, kLens, lens(&L::autoFocus), 0},
        {"AF sensitivity", {{1, 4, 0x58, 2}}, kLens, lens(&L::afSensitivityLow), 1, {1, 4, 0x58, 3}},
        {"focus near limit", {{1, 4, 0x28, 2, 8, 0, 0}}, kLens, lens(&L::focusNearLimit), 0x2800},
        {"zoom position", {{1, 4, 0x47, 5, 0x0A, 0x0B, 0x0C}}, kLens,
         [](const Read& r) { return r.status.lens ? r.status.lens->zoom : std::nullopt; }, 0x5ABC},
        {"focus position", {{1, 4, 0x38, 3}, {1, 4, 0x48, 8, 7, 6, 5}}, kLens,
         [](const Read& r) { return r.status.lens ? r.status.lens->focus : std::nullopt; }, 0x8765},
        {"digital zoom separate", {{1, 4, 0x36, 1}}, kLens, lens(&L::digitalZoomSeparate), 1, {1, 4, 0x36, 0}},
        {"digital zoom", {{1, 4, 0x06, 2}}, kLens, lens(&L::digitalZoomOn), 1, {1, 4, 0x06, 3}},
        {"picture effect", {{1, 4, 0x63, 5}}, kOther, other(&O::pictureEffect), 5},
        {"digital effect", {{1, 4, 0x64, 3}}, kOther, other(&O::digitalEffect), 3},
        {"effect level", {{1, 4, 0x65, 0x20}}, kOther, other(&O::effectLevel), 0x20},
        {"L/R reverse", {{1, 4, 0x61, 2}}, kOther, other(&O::lrReverse), 1, {1, 4, 0x61, 3}},
        {"data screen", {{1, 4, 0x15, 2}}, kOther, other(&O::dataScreen), 1, {1, 4, 0x15, 3}},
        {"title display", {{1, 4, 0x74, 2}}, kOther, other(&O::titleOn), 1, {1, 4, 0x74, 3}},
        {"key lock", {{1, 4, 0x17, 2}}, kOther, other(&O::keyLock), 1, {1, 4, 0x17, 0}},
        {"auto ICR", {{1, 4, 0x51, 2}}, kOther, other(&O::autoIcr), 1, {1, 4, 0x51, 3}},
        {"information display", {{1, 0x7E, 1, 0x18, 2}}, {0x09, 0x7E, 0x01, 0x18},
         flag(&status::CameraStatus::infoDisplay), 1, {1, 0x7E, 1, 0x18, 3}},
        {"D-sub sync VD", {{1, 0x7E, 1, 0x1A, 0, 1}}, {0x09, 0x7E, 0x01, 0x1A},
         flag(&status::CameraStatus::dsubThreeState), 0, {}},
        {"auto power-off", {{1, 4, 0x40, 0, 1, 2, 0x0C}}, {0x09, 0x04, 0x40}, answer(&Read::autoPowerOff, 2, 4), 300},
        {"night power-off", {{1, 4, 0x41, 0, 0, 3, 0x0C}}, {0x09, 0x04, 0x41}, answer(&Read::nightPowerOff, 2, 4), 60},
        {"alarm mode", {{1, 4, 0x6C, 7}}, {0x09, 0x04, 0x6C}, answer(&Read::alarmMode, 2, 0), 7},
        {"alarm day level", {{1, 4, 0x6D, 0x0A, 0x0B, 0x0C, 3, 4, 5}}, {0x09, 0x04, 0x6D},
         answer(&Read::alarmLevels, 2, 3), 0xABC},
        {"alarm night level", {{1, 4, 0x6D, 0x0A, 0x0B, 0x0C, 3, 4, 5}}, {0x09, 0x04, 0x6D},
         answer(&Read::alarmLevels, 5, 3), 0x345},
    };
    // Every exposure mode and white balance mode, each from the camera's first state.
    for (int code : {0x03, 0x0A, 0x0B, 0x0C, 0x0D, 0x1A, 0x1B, 0x1C})
        rows.push_back({"exposure mode", {{1, 4, 0x39, code}}, kCamera, cameraBlock(&C::exposureMode), code});
    for (int code : {1, 2, 3, 4, 5})
        rows.push_back({"white balance mode", {{1, 4, 0x35, code}}, kCamera, cameraBlock(&C::whiteBalanceMode), code});
    for (int code : {1, 2})
        rows.push_back({"AF mode", {{1, 4, 0x57, code}}, kLens,
                        [](const Read& r) { return r.status.lens ? r.status.lens->afSubMode : std::nullopt; }, code});
    return rows;
}

}  // namespace

// Each setting, set on a fresh camera of each model, reads back as it was
// set wherever the model answers the inquiry that reports it; a switch
// reads off again once switched off. Every setting is read on some model.
TEST(SimSettings, EachSettingReadsBackAsSet) {
    for (const Setting& s : settings()) {
        int modelsReading = 0;
        for (const char* model : kModels) {
            SCOPED_TRACE(std::string(model) + ": " + s.name + " " + std::to_string(s.expected));
            sim::Camera cam = camera(model);
            for (const Body& body : s.sends) ASSERT_EQ(send(cam, body), kDone);
            const std::optional<int> got = s.read(readBack(cam));
            const bool decoded = s.only == PanTiltModel::None || s.only == cam.model().panTilt;
            if (!cam.answers(bytesOf(s.inquiry)) || !decoded) {
                EXPECT_FALSE(got.has_value());
                continue;
            }
            ++modelsReading;
            EXPECT_EQ(got, s.expected);
            if (s.off.empty()) continue;
            ASSERT_EQ(send(cam, s.off), kDone);
            EXPECT_EQ(s.read(readBack(cam)), 0);
        }
        EXPECT_GT(modelsReading, 0) << s.name;
    }
}

// Iris, shutter, gain and bright, stepped or set directly, are carried out
// exactly in the exposure modes where the panel hands their controls to the
// operator; elsewhere they are not executable and change nothing. The
// colour gains likewise outside manual white balance.
TEST(SimSettings, ValuesTheModesHoldAreNotExecutable) {
    struct Quantity {
        const char* name;
        bool panel::ExposureMode::*enabled;
        int step, direct;
        int sim::CameraState::*value;
    };
    const Quantity quantities[] = {
        {"iris", &panel::ExposureMode::iris, 0x0B, 0x4B, &sim::CameraState::iris},
        {"shutter", &panel::ExposureMode::shutter, 0x0A, 0x4A, &sim::CameraState::shutter},
        {"gain", &panel::ExposureMode::gain, 0x0C, 0x4C, &sim::CameraState::gain},
        {"bright", &panel::ExposureMode::bright, 0x0D, 0x4D, &sim::CameraState::bright},
    };
    for (const char* model : {"KBM-R05", "ORX-Kappa"}) {
        for (const panel::ExposureMode& mode : panel::exposureModes()) {
            for (const Quantity& q : quantities) {
                for (const Body& body : {Body{1, 4, q.step, 2}, Body{1, 4, q.direct, 0, 0, 0, 2}}) {
                    SCOPED_TRACE(std::string(model) + " mode " + std::to_string(mode.code) + " " + q.name + " " +
                                 hex({packet(body)}));
                    sim::Camera cam = camera(model);
                    ASSERT_EQ(send(cam, {1, 4, 0x39, mode.code}), kDone);
                    const int before = cam.state().*q.value;
                    const bool operators = mode.*q.enabled;
                    EXPECT_EQ(send(cam, body), operators ? kDone : kNotNow);
                    EXPECT_EQ(cam.state().*q.value != before, operators);
                }
            }
        }
    }
    for (int wb = 0; wb <= 5; ++wb) {
        for (const Body& body : {Body{1, 4, 0x03, 2}, Body{1, 4, 0x04, 3}, Body{1, 4, 0x03, 0},
                                 Body{1, 4, 0x43, 0, 0, 1, 2}, Body{1, 4, 0x44, 0, 0, 0x0E, 0x0F}}) {
            SCOPED_TRACE("white balance " + std::to_string(wb) + " " + hex({packet(body)}));
            sim::Camera cam = camera("KBM-R05");
            cam.state().rGain = cam.state().bGain = 100;
            ASSERT_EQ(send(cam, {1, 4, 0x35, wb}), kDone);
            EXPECT_EQ(send(cam, body), wb == 5 ? kDone : kNotNow);
            EXPECT_EQ(cam.state().rGain + cam.state().bGain != 200, wb == 5);
        }
    }
}

// Bright mode is entered from full auto (spot light meters as full auto)
// or shutter priority; from any other mode it is not executable, and the
// mode stays. Mode and choice codes the camera does not know are refused
// as unknown, changing nothing.
TEST(SimSettings, BrightEntryAndUnknownCodes) {
    for (int from : {0x00, 0x10, 0x0A, 0x0D, 0x03, 0x0B, 0x0C, 0x1A, 0x1B, 0x1C}) {
        SCOPED_TRACE("bright from " + std::to_string(from));
        sim::Camera cam = camera("ORX-Beta");
        ASSERT_EQ(send(cam, {1, 4, 0x39, from}), kDone);
        const bool allowed = from == 0x00 || from == 0x10 || from == 0x0A || from == 0x0D;
        EXPECT_EQ(send(cam, {1, 4, 0x39, kBright}), allowed ? kDone : kNotNow);
        EXPECT_EQ(cam.state().aeMode, allowed ? kBright : from);
    }
    const struct {
        Body body;
        int sim::CameraState::*value;
    } unknown[] = {
        {{1, 4, 0x39, 0x05}, &sim::CameraState::aeMode},        {{1, 4, 0x39, 0x0E}, &sim::CameraState::aeMode},
        {{1, 4, 0x35, 0x06}, &sim::CameraState::wbMode},        {{1, 4, 0x57, 0x03}, &sim::CameraState::afMode},
        {{1, 4, 0x63, 0x09}, &sim::CameraState::pictureEffect}, {{1, 4, 0x64, 0x05}, &sim::CameraState::digitalEffect},
        {{1, 4, 0x26, 0x04}, &sim::CameraState::dzoomLimit},    {{1, 4, 0x2A, 0x03, 0}, &sim::CameraState::slowShutterLimit},
        {{1, 0x7E, 1, 0x1A, 0, 2}, &sim::CameraState::dsubSync},
    };
    for (const auto& u : unknown) {
        SCOPED_TRACE(hex({packet(u.body)}));
        sim::Camera cam = camera("ORX-Kappa");
        const int before = cam.state().*u.value;
        EXPECT_EQ(send(cam, u.body), kUnknown);
        EXPECT_EQ(cam.state().*u.value, before);
    }
}

// On a timed chain a value the modes hold gets the not-executable error
// alone, without an acknowledge, and takes no socket; once the mode hands
// it over, the same packet is carried out.
TEST(SimSettings, NotExecutableOnTheTimedPathTakesNoSocket) {
    sim::Chain chain({"KBM-R05"});
    chain.timed = true;
    auto heard = [&chain](const Body& body, double t) {
        std::string s;
        char buf[4];
        for (const auto& c : chain.receive(packet(body), t, 9600)) {
            for (auto b : c.bytes) s += (std::snprintf(buf, sizeof buf, "%02X ", b), buf);
        }
        return s;
    };
    EXPECT_EQ(heard({1, 4, 0x4B, 0, 0, 0, 4}, 1.0), "90 61 41 FF ");
    EXPECT_EQ(chain.camera(0).socketsBusy(1.01), 0);
    EXPECT_EQ(heard({1, 4, 0x43, 0, 0, 1, 2}, 1.1), "90 61 41 FF ");
    EXPECT_EQ(chain.camera(0).state().iris, 10);
    EXPECT_EQ(chain.camera(0).state().rGain, 128);
    EXPECT_EQ(heard({1, 4, 0x39, 3}, 2.0), "90 41 FF 90 51 FF ");
    EXPECT_EQ(heard({1, 4, 0x4B, 0, 0, 0, 4}, 3.0), "90 41 FF 90 51 FF ");
    EXPECT_EQ(chain.camera(0).state().iris, 4);
}
