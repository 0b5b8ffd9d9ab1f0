#include "net/remote_hub.h"

#include <algorithm>

#include "link/in_flight.h"
#include "link/packet.h"
#include "net/udp_frame.h"

namespace orbus::net {

const char* clientKindName(ClientKind kind) {
    switch (kind) {
    case ClientKind::Udp: return "udp";
    case ClientKind::Tcp: return "tcp";
    case ClientKind::Api: return "api";
    case ClientKind::Web: return "web";
    }
    return "?";
}

const char* submittedText(Submitted s) {
    switch (s) {
    case Submitted::Sent: return "sent";
    case Submitted::Waiting: return "waiting for its turn";
    case Submitted::Refused: return "refused: not a packet a camera takes";
    case Submitted::UnknownCamera: return "refused: no such camera";
    case Submitted::UnknownClient: return "refused: the client is not connected";
    case Submitted::Busy: return "refused: too many packets still under way";
    case Submitted::NotWritten: return "not written: the port took nothing";
    }
    return "?";
}

bool accepted(Submitted s) { return s == Submitted::Sent || s == Submitted::Waiting; }

namespace {

// A drive's direction byte: the standard speed (02, 03) or a variable one (2p, 3p).
bool driveByte(std::uint8_t b) { return b == 0x02 || b == 0x03 || (b & 0xF0) == 0x20 || (b & 0xF0) == 0x30; }

}  // namespace

bool replyEnds(const link::CommandReply& r, bool inquiry) {
    if (r.kind == link::CommandReply::Kind::NoAnswer || inquiry) return true;
    return r.bytes.size() >= 3 && ((r.bytes[1] & 0xF0) == 0x50 || (r.bytes[1] & 0xF0) == 0x60);
}

Motion motionOf(const Bytes& p) {
    Motion m;
    if (p.size() < 5 || p[1] != 0x01 || p.back() != 0xFF) return m;
    if (p[2] == 0x06) {
        m.axis = Axis::PanTilt;
        if (p[3] == 0x01 && p.size() == 9) m.what = p[6] == 0x03 && p[7] == 0x03 ? Motion::Stops : Motion::Starts;
        else if (p[3] >= 0x02 && p[3] <= 0x05) m.what = Motion::TakesOver;
        else m.axis = Axis::None;
        return m;
    }
    if (p[2] != 0x04) return m;
    const auto lens = [&](Axis axis, bool drive) {
        m.axis = axis;
        if (p.size() != 6) m.what = Motion::Nothing, m.axis = Axis::None;
        else if (p[4] == 0x00) m.what = Motion::Stops;
        else if (drive) m.what = Motion::Starts;
        else m.axis = Axis::None;
    };
    switch (p[3]) {
    case 0x07: lens(Axis::Zoom, driveByte(p[4])); break;
    case 0x08: lens(Axis::Focus, driveByte(p[4])); break;
    // 02 and 03 switch the digital zoom on and off: only 2p and 3p drive it.
    case 0x06: lens(Axis::DigitalZoom, (p[4] & 0xF0) == 0x20 || (p[4] & 0xF0) == 0x30); break;
    case 0x47: m = {Axis::Zoom, Motion::TakesOver}; break;
    case 0x48: m = {Axis::Focus, Motion::TakesOver}; break;
    // The vertical phase's rocker moves at one speed; 40 is its preset.
    case 0x05: lens(Axis::VerticalPhase, p[4] == 0x02 || p[4] == 0x03); break;
    case 0x46: m = {Axis::DigitalZoom, Motion::TakesOver}; break;
    case 0x3F:
        if (p.size() >= 6 && p[4] == 0x02) m = {Axis::None, Motion::EndsAll};
        break;
    default: break;
    }
    return m;
}

Bytes stopOf(const Bytes& drive) {
    const Motion m = motionOf(drive);
    if (m.what != Motion::Starts) return {};
    if (m.axis == Axis::PanTilt) return {drive[0], 0x01, 0x06, 0x01, drive[4], drive[5], 0x03, 0x03, 0xFF};
    return {drive[0], 0x01, 0x04, drive[3], 0x00, 0xFF};
}

RemoteHub::RemoteHub(link::CommandSink& commands, Clock& clock, EventPoster& poster)
    : RemoteHub(commands, clock, poster, Options{}) {}

RemoteHub::RemoteHub(link::CommandSink& commands, Clock& clock, EventPoster& poster, Options options)
    : commands_(commands), clock_(clock), poster_(poster), options_(options) {
    std::weak_ptr<bool> alive = alive_;
    commands_.observe([this, alive](const link::Command& c, link::SendOutcome o) {
        if (const auto a = alive.lock(); a && *a) observed(c, o);
    });
}

RemoteHub::~RemoteHub() { *alive_ = false; }

RemoteHub::Client* RemoteHub::find(ClientId id) {
    const auto it = clients_.find(id);
    return it == clients_.end() ? nullptr : &it->second;
}

const ClientInfo* RemoteHub::client(ClientId id) const {
    const auto it = clients_.find(id);
    return it == clients_.end() ? nullptr : &it->second.info;
}

std::vector<ClientInfo> RemoteHub::clients() const {
    std::vector<ClientInfo> out;
    out.reserve(clients_.size());
    for (const auto& [id, c] : clients_) out.push_back(c.info);
    return out;
}

ClientId RemoteHub::connect(ClientKind kind, std::string_view address) {
    if (clients_.size() >= options_.maxClients) return 0;
    const ClientId id = nextId_++;
    Client c;
    c.info.id = id;
    c.info.kind = kind;
    c.info.address = std::string(address.substr(0, kMaxAddress));
    c.info.name = std::string(clientKindName(kind)) + " " + c.info.address;
    c.info.lastHeard = clock_.now();
    clients_.emplace(id, std::move(c));
    changed();
    return id;
}

void RemoteHub::disconnect(ClientId id) {
    if (!find(id)) return;
    stopDrives(id);
    clients_.erase(id);
    changed();
}

void RemoteHub::heard(ClientId id) {
    if (Client* c = find(id)) c->info.lastHeard = clock_.now();
}

Submitted RemoteHub::submit(ClientId id, int camera, Bytes packet, link::ReplyListener onReply) {
    Client* c = find(id);
    if (!c) return Submitted::UnknownClient;
    c->info.lastHeard = clock_.now();
    if (camera < 1 || camera > 7 || (cameraExists_ && !cameraExists_(camera))) return Submitted::UnknownCamera;
    if (!controllerPacket(packet)) return Submitted::Refused;
    packet.front() = static_cast<std::uint8_t>(0x80 + camera);
    // A command must take a socket for its replies to be matched to it: the
    // interface clear, the service memory read and stubs too short to be a
    // command are the panel's own business (their sender would wait for ever).
    if (packet[1] == 0x01 && !link::InFlight::takesSocket(packet)) return Submitted::Refused;
    const Motion motion = motionOf(packet);
    const bool stop = motion.what == Motion::Stops;
    // A stop always goes; anything else waits for the client's earlier
    // packets to end once it has too many under way.
    if (!stop && c->info.pending >= options_.maxPending) return Submitted::Busy;
    const bool inquiry = packet[1] == 0x09;

    link::Command command{packet, link::Source::Remote,
                          stop ? link::CommandPacer::Kind::Stop : link::CommandPacer::Kind::Other, "",
                          link::Pacing::BySockets};
    command.client = c->info.name;
    std::weak_ptr<bool> alive = alive_;
    command.onReply = [this, alive, id, inquiry, user = std::move(onReply)](const link::CommandReply& r) {
        const auto a = alive.lock();
        if (!a || !*a) return;
        Client* owner = find(id);
        if (!owner) return;  // gone: nobody to tell
        if (replyEnds(r, inquiry) && owner->info.pending > 0) --owner->info.pending;
        if (user) user(r);
    };
    ++c->info.pending;
    submitting_ = id;
    const link::SendOutcome outcome = commands_.send(command);
    submitting_ = 0;
    // The listener may have run meanwhile; the client is still there.
    c = find(id);
    if (!c) return Submitted::UnknownClient;
    if (outcome != link::SendOutcome::Sent && outcome != link::SendOutcome::Waiting) {
        if (c->info.pending > 0) --c->info.pending;
        return outcome == link::SendOutcome::Malformed ? Submitted::Refused : Submitted::NotWritten;
    }
    c->info.camera = camera;
    c->info.lastCommand = packetText(packet);
    changed();
    return outcome == link::SendOutcome::Sent ? Submitted::Sent : Submitted::Waiting;
}

void RemoteHub::observed(const link::Command& command, link::SendOutcome outcome) {
    if (outcome != link::SendOutcome::Sent && outcome != link::SendOutcome::Waiting) return;
    const int camera = link::commandCamera(command.packet);
    if (camera == 0) return;
    const Motion m = motionOf(command.packet);
    switch (m.what) {
    case Motion::Nothing: return;
    case Motion::EndsAll:
        // A client's recall may be refused by the camera (a packet it cannot
        // take): the drives it would end are kept, and stopped as before.
        if (submitting_ != 0) return;
        for (auto it = drives_.begin(); it != drives_.end();) {
            it = it->first.first == camera ? drives_.erase(it) : std::next(it);
        }
        return;
    case Motion::Starts:
        // The axis is this client's now; a drive from anyone else (the
        // window, another client) takes it over, and its stop is theirs.
        if (submitting_ != 0) {
            drives_[{camera, m.axis}] = Drive{submitting_, stopOf(command.packet)};
            scheduleCheck();
        } else {
            drives_.erase({camera, m.axis});
        }
        return;
    case Motion::Stops: drives_.erase({camera, m.axis}); return;
    case Motion::TakesOver:
        // A client's position for the axis may be refused by the camera, and
        // the drive would run on with nobody to stop it: the drive stays on
        // record, now that client's (its stop ends the move just as well).
        // The panel's own takes the axis over.
        if (submitting_ == 0) {
            drives_.erase({camera, m.axis});
        } else if (const auto it = drives_.find({camera, m.axis}); it != drives_.end()) {
            it->second.owner = submitting_;
        }
        return;
    }
}

int RemoteHub::stopWhere(const std::function<bool(ClientId)>& owner) {
    std::vector<std::pair<ClientId, Bytes>> stops;
    for (const auto& [where, d] : drives_) {
        if (owner(d.owner)) stops.emplace_back(d.owner, d.stop);
    }
    for (const auto& [who, stop] : stops) {
        const Client* c = find(who);
        link::Command command{stop, link::Source::Remote, link::CommandPacer::Kind::Stop,
                              link::CommandPacer::keyOf(stop), link::Pacing::BySockets};
        command.client = c ? c->info.name : "remote";
        // Whatever becomes of it, the drive is no longer the client's.
        drives_.erase({link::commandCamera(stop), motionOf(stop).axis});
        submitting_ = who;
        commands_.send(command);
        submitting_ = 0;
    }
    return static_cast<int>(stops.size());
}

std::size_t RemoteHub::drivesOf(ClientId id) const {
    std::size_t n = 0;
    for (const auto& [where, d] : drives_) n += d.owner == id ? 1 : 0;
    return n;
}

int RemoteHub::stopAllDrives() {
    return stopWhere([](ClientId) { return true; });
}

int RemoteHub::stopDrives(ClientId id) {
    return stopWhere([id](ClientId owner) { return owner == id; });
}

void RemoteHub::scheduleCheck() {
    if (checkScheduled_ || drives_.empty()) return;
    checkScheduled_ = true;
    std::weak_ptr<bool> alive = alive_;
    const double every = std::max(0.05, std::min(options_.heartbeat, 1.0) / 4);
    poster_.post(every, [this, alive] {
        if (const auto a = alive.lock(); !a || !*a) return;
        checkScheduled_ = false;
        check();
        scheduleCheck();
    });
}

void RemoteHub::check() {
    const double now = clock_.now();
    stopWhere([this, now](ClientId owner) {
        const Client* c = find(owner);
        if (!c) return true;
        const bool controller = c->info.kind == ClientKind::Udp || c->info.kind == ClientKind::Tcp;
        const double limit = controller ? options_.controllerSilence : options_.heartbeat;
        return limit > 0 && now - c->info.lastHeard > limit;
    });
}

}  // namespace orbus::net
