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
    return c->heldUntilCompletion || !c->waiting.empty() || c->inFlight.count() >= kSockets;
}

void CommandPacer::enqueue(Camera& c, Item item, bool front) {
    if (item.kind == Kind::Value) {
        const auto same = std::find_if(c.waiting.begin(), c.waiting.end(), [&](const Item& w) {
            return w.kind == Kind::Value && w.key == item.key;
        });
        if (same != c.waiting.end()) {
            // A refused value is older than the one waiting: the newer stays.
            dropped(front ? item : *same);
            if (!front) *same = std::move(item);
            ++coalesced_;
            return;
        }
    }
    if (item.kind == Kind::Stop) {
        // A drive of the same command still waiting never starts: the stop
        // would otherwise overtake it and leave it running.
        std::erase_if(c.waiting, [&](const Item& w) {
            if (w.kind != Kind::Other || w.key != item.key) return false;
            dropped(w);
            return true;
        });
    }
    if (item.kind == Kind::Stop || front) {
        // After the stops already waiting, before everything else.
        const auto firstOther = std::find_if(c.waiting.begin(), c.waiting.end(),
                                             [](const Item& w) { return w.kind != Kind::Stop; });
        c.waiting.insert(firstOther, std::move(item));
        return;
    }
    if (item.source != Source::Remote) {
        // The panel's own controllers go before the network's clients that
        // wait, after the stops and the panel's commands already waiting (a
        // refused remote packet put back in front keeps its place): a flood
        // of remote packets never holds the operator's click back longer
        // than until the camera frees a socket, and the panel's commands
        // keep their order.
        const auto lastAhead = std::find_if(c.waiting.rbegin(), c.waiting.rend(), [](const Item& w) {
            return w.kind == Kind::Stop || w.source != Source::Remote;
        });
        c.waiting.insert(lastAhead.base(), std::move(item));
        return;
    }
    c.waiting.push_back(std::move(item));
}

void CommandPacer::wait(int camera, Item item) {
    if (Camera* c = at(camera)) enqueue(*c, std::move(item), false);
}

void CommandPacer::sent(int camera, Item item, double at, long awaitedBy) {
    Camera* c = this->at(camera);
    if (c && InFlight::takesSocket(item.packet)) c->inFlight.sent(std::move(item), awaitedBy, at);
}

std::pair<int, int> CommandPacer::forgetOverdue(int camera, double now) {
    Camera* c = at(camera);
    if (!c) return {0, 0};
    const auto given = c->inFlight.forgetOverdue(now, kAckLimit, kCompletionLimit);
    if (given.first + given.second > 0 || now - c->heldSince >= kAckLimit) c->heldUntilCompletion = false;
    return given;
}

InFlight::Outcome CommandPacer::replied(int camera, const Reply& reply, double now) {
    Camera* c = at(camera);
    if (!c) return {};
    InFlight::Outcome o = c->inFlight.reply(reply, now);
    if (reply.bufferFull) {
        ++c->refusals;
        c->heldUntilCompletion = true;
        c->heldSince = now;
        if (o.refused && o.refused->againWhenRefused) enqueue(*c, *o.refused, true);
    } else if (reply.classes.completion || reply.classes.error) {
        c->heldUntilCompletion = false;
    }
    return o;
}

std::optional<CommandPacer::Item> CommandPacer::next(int camera) {
    Camera* c = at(camera);
    if (!c || c->waiting.empty() || c->heldUntilCompletion || c->inFlight.count() >= kSockets)
        return std::nullopt;
    Item item = std::move(c->waiting.front());
    c->waiting.pop_front();
    return item;
}

int CommandPacer::forgetInFlight(int camera, double sentBy) {
    Camera* c = at(camera);
    if (!c) return 0;
    c->heldUntilCompletion = false;
    return c->inFlight.forgetUnended(sentBy);
}

void CommandPacer::clear() {
    for (Camera& c : cameras_) {
        c.inFlight.clear();
        for (const Item& w : c.waiting) dropped(w);
        c.waiting.clear();
        c.heldUntilCompletion = false;
        c.refusals = 0;
    }
}

std::vector<ReplyNotice> CommandPacer::takeNotices() {
    std::vector<ReplyNotice> out = std::exchange(notices_, {});
    for (Camera& c : cameras_) {
        std::vector<ReplyNotice> more = c.inFlight.takeNotices();
        out.insert(out.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return out;
}

int CommandPacer::inFlight(int camera) const {
    const Camera* c = at(camera);
    return c ? c->inFlight.count() : 0;
}

std::size_t CommandPacer::waiting(int camera) const {
    const Camera* c = at(camera);
    return c ? c->waiting.size() : 0;
}

long CommandPacer::ends(int camera) const {
    const Camera* c = at(camera);
    return c ? c->inFlight.ends() : 0;
}

int CommandPacer::refusals(int camera) const {
    const Camera* c = at(camera);
    return c ? c->refusals : 0;
}

}  // namespace orbus::link
