#include "model/chain.h"

#include <algorithm>

namespace orbus::model {

Capabilities capabilitiesOf(const Identity& identity) {
    Capabilities c;
    const bool panTilt = identity.series == Series::PanTilt;
    c.panTiltHead = panTilt;
    c.statusInquiries = identity.known() && !(panTilt && identity.panTilt == PanTiltModel::Alpha);
    c.expandBlock = panTilt && (identity.panTilt == PanTiltModel::Beta || identity.panTilt == PanTiltModel::Kappa);
    return c;
}

Identity identityOf(const status::VersionInfo& v) {
    Identity id;
    id.series = v.series;
    id.panTilt = v.model;
    id.blockModel = v.blockModel;
    id.romHi = v.romHi;
    id.romLo = v.romLo;
    if (v.series == Series::PanTilt) {
        id.name = panTiltModelName(v.model);
    } else if (const BlockModelRow* row = findBlockModel(v.blockModel)) {
        id.name = blockModelName(*row);
    }
    return id;
}

Chain::Subscription Chain::subscribe(Listener listener) {
    auto held = std::make_shared<Listener>(std::move(listener));
    listeners_.push_back(held);
    return held;
}

void Chain::changed(int camera, Aspect aspect) {
    // Listeners dropped since are forgotten; one added while telling is
    // told from the next change on.
    std::erase_if(listeners_, [](const std::weak_ptr<Listener>& w) { return w.expired(); });
    const auto listeners = listeners_;
    for (const auto& w : listeners) {
        if (auto l = w.lock()) (*l)(camera, aspect);
    }
}

void Chain::setDriven(int address) {
    if (address < 1 || address > kMaxCameras || address == driven_) return;
    driven_ = address;
    changed(0, Aspect::Chain);
}

void Chain::setLength(int cameras) {
    const int n = std::clamp(cameras, 0, kMaxCameras);
    if (n == length_) return;
    length_ = n;
    changed(0, Aspect::Chain);
}

const Camera* Chain::camera(int address) const {
    if (address < 1 || address > kMaxCameras) return nullptr;
    return &cameras_[static_cast<std::size_t>(address - 1)];
}

void Chain::setIdentity(int address, const Identity& identity) {
    if (!camera(address)) return;
    Camera& c = cameras_[static_cast<std::size_t>(address - 1)];
    const bool sameCamera = c.identity.series == identity.series && c.identity.panTilt == identity.panTilt &&
                            c.identity.blockModel == identity.blockModel;
    c.identity = identity;
    c.capabilities = capabilitiesOf(identity);
    // Values read from another model say nothing of this one.
    if (!sameCamera) {
        c.status.reset();
        c.statusAt = -1;
    }
    changed(address, Aspect::Identity);
}

void Chain::setStatus(int address, status::CameraStatus status, double at) {
    if (!camera(address)) return;
    Camera& c = cameras_[static_cast<std::size_t>(address - 1)];
    c.status = std::move(status);
    c.statusAt = at;
    changed(address, Aspect::Status);
}

void Chain::setPower(int address, status::PowerState power) {
    if (!camera(address)) return;
    cameras_[static_cast<std::size_t>(address - 1)].power = power;
    changed(address, Aspect::Power);
}

void Chain::setPanTilt(int address, const status::PanTiltStatus& head) {
    if (!camera(address)) return;
    cameras_[static_cast<std::size_t>(address - 1)].panTilt = head;
    changed(address, Aspect::PanTilt);
}

void Chain::setKappaConditions(int address, std::optional<int> videoSystem, std::optional<int> irCondition) {
    if (!camera(address)) return;
    KappaState& k = cameras_[static_cast<std::size_t>(address - 1)].kappa;
    if (videoSystem) k.videoSystem = *videoSystem;
    if (irCondition) k.irCondition = *irCondition;
    changed(address, Aspect::Conditions);
}

void Chain::setLink(int address, const LinkFacts& facts) {
    if (!camera(address)) return;
    Camera& c = cameras_[static_cast<std::size_t>(address - 1)];
    if (c.link.inFlight == facts.inFlight && c.link.waiting == facts.waiting &&
        c.link.lastReplyAt == facts.lastReplyAt) {
        return;
    }
    c.link = facts;
    changed(address, Aspect::Link);
}

void Chain::renumber(int cameras) {
    for (Camera& c : cameras_) {
        const int address = c.address;
        c = Camera{};
        c.address = address;
    }
    length_ = std::clamp(cameras, 0, kMaxCameras);
    changed(0, Aspect::Chain);
}

}  // namespace orbus::model
