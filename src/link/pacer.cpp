#include "link/pacer.h"

#include <algorithm>

namespace orbus::link {

CommandPacer::Camera* CommandPacer::at(int camera) {
    return camera >= 1 && camera <= 7 ? &cameras_[static_cast<std::size_t>(camera)] : nullptr;
}

const CommandPacer::Camera* CommandPacer::at(int camera) const {
    return camera >= 1 && camera <= 7 ? &cameras_[static_cast<std::size_t>(camera)] : nullptr;
}

bool CommandPacer::mustWait(int camera) const {
    const Camera* c = at(camera);
    if (!c) return false;
    return c->heldUntilCompletion || !c->waiting.empty() || static_cast<int>(c->inFlight.size()) >= kSockets;
}

void CommandPacer::enqueue(Camera& c, Item item, int& coalesced, bool front) {
    if (item.kind == Kind::Value) {
        const auto same = std::find_if(c.waiting.begin(), c.waiting.end(), [&](const Item& w) {
            return w.kind == Kind::Value && w.key == item.key;
        });
        if (same != c.waiting.end()) {
            // A refused value is older than the one waiting: the newer stays.
            if (!front) *same = std::move(item);
            ++coalesced;
            return;
        }
    }
    if (item.kind == Kind::Stop) {
        // A drive of the same command still waiting never starts: the stop
        // would otherwise overtake it and leave it running.
        std::erase_if(c.waiting, [&](const Item& w) { return w.kind == Kind::Other && w.key == item.key; });
    }
    if (item.kind == Kind::Stop || front) {
        // After the stops already waiting, before everything else.
        const auto firstOther = std::find_if(c.waiting.begin(), c.waiting.end(),
                                             [](const Item& w) { return w.kind != Kind::Stop; });
        c.waiting.insert(firstOther, std::move(item));
        return;
    }
    c.waiting.push_back(std::move(item));
}

void CommandPacer::wait(int camera, Item item) {
    if (Camera* c = at(camera)) enqueue(*c, std::move(item), coalesced_, false);
}

void CommandPacer::sent(int camera, Item item, double at) {
    if (Camera* c = this->at(camera)) c->inFlight.push_back({std::move(item), false, at});
}

std::pair<int, int> CommandPacer::forgetOverdue(int camera, double now) {
    Camera* c = at(camera);
    if (!c) return {0, 0};
    int unacknowledged = 0, incomplete = 0;
    std::erase_if(c->inFlight, [&](const Sent& s) {
        if (!s.acknowledged && now - s.at >= kAckLimit) return ++unacknowledged, true;
        if (s.acknowledged && !startsDrive(s.item.packet) && now - s.at >= kCompletionLimit) return ++incomplete, true;
        return false;
    });
    if (unacknowledged + incomplete > 0) c->heldUntilCompletion = false;
    return {unacknowledged, incomplete};
}

const CommandPacer::Item* CommandPacer::acknowledged(int camera) {
    Camera* c = at(camera);
    if (!c) return nullptr;
    for (Sent& s : c->inFlight) {
        if (!s.acknowledged) {
            s.acknowledged = true;
            return &s.item;
        }
    }
    return nullptr;
}

bool CommandPacer::startsDrive(const Bytes& p) {
    // header, 01, 04 or 06, command, ..., FF
    if (p.size() < 5 || p[1] != 0x01) return false;
    if (p[2] == 0x06 && p[3] == 0x01 && p.size() == 9) return !(p[6] == 0x03 && p[7] == 0x03);
    if (p[2] == 0x04 && (p[3] == 0x06 || p[3] == 0x07 || p[3] == 0x08) && p.size() == 6) return p[4] != 0x00;
    return false;
}

void CommandPacer::ended(int camera) {
    Camera* c = at(camera);
    if (!c) return;
    c->heldUntilCompletion = false;
    if (c->inFlight.empty()) return;
    // Completions name a socket, not a command: the oldest acknowledged one
    // counts as ended (one acknowledged is what an error without it ends).
    const auto acked = std::find_if(c->inFlight.begin(), c->inFlight.end(), [](const Sent& s) { return s.acknowledged; });
    c->inFlight.erase(acked != c->inFlight.end() ? acked : c->inFlight.begin());
}

void CommandPacer::refused(int camera) {
    Camera* c = at(camera);
    if (!c) return;
    ++c->refusals;
    c->heldUntilCompletion = true;
    const auto it = std::find_if(c->inFlight.begin(), c->inFlight.end(), [](const Sent& s) { return !s.acknowledged; });
    if (it == c->inFlight.end()) return;
    Item item = std::move(it->item);
    c->inFlight.erase(it);
    if (!item.againWhenRefused) return;
    enqueue(*c, std::move(item), coalesced_, true);
}

std::optional<CommandPacer::Item> CommandPacer::next(int camera) {
    Camera* c = at(camera);
    if (!c || c->waiting.empty() || c->heldUntilCompletion || static_cast<int>(c->inFlight.size()) >= kSockets)
        return std::nullopt;
    Item item = std::move(c->waiting.front());
    c->waiting.pop_front();
    return item;
}

int CommandPacer::forgetInFlight(int camera) {
    Camera* c = at(camera);
    if (!c) return 0;
    c->heldUntilCompletion = false;
    return static_cast<int>(std::erase_if(
        c->inFlight, [](const Sent& s) { return !(s.acknowledged && startsDrive(s.item.packet)); }));
}

void CommandPacer::clear() {
    for (Camera& c : cameras_) c = Camera{};
}

int CommandPacer::inFlight(int camera) const {
    const Camera* c = at(camera);
    return c ? static_cast<int>(c->inFlight.size()) : 0;
}

std::size_t CommandPacer::waiting(int camera) const {
    const Camera* c = at(camera);
    return c ? c->waiting.size() : 0;
}

int CommandPacer::refusals(int camera) const {
    const Camera* c = at(camera);
    return c ? c->refusals : 0;
}

}  // namespace orbus::link
