#include "pantilt/key_drive.h"

#include <algorithm>

namespace orbus::pantilt {

KeyDrive::KeyDrive(Hooks hooks) : hooks_(std::move(hooks)) {}

KeyDrive::~KeyDrive() = default;

KeyDrive::Held* KeyDrive::find(int key) {
    auto it = std::find_if(held_.begin(), held_.end(), [key](const Held& h) { return h.key == key; });
    return it == held_.end() ? nullptr : &*it;
}

bool KeyDrive::driving() const {
    return std::any_of(held_.begin(), held_.end(), [](const Held& h) { return h.live; });
}

void KeyDrive::later(double seconds, std::function<void()> fn) {
    std::weak_ptr<char> alive = alive_;
    hooks_.post(seconds, [alive, fn = std::move(fn)] {
        if (!alive.expired()) fn();
    });
}

void KeyDrive::press(int key, int index, int camera, bool autoRepeat) {
    if (Held* h = find(key)) {
        // The keyboard repeating a held key: its release was not the
        // operator's, and the head already moves.
        h->release = 0;
        return;
    }
    // A repeat of a key whose drive has ended starts nothing.
    if (autoRepeat) return;
    const auto last = released_.find(key);
    if (last != released_.end() && hooks_.now() - last->second < kRepeatGap) return;
    if (!driving()) camera_ = camera;
    held_.push_back({key, index, true});
    if (index == 0) {
        stop(camera_);
    } else if (hooks_.send(camera_, index)) {
        owed_.erase(camera_);
    }
}

bool KeyDrive::release(int key, bool autoRepeat, bool driveKey) {
    if (driveKey && !autoRepeat) released_[key] = hooks_.now();
    Held* h = find(key);
    if (!h) {
        // A drive key let go that no held key matches: stop rather than guess.
        if (!driveKey || !driving()) return false;
        for (Held& other : held_) other.live = false;
        stop(camera_);
        return true;
    }
    if (autoRepeat) return true;
    h->release = ++releases_;
    const long number = h->release;
    later(kRepeatGap, [this, key, number] { confirmRelease(key, number); });
    return true;
}

void KeyDrive::confirmRelease(int key, long number) {
    auto it = std::find_if(held_.begin(), held_.end(),
                           [&](const Held& h) { return h.key == key && h.release == number; });
    if (it == held_.end()) return;
    // Only the key whose drive runs changes the head's way.
    const bool active = it->live && std::none_of(it + 1, held_.end(), [](const Held& h) { return h.live; });
    // The stop key stopped the head when it went down.
    const bool stopKey = it->index == 0;
    held_.erase(it);
    if (!active || stopKey) return;
    // Roll-over: another drive key still held takes over.
    auto next = std::find_if(held_.rbegin(), held_.rend(), [](const Held& h) { return h.live && h.release == 0; });
    if (next != held_.rend() && next->index != 0 && hooks_.send(camera_, next->index)) return;
    stop(camera_);
}

void KeyDrive::end() {
    const bool moving = driving();
    held_.clear();
    if (moving) stop(camera_);
}

void KeyDrive::detach() {
    if (!driving()) return;
    for (Held& h : held_) h.live = false;
    stop(camera_);
}

void KeyDrive::stop(int camera) {
    // While the port is gone the stop waits, instead of filling the history
    // with packets that cannot go out.
    if ((!hooks_.lineUp || hooks_.lineUp()) && hooks_.send(camera, 0)) {
        owed_.erase(camera);
        return;
    }
    owed_.insert(camera);
    if (!retrying_) {
        retrying_ = true;
        later(kRetry, [this] { retry(); });
    }
}

void KeyDrive::retry() {
    retrying_ = false;
    const std::set<int> owed = owed_;
    for (int camera : owed) stop(camera);
}

}  // namespace orbus::pantilt
