#include "chain.h"

#include <algorithm>
#include <sstream>
#include <string_view>

namespace orbus::sim {

Chain::Chain(const std::vector<std::string>& models) : rng_(faults.seed) {
    for (const auto& name : models) {
        if (size() >= kMaxCameras) break;
        if (const CameraModel* m = findCameraModel(name)) {
            cameras_.push_back(std::make_unique<Camera>(*m));
            cameras_.back()->setAddress(static_cast<int>(cameras_.size()));
        }
    }
}

namespace {

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

}  // namespace

ModelListCheck checkModelList(const std::string& list) {
    ModelListCheck c;
    const std::size_t at = list.find('@');
    if (at != std::string::npos) {
        const std::string speed = trimmed(std::string_view(list).substr(at + 1));
        if (speed == "9600" || speed == "19200" || speed == "38400") c.baud = std::stoi(speed);
        else c.badSpeed = true;
    }
    std::stringstream ss(list.substr(0, at));
    std::string item;
    while (std::getline(ss, item, ',')) {
        std::string name = trimmed(item);
        if (name.empty()) continue;
        if (c.unknown.empty() && !findCameraModel(name)) c.unknown = name;
        c.models.push_back(std::move(name));
    }
    c.tooMany = c.models.size() > static_cast<std::size_t>(Chain::kMaxCameras);
    c.empty = c.models.empty();
    return c;
}

std::string knownModelNames() {
    // Pan-tilt models by name, then the block cameras' run by its ends.
    std::vector<std::string> pantilt, block;
    for (const auto& m : cameraModels()) (m.series == Series::PanTilt ? pantilt : block).push_back(m.name);
    std::sort(pantilt.begin(), pantilt.end());
    std::sort(block.begin(), block.end());
    std::string names;
    for (const std::string& n : pantilt) names += (names.empty() ? "" : ", ") + n;
    if (!block.empty()) names += (names.empty() ? "" : ", ") + block.front();
    if (block.size() > 1) names += " to " + block.back();
    return names;
}

std::unique_ptr<Chain> Chain::fromList(const std::string& list) {
    const ModelListCheck c = checkModelList(list);
    auto chain = std::make_unique<Chain>(c.models);
    chain->baud = c.baud;
    return chain;
}

Camera* Chain::byAddress(int address) {
    for (auto& c : cameras_) {
        if (c->address() == address && address != 0) return c.get();
    }
    return nullptr;
}

void Chain::addCamera(const std::string& model) {
    if (size() >= kMaxCameras) return;
    if (const CameraModel* m = findCameraModel(model)) cameras_.push_back(std::make_unique<Camera>(*m));
}

void Chain::removeCamera(int position) {
    if (position >= 0 && position < size()) cameras_.erase(cameras_.begin() + position);
}

std::vector<Bytes> Chain::handlePacket(const Bytes& p) {
    received.push_back(p);
    if (receivedLimit > 0 && received.size() > receivedLimit) {
        const std::size_t drop = received.size() - std::max<std::size_t>(1, receivedLimit / 2);
        received.erase(received.begin(), received.begin() + static_cast<long>(drop));
        receivedDropped += drop;
    }
    if (trace) trace("<-", p);
    if (faults.silent) return {};
    auto replies = faulted(p);
    if (mutate) mutate(p, replies);
    if (replyAt_.size() != replies.size()) replyAt_.assign(replies.size(), -1);
    return replies;
}

std::vector<Bytes> Chain::faulted(const Bytes& p) {
    const Bytes body(p.begin() + 1, p.end() - 1);
    auto it = packetFaults.find(body);
    if (it == packetFaults.end()) return route(p);
    PacketFault& f = it->second;
    if (f.silentTries > 0) {
        --f.silentTries;
        return {};
    }
    auto replies = route(p);
    if (!replies.empty() && f.corruptTries > 0) {
        --f.corruptTries;
        Bytes& r = replies.back();
        if (f.corruptByte >= 0 && f.corruptByte < static_cast<int>(r.size()))
            r[static_cast<std::size_t>(f.corruptByte)] ^= 0x5A;
    }
    if (!replies.empty() && f.shortTries > 0) {
        --f.shortTries;
        Bytes& r = replies.back();
        r.resize(r.size() > static_cast<std::size_t>(f.shortBy) ? r.size() - static_cast<std::size_t>(f.shortBy) : 0);
    }
    return replies;
}

std::vector<Bytes> Chain::route(const Bytes& p) {
    replyAt_.clear();
    if (p[0] == 0x88) {
        if (p.size() == 5 && p[1] == 0x01 && p[2] == 0x00 && p[3] == 0x01) {
            for (auto& c : cameras_) c->interfaceClear();
            return {p};
        }
        if (p.size() == 4 && p[1] == 0x30) {
            int next = p[2];
            for (auto& c : cameras_) {
                if (next >= 1 && next <= 7) c->setAddress(next);
                ++next;
            }
            return {Bytes{0x88, 0x30, static_cast<std::uint8_t>(next & 0x0F), 0xFF}};
        }
        return {p};
    }
    Camera* cam = byAddress(p[0] - 0x80);
    if (!cam || cam->silent) return {};
    cam->timing = {timed, ackDelay, executionScale};
    std::vector<Bytes> replies;
    for (auto& r : cam->handleTimed(p, packetTime_)) {
        replies.push_back(std::move(r.bytes));
        replyAt_.push_back(r.at);
    }
    // A camera that powered on at a new line speed talks at it from now on.
    if (cam->state().speedCode >= 0) baud = cam->lineBaud();
    const bool isCommand = p.size() > 2 && p[1] == 0x01;
    if (isCommand && faults.errorReplies && replies.size() == 2) {
        replies[1] = Bytes{cam->replyHeader(), 0x61, 0x41, 0xFF};
    }
    if (isCommand && faults.networkChangeNext) {
        faults.networkChangeNext = false;
        replies.insert(replies.begin(), Bytes{cam->replyHeader(), 0x38, 0xFF});
        replyAt_.insert(replyAt_.begin(), -1);
    }
    return replies;
}

Bytes Chain::applyByteFaults(const Bytes& reply) {
    Bytes out;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (auto b : reply) {
        if (faults.garbageRate > 0 && chance(rng_) < faults.garbageRate)
            out.push_back(static_cast<std::uint8_t>(anyByte(rng_)));
        ++replyBytes_;
        if (faults.dropEvery > 0 && replyBytes_ % faults.dropEvery == 0) continue;
        out.push_back(b);
    }
    return out;
}

void Chain::put(const Bytes& reply, double ready, std::vector<Chunk>& out) {
    Bytes wire = applyByteFaults(reply);
    if (trace) trace("->", wire);
    const std::size_t piece = faults.splitChunk > 0 ? static_cast<std::size_t>(faults.splitChunk) : wire.size();
    const std::size_t pieces = piece > 0 ? (wire.size() + piece - 1) / piece : 0;
    // Pieces of a split reply arrive with a little gap between them.
    const double gap = faults.splitChunk > 0 ? 0.002 : 0;
    const double length = byteTime_ * static_cast<double>(wire.size()) + gap * static_cast<double>(pieces);
    double start = std::max(ready, lineFree_);
    if (timed) {
        // Replies are due out of order: take the first stretch of free line
        // from `ready` on.
        start = ready;
        for (const auto& [from, to] : wireBusy_) {
            if (to <= start) continue;
            if (from >= start + length) break;
            start = to;
        }
    }
    const double begin = start;
    for (std::size_t k = 0; k < wire.size(); k += piece) {
        std::size_t len = std::min(piece, wire.size() - k);
        start += byteTime_ * static_cast<double>(len) + gap;
        out.push_back({start, Bytes(wire.begin() + static_cast<long>(k), wire.begin() + static_cast<long>(k + len))});
    }
    lineFree_ = std::max(lineFree_, start);
    const auto at = std::lower_bound(wireBusy_.begin(), wireBusy_.end(), std::make_pair(begin, start));
    wireBusy_.insert(at, {begin, start});
}

void Chain::releaseDue(double t, std::vector<Chunk>& out) {
    if (!timed) return;
    // Completions due before t, oldest first, across the chain.
    std::vector<std::pair<double, Bytes>> due;
    for (auto& c : cameras_) {
        for (auto& r : c->release(t)) {
            if (!faults.silent && !c->silent) due.emplace_back(r.at, std::move(r.bytes));
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [at, bytes] : due) put(bytes, at + faults.replyDelay, out);
}

std::vector<Chunk> Chain::advance(double t) {
    std::vector<Chunk> out;
    releaseDue(t, out);
    return out;
}

double Chain::nextDue() const {
    double next = -1;
    for (const auto& c : cameras_) {
        const double at = c->nextRelease();
        if (at >= 0 && (next < 0 || at < next)) next = at;
    }
    return next;
}

std::vector<Chunk> Chain::receive(const Bytes& bytes, double t, int lineBaud) {
    std::vector<Chunk> out;
    byteTime_ = 10.0 / (lineBaud > 0 ? lineBaud : 9600);
    // The line's record reaches back one second.
    wireBusy_.erase(wireBusy_.begin(), std::find_if(wireBusy_.begin(), wireBusy_.end(),
                                                    [t](const auto& w) { return w.second >= t - 1.0; }));
    double arrive = t;
    for (auto b : bytes) {
        arrive += byteTime_;
        if (baud != 0 && lineBaud != baud) continue;  // the cameras read noise at another speed
        if ((b & 0x80) && b != 0xFF) partial_.clear();
        // A packet starts with a header byte: high bit set, and not a lone terminator.
        if (partial_.empty() && (!(b & 0x80) || b == 0xFF)) continue;
        partial_.push_back(b);
        if (partial_.size() > 24) {
            partial_.clear();
            continue;
        }
        if (b != 0xFF) continue;
        Bytes packet;
        packet.swap(partial_);
        const bool inquiry = packet.size() > 1 && packet[1] == 0x09;
        packetTime_ = arrive;
        releaseDue(arrive, out);
        auto replies = handlePacket(packet);
        for (std::size_t i = 0; i < replies.size(); ++i) {
            double ready = arrive + faults.replyDelay;
            if (replyAt_[i] >= 0) ready = replyAt_[i] + faults.replyDelay;
            else if (packet[0] == 0x88) ready += ackDelay * static_cast<double>(cameras_.size() + 1);
            else if (inquiry) ready += inquiryDelay;
            else ready += (i + 1 == replies.size() && replies.size() > 1) ? completionDelay : ackDelay;
            put(replies[i], ready, out);
        }
    }
    return out;
}

}  // namespace orbus::sim
