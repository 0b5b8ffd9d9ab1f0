// The state of one status read: which camera it reads, whether a command or
// another camera overtook it, and the inquiry that gave up.
#pragma once

#include <optional>

namespace orbus::status {

class ReadState {
public:
    // A read of `camera` starts: nothing overtook it, nothing gave up.
    void start(int camera) {
        failure_.reset();
        overtaken_ = false;
        abandoned_ = false;
        camera_ = camera;
    }
    // A command went to `camera` (8: every camera) while a read ran: a read
    // of that camera would show what the camera did before the command.
    void commandWentOut(int camera) {
        if (camera == camera_ || camera == kBroadcast) overtaken_ = true;
    }
    // Another camera was chosen, or the chain renumbered.
    void abandon() {
        overtaken_ = true;
        abandoned_ = true;
    }
    // Keeps the first failure of the read.
    void gaveUp(long code) {
        if (!failure_) failure_ = code;
    }
    // The failure to report once the read has ended (cleared).
    std::optional<long> takeFailure() {
        const std::optional<long> out = failure_;
        failure_.reset();
        return out;
    }
    bool overtaken() const { return overtaken_; }
    bool abandoned() const { return abandoned_; }

    static constexpr int kBroadcast = 8;

private:
    std::optional<long> failure_;  // the code of the inquiry that gave up
    bool overtaken_ = false;
    bool abandoned_ = false;
    int camera_ = 0;
};

}  // namespace orbus::status
