#include "app/routing_port.h"

#include "chain.h"
#include "platform/net_address.h"
#include "sim_port.h"

namespace orbus {

RoutingPort::RoutingPort(Clock& clock, EventPoster& poster, const SerialDevices& devices, DeviceOpener openDevice)
    : clock_(clock), poster_(poster), devices_(devices), openDevice_(std::move(openDevice)) {}

RoutingPort::~RoutingPort() {
    if (current_) current_->onComm = nullptr;
    current_.reset();
}

void RoutingPort::setSettings(const LineSettings& s) {
    settings_ = s;
    if (current_) current_->setSettings(s);
}

void RoutingPort::setDTREnable(bool on) {
    dtr_ = on;
    if (current_) current_->setDTREnable(on);
}

std::string RoutingPort::target() const {
    if (!simulator_.empty()) return "sim:" + simulator_;
    if (!network_.empty()) return network_;
    return portTarget(devices_, number_).path;
}

sim::Chain* RoutingPort::chain(const std::string& t) const {
    const auto it = chains_.find(t);
    return it == chains_.end() ? nullptr : it->second.get();
}

bool RoutingPort::fail(OpenFailure::Kind kind, std::string path, std::string words) {
    failure_ = {};
    failure_.kind = kind;
    failure_.path = std::move(path);
    failure_.system = std::move(words);
    return false;
}

bool RoutingPort::open() {
    if (current_) {
        current_->onComm = nullptr;
        current_->close();
        current_.reset();
    }
    const std::string t = target();
    if (t.empty()) {
        // Fewer devices than the number: the open fails like a missing device.
        return fail(OpenFailure::Kind::Missing, "", "no serial device for Com " + std::to_string(number_));
    }
    if (t.rfind("sim:", 0) == 0) {
        auto& c = chains_[t];
        if (!c) {
            c = sim::Chain::fromList(t.substr(4));
            // Cameras as they answer: two command sockets, execution time.
            c->timed = true;
        }
        if (c->size() == 0) return fail(OpenFailure::Kind::Other, t, "no known camera model in " + t);
        current_ = std::make_unique<sim::SimSerialPort>(*c, clock_, poster_);
    } else {
        NetAddress address;
        std::string why;
        if (looksLikeNetAddress(t) && !parseNetAddress(t, address, &why))
            return fail(OpenFailure::Kind::Other, t,
                        t + " is no network port (" + why + "); write " + kNetAddressForms);
        current_ = openDevice_ ? openDevice_(t) : nullptr;
        if (!current_) return fail(OpenFailure::Kind::Other, t, "serial devices cannot be opened here");
    }
    current_->setCommPort(number_);
    current_->setSettings(settings_);
    current_->setDTREnable(dtr_);
    current_->setRThreshold(rThreshold_);
    current_->setSThreshold(sThreshold_);
    current_->onComm = [this](int e) {
        if (onComm) onComm(e);
    };
    if (!current_->open()) {
        failure_ = current_->openFailure();
        if (failure_.kind == OpenFailure::Kind::None) failure_.kind = OpenFailure::Kind::Other;
        if (failure_.path.empty()) failure_.path = t;
        if (failure_.system.empty()) failure_.system = current_->lastError();
        current_->onComm = nullptr;
        current_.reset();
        return false;
    }
    failure_ = {};
    return true;
}

void RoutingPort::close() {
    if (current_) current_->close();
}

bool RoutingPort::isOpen() const { return current_ && current_->isOpen(); }

std::string RoutingPort::lastError() const { return current_ ? current_->lastError() : failure_.system; }

OpenFailure RoutingPort::openFailure() const { return current_ ? current_->openFailure() : failure_; }

void RoutingPort::setRThreshold(int n) {
    rThreshold_ = n;
    if (current_) current_->setRThreshold(n);
}

int RoutingPort::rThreshold() const { return rThreshold_; }

void RoutingPort::setSThreshold(int n) {
    sThreshold_ = n;
    if (current_) current_->setSThreshold(n);
}

Bytes RoutingPort::input() { return current_ ? current_->input() : Bytes{}; }

int RoutingPort::inBufferCount() { return current_ ? current_->inBufferCount() : 0; }

bool RoutingPort::output(const Bytes& bytes) { return current_ && current_->isOpen() && current_->output(bytes); }

}  // namespace orbus
