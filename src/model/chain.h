// The chain model: what the panel knows of each camera on the line, kept
// apart from any window. Per camera: who it is, what it can do, the values
// its last status read decoded, and how its link stands. Views and other
// controllers read it and subscribe to its changes; nothing in it knows a
// widget.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "status/decode.h"
#include "status/identify.h"
#include "status/identity.h"
#include "status/status_reader.h"
#include "platform/model_code.h"

namespace orbus::model {

// Who a camera is, from its version answer.
struct Identity {
    Series series = Series::Unknown;
    PanTiltModel panTilt = PanTiltModel::None;  // a pan-tilt camera's model
    int blockModel = -1;                        // a block camera's version byte 5
    std::string name;                           // "ORX-Kappa", "KBM-R20"; empty while unknown
    std::uint8_t romHi = 0, romLo = 0;
    bool known() const { return series != Series::Unknown; }
};

// What a camera can do, from its model's tables (never from a window).
struct Capabilities {
    bool panTiltHead = false;     // a pan-tilt head answers the pan-tilt inquiries
    bool statusInquiries = false; // it answers the status blocks (the ORX-Alpha does not)
    bool expandBlock = false;     // ORX-Beta and ORX-Kappa: a fourth status block
};
Capabilities capabilitiesOf(const Identity& identity);
// Who a version answer says the camera is.
Identity identityOf(const status::VersionInfo& version);

// How a camera's link stands, as the link owner last said.
struct LinkFacts {
    int inFlight = 0;          // commands sent and not yet ended
    std::size_t waiting = 0;   // commands waiting for a free socket
    double lastReplyAt = -1;   // clock time of its last reply; -1: none yet
};

// The ORX-Kappa's video format (0 to 15) and IR condition (0 OK, 1 NG,
// other unknown), as it last told them; 7 for both when its firmware is too
// old to be asked.
struct KappaState {
    int videoSystem = 0;
    int irCondition = 0;
};

struct Camera {
    int address = 0;  // 1 to 7
    Identity identity;
    Capabilities capabilities;
    // The values of its last status read that came through whole; nothing
    // before the first one.
    std::optional<status::CameraStatus> status;
    double statusAt = -1;  // clock time of that read
    // What its power inquiry last answered; nothing before the first answer.
    std::optional<status::PowerState> power;
    // Its pan-tilt head as the head's inquiries last answered, as far as
    // they were; nothing before the first.
    std::optional<status::PanTiltStatus> panTilt;
    KappaState kappa;
    LinkFacts link;
};

class Chain {
public:
    static constexpr int kMaxCameras = 7;

    // What changed of a camera (0 for the chain itself: its length or the
    // driven camera).
    enum class Aspect { Chain, Identity, Status, Power, PanTilt, Conditions, Link };
    using Listener = std::function<void(int camera, Aspect aspect)>;
    // A subscription lasts while its handle is kept.
    using Subscription = std::shared_ptr<void>;
    [[nodiscard]] Subscription subscribe(Listener listener);

    // Cameras the last address set numbered (0 before one answered).
    int length() const { return length_; }
    // The camera the operator drives (1 to 7).
    int driven() const { return driven_; }
    void setDriven(int address);

    // A camera's record; nullptr outside 1 to 7.
    const Camera* camera(int address) const;
    const Camera& drivenCamera() const { return cameras_[static_cast<std::size_t>(driven_ - 1)]; }
    // The driven camera's pan-tilt model: None for a block camera or one
    // not identified yet.
    PanTiltModel drivenModel() const { return drivenCamera().identity.panTilt; }

    void setIdentity(int address, const Identity& identity);
    void setStatus(int address, status::CameraStatus status, double at);
    // Each answer is told, the same as the last one too: a view draws it
    // over what the operator may have changed since.
    void setPower(int address, status::PowerState power);
    void setPanTilt(int address, const status::PanTiltStatus& head);
    // The ORX-Kappa's conditions as far as they were answered; a value not
    // answered stays as it was.
    void setKappaConditions(int address, std::optional<int> videoSystem, std::optional<int> irCondition);
    void setLink(int address, const LinkFacts& facts);
    // The chain was numbered at start-up: every record is forgotten, the
    // chain now has `cameras` cameras.
    void renumber(int cameras);
    // The operator numbered the chain again: its length is what the chain
    // answered; what the panel knows of each address stays, as it stays on
    // the panel (the driven camera is not identified again).
    void setLength(int cameras);

private:
    void changed(int camera, Aspect aspect);
    std::array<Camera, kMaxCameras> cameras_ = [] {
        std::array<Camera, kMaxCameras> c{};
        for (int i = 0; i < kMaxCameras; ++i) c[static_cast<std::size_t>(i)].address = i + 1;
        return c;
    }();
    int length_ = 0;
    int driven_ = 1;
    std::vector<std::weak_ptr<Listener>> listeners_;
};

}  // namespace orbus::model
